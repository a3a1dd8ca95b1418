// setuprt_files.h - log file, INI files, directories, files and the restart list of setuprt.dll.
//
// Every call that changes the system writes a line to the transcript and to
// the open log file.
#pragma once

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

// Mode bits (cmo) of these calls; a call ignores the bits it does not name.
enum {
    CMO_REPLACE_FILE = 2,     // FCopyOneFile: an existing destination is replaced (else it is kept)
    CMO_FORCE = 256,          // FCopyOneFile, YnrcRemoveFile: also a read-only file
    CMO_REPLACE_VALUE = 1024  // FCreateIniKeyValue, FCreateSysIniKeyValue: an existing value is replaced
};

// Results of YnrcRemoveFile and YnrcBackupFile.
enum {
    YNRC_FAILED = 0,
    YNRC_DONE = 1,
    YNRC_AT_RESTART = 2  // the file is in use; it goes when Windows starts again
};

// Results of WFindFileUsingFileOpen.
enum { FIND_FOUND = 0, FIND_NOT_FOUND = 1, FIND_ERROR = 2 };

// Path checks. A directory is "C:\..." or "\\server\share...", with no
// character that Windows forbids in a name, empty names only as a trailing
// backslash, and at most MAX_PATH-2 characters.
int FValidDir(const char *szDir);
// Splits a full path into "C:" or "\\server\share", the directory with its
// backslashes ("\dir\sub\") and the file name ("" after a trailing
// backslash). A null buffer skips its piece. 0, with every piece emptied,
// for an invalid path or a piece that does not fit.
int FParsePathIntoPieces(const char *szPath, char *szVolume, unsigned cbVolume, char *szPath2, unsigned cbPath,
                         char *szFile, unsigned cbFile);

// The log file: every later action is written to it as well. Opening a log
// closes the one before; closing when none is open succeeds.
int FOpenLogFile(const char *szFile, int fAppend);
int FCloseLogFile(void);
int FWriteToLogFile(const char *szStr, int fNewLine);  // 0 when no log is open
// An action of the caller's own, `verb "field1" "field2"`, in the transcript
// and the log; a null field and those after it are left out.
int FRecordAction(const char *szVerb, const char *szField1, const char *szField2);

// INI files. A file name without a directory is a file of the Windows
// directory, as Windows has it. Removing what is not there succeeds.
int FCreateIniKeyValue(const char *szFile, const char *szSect, const char *szKey, const char *szValue, int cmo);
int FRemoveIniKey(const char *szFile, const char *szSect, const char *szKey, int cmo);
int FRemoveIniSection(const char *szFile, const char *szSect, int cmo);
// SYSTEM.INI (when szFile is null or empty) may hold a key more than once,
// one driver per "device=" line: without CMO_REPLACE_VALUE a line with the
// new value is added beside the existing ones, unless it is there already.
int FCreateSysIniKeyValue(const char *szFile, const char *szSect, const char *szKey, const char *szValue, int cmo);

// Directories: FCreateDir makes the missing parents too; FRemoveDir removes
// an empty directory. An existing (or, for removal, missing) one succeeds.
int FCreateDir(const char *szDir, int cmo);
int FRemoveDir(const char *szDir, int cmo);

// Copies szSrc to szDst, or with fAppend adds its bytes to the end of szDst.
// A destination in use is replaced when Windows starts again (restart list).
int FCopyOneFile(const char *szSrc, const char *szDst, int cmo, int fAppend);
// A missing file counts as removed.
int YnrcRemoveFile(const char *szFile, int cmo);
// Renames szFile to szBackup, a name in the same directory; an earlier file
// of that name is replaced.
int YnrcBackupFile(const char *szFile, const char *szBackup, int cmo);

// Writable checks: an existing file, not read-only, that can be opened for
// writing (a file in use cannot); an existing directory in which a file can
// be made.
int FIsFileWritable(const char *szFile);
int FIsDirWritable(const char *szDir);

// Finds a file the way OpenFile searches (the program's and the current
// directory, the system and Windows directories, PATH); the full path goes
// to szBfr. FIND_ERROR for a bad argument or a path longer than cbBfrMax-1.
int WFindFileUsingFileOpen(const char *szFile, char *szBfr, unsigned cbBfrMax);

// Writes the bytes into resource wResId of type wResType of the file named by
// field 1 of the line szKey of section szSect of the setup-information file,
// in the directory szDst. An existing resource keeps its language.
int FStampResource(const char *szSect, const char *szKey, const char *szDst, unsigned short wResType,
                   unsigned short wResId, const char *szData, unsigned cbData);

// Copies the batch file szSrc (missing: empty) to szDst with szDir in front
// of its last PATH setting, or in a new "PATH szDir;%PATH%" line; a PATH that
// holds szDir already is left as it is. cmo is not used.
int FPrependToPath(const char *szSrc, const char *szDst, const char *szDir, int cmo);

// The restart list: files that could not be replaced or removed because they
// were in use. New copies wait in the restart directory when it lies on the
// destination's volume, else beside the destination.
int FSetRestartDir(const char *szDir);
int FRestartListEmpty(void);
// With files waiting, asks the user to restart Windows and, on yes, does so.
// 1 when the restart is under way or none is needed; 0 when the user said no
// or Windows refused (the files are replaced at the next start of Windows).
int FExitExecRestart(void);

// Message boxes of the runtime: beeping sounds before a box is shown; silent
// answers every box with its first button without showing it. Each returns
// the previous mode, 1 or 0.
int FSetBeepingMode(int mode);
int FSetSilent(int mode);

#ifdef __cplusplus
}
#endif
