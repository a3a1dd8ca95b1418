// msdetect.h - drive, file, version and hardware queries.
//
// A drive is named by a string whose first character is its letter, in
// either case. A string result goes into szBuf, whose full size is cbBuf; a
// result that does not fit, and a list that cannot be made, end the run
// through SetupError.
#pragma once

// Drives. Some of these upper-case the caller's string in place (see each).
int IsDriveValid(char *szDrive);      // first character upper-cased
int IsDriveLocalHard(char *szDrive);  // whole string upper-cased
int IsDriveRemovable(char *szDrive);  // first character upper-cased
int IsDriveNetwork(const char *szDrive);
unsigned long long GetTotalSpaceForDrive(char *szDrive);  // first character upper-cased
unsigned long long GetFreeSpaceForDrive(const char *szDrive);

// Lists into the symbol szSymbol: "A:" style drives, "LPT1", "COM1" ports.
void GetValidDrivesList(const char *szSymbol);
void GetLocalHardDrivesList(const char *szSymbol);
void GetRemovableDrivesList(const char *szSymbol);
void GetNetworkDrivesList(const char *szSymbol);
void GetParallelPortsList(const char *szSymbol);
void GetSerialPortsList(const char *szSymbol);

// String results; each returns szBuf.
char *GetEnvVariableValue(const char *szEnvVar, char *szBuf, unsigned cbBuf);
char *GetVersionOfFile(const char *szFile, char *szBuf, unsigned cbBuf);
char *FindTargetOnEnvVar(const char *szFile, const char *szEnvVar, char *szBuf, unsigned cbBuf);
char *GetIniKeyString(const char *szFile, const char *szSect, const char *szKey, char *szBuf,
                      unsigned cbBuf);
char *GetDateOfFile(const char *szFile, char *szBuf, unsigned cbBuf);
char *FindFileInTree(const char *szFile, const char *szDir, char *szBuf, unsigned cbBuf);

// Files, directories, .INI files and CONFIG.SYS.
// Nonzero when szFileName is a well-formed path and the file exists.
int DoesFileExist(const char *szFileName, int mode);
int DoesDirExist(const char *szDir);
int DoesIniSectionExist(const char *szFile, const char *szSect);
int DoesIniKeyExist(const char *szFile, const char *szSect, const char *szKey);
long GetVersionNthField(const char *szVersion, int nField);
unsigned GetSizeOfFile(const char *szFile);
int IsDriverInConfig(const char *szDrv);

// Hardware and the system.
int Has87MathChip(void);
int HasFPPMathChip(void);
int HasMonochromeDisplay(void);
int HasMouseInstalled(void);
int GetDOSMajorVersion(void);
int GetDOSMinorVersion(void);
int GetNumWinApps(void);

// The processor as a number: Intel by generation (8086 = 0 up to Pentium =
// 5), others by model (R4000 = 4000, AXP21064 = 21064, ...); 0 when the
// query fails, PROCESSOR_UNKNOWN for a name that is none of these.
enum { PROCESSOR_UNKNOWN = -1 };
int GetProcessorType(void);
// The number of a processor name, in any case.
int ProcessorTypeFromName(const char *szName);

// Copies n bytes: szSrc up to its terminator, then zeros to fill n. When
// szSrc has n bytes or more, szDst gets no terminator. Returns szDst.
char *lstrncpy(char *szDst, const char *szSrc, int n);

// Fields of a GetDateOfFile text "YYYY-MM-DD-HH-MM-SS"; 0 for a field that
// does not start with digits or lies beyond the end of the text.
int GetYearFromDate(const char *szDate);
int GetMonthFromDate(const char *szDate);
int GetDayFromDate(const char *szDate);
int GetHourFromDate(const char *szDate);
int GetMinuteFromDate(const char *szDate);
int GetSecondFromDate(const char *szDate);
