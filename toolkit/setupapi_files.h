// setupapi_files.h - wrappers for the log file, INI files, directories, files and the restart list.
#pragma once

#include <windows.h>

// Directories.
void CreateDir(const char *szDir, int cmo);
void RemoveDir(const char *szDir, int cmo);

// INI files; SYSTEM.INI through CreateSysIniKeyValue.
void RemoveIniSection(const char *szFile, const char *szSect, int cmo);
void CreateIniKeyValue(const char *szFile, const char *szSect, const char *szKey, const char *szValue, int cmo);
void RemoveIniKey(const char *szFile, const char *szSect, const char *szKey, int cmo);
void CreateSysIniKeyValue(const char *szFile, const char *szSect, const char *szKey, const char *szValue, int cmo);

// Files. CopyAFile always replaces an existing destination.
void StampResource(const char *szSect, const char *szKey, const char *szDst, unsigned short wResType,
                   unsigned short wResId, const char *szData, unsigned cbData);
void CopyAFile(const char *szFullPathSrc, const char *szFullPathDst, int cmo, int fAppend);
void RemoveFile(const char *szFullPathSrc, int cmo);
void BackupFile(const char *szFullPath, const char *szBackup);
void RenameFile(const char *szFullPath, const char *szBackup);
void PrependToPath(const char *szSrc, const char *szDst, const char *szDir, int cmo);

// The log file.
void OpenLogFile(const char *szFile, int fAppend);
void CloseLogFile(void);
void WriteToLogFile(const char *szStr);
// `verb "field1" "field2"` in the transcript (and the log); field2 may be null.
void RecordAction(const char *szVerb, const char *szField1, const char *szField2);

// Finds a file as Windows searches; szBfr holds its path, or is empty when
// the file is nowhere.
char *FindFileUsingFileOpen(const char *szFile, char *szBfr, unsigned cbBfrMax);
int IsDirWritable(const char *szDir);
int IsFileWritable(const char *szFile);

// The restart list of files that were in use.
void SetRestartDir(const char *szDir);
int RestartListEmpty(void);
int ExitExecRestart(void);

// Message boxes of the toolkit; each returns the previous mode.
int SetBeepingMode(int mode);
int SetSilentMode(int mode);
