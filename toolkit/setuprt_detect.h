// setuprt_detect.h - the detection functions of setuprt.dll.
//
// Drives are numbers, 1 for A to 26 for Z; any other number is no drive.
// A Cb... function copies at most cbMax-1 bytes and a terminator into szBfr
// and returns the full length of its result, so a length of cbMax or more
// means the result did not fit; a result that cannot be had is "" (0).
#pragma once

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

// Paths, files and directories.
int      FValidPath(const char *szPath);
int      FDoesFileExist(const char *szFile, int mode);
int      FDirExists(const char *szDir);
unsigned LcbGetSizeOfFile(const char *szFile);  // 0 for a missing file
unsigned CbGetVersionOfFile(const char *szFile, char *szBfr, unsigned cbMax);  // "a.b.c.d"
unsigned CbGetDateOfFile(const char *szFile, char *szBfr, unsigned cbMax);  // "YYYY-MM-DD-HH-MM-SS", local time
unsigned CbFindFileInTree(const char *szFile, const char *szDir, char *szBfr, unsigned cbMax);
long     LGetVersionNthField(const char *szVersion, int nField);  // 1-based; 0 when absent

// Drives.
int                FIsValidDrive(int nDrive);
int                FIsLocalHardDrive(int nDrive);
int                FIsRemoveDrive(int nDrive);
int                FIsRemoteDrive(int nDrive);
unsigned long long LcbTotalDrive(int nDrive);  // 0 when it cannot be read
unsigned long long LcbFreeDrive(int nDrive);   // bytes available to this user

// Lists: the symbol is emptied, then gets one item per drive ("A:") or port
// ("COM1"), in order. 0 for a missing symbol name.
int FGetValidDrivesList(const char *szSymbol);
int FGetLocalHardDrivesList(const char *szSymbol);
int FGetRemovableDrivesList(const char *szSymbol);
int FGetNetworkDrivesList(const char *szSymbol);
int FGetParallelPortsList(const char *szSymbol);
int FGetSerialPortsList(const char *szSymbol);

// Environment and .INI files; an .INI name without a directory is a file of
// the Windows directory.
unsigned CbGetEnvVariableValue(const char *szEnvVar, char *szBfr, unsigned cbMax);
unsigned CbFindTargetOnEnvVar(const char *szFile, const char *szEnvVar, char *szBfr, unsigned cbMax);
unsigned CbGetIniKeyString(const char *szFile, const char *szSect, const char *szKey, char *szBfr,
                           unsigned cbMax);
int      FDoesIniSectionExist(const char *szFile, const char *szSect);
int      FDoesIniKeyExist(const char *szFile, const char *szSect, const char *szKey);
int      FIsDriverInConfig(const char *szDrv);  // named on a DEVICE= line of CONFIG.SYS

// Hardware.
int FHas87MathChip(void);
int FHasMonochromeDisplay(void);
int FHasMouseInstalled(void);
// Writes the processor's name ("80486", "PENTIUM", "AXP21064", ...); 0 when
// the processor is not one of the known kinds or the name does not fit.
// szIn and n are kept for older callers and not used.
int FGetProcessorType(const char *szIn, int n, char *szBfr, unsigned cbMax);

#ifdef __cplusplus
}
#endif
