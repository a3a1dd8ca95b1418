// msshared.h - where a file shared by several applications lives, whether
// the copy being installed must replace it, and the MSAPPS section of
// WIN.INI that names the shared directory and its component families.
//
// A path result goes into szBuf, whose full size is cbBuf; null means no
// location was found. Values too long for their buffers end the run through
// SetupError, as in the layers below.
#pragma once

// The chosen full path of the shared file named by field 1 (its name) and
// field 19 (its version) of the line szInfKey of section szInfSection of the
// open setup-information file: from the registry key szRegDbKey (below
// HKEY_CLASSES_ROOT), from field iWinIniField of szWinIniKey in section
// szWinIniSect of WIN.INI, else below the MSAPPS key szSubDir. Repairs the
// MSAPPS section first (once per run).
char *HandleSharedFile(const char *szInfSection, const char *szInfKey, const char *szSubDir,
                       const char *szRegDbKey, const char *szWinIniSect, const char *szWinIniKey,
                       int iWinIniField, char *szBuf, unsigned cbBuf);
// The same search for a file of version szVersion whose default path is szDefault.
char *SearchForLocationForSharedFile(const char *szRegDbKey, const char *szWinIniSect,
                                     const char *szWinIniKey, int iWinIniField, const char *szDefault,
                                     const char *szVersion, char *szBuf, unsigned cbBuf);
// szField if a file is there, else a file of its name in the Windows or
// system directory or on PATH; null when there is none, or when it is older
// than szVersion and cannot be written.
char *FindSharedFileFromPath(const char *szField, const char *szVersion, char *szBuf, unsigned cbBuf);
// The file szFile in the Windows directory, the system directory or on PATH,
// in that order; szBuf is emptied when it is nowhere.
void NewFindFileUsingFileOpen(const char *szFile, char *szBuf, unsigned cbBuf);

// 1 if szVer1 is newer, -1 if older, 0 if equal: the first four fields of
// "a.b.c.d" compared as numbers; an empty version is older than any other.
int WCompareVersion(const char *szVer1, const char *szVer2);
// 1 when the last search decided that the file must be copied to its result.
int DoesSharedFileNeedCopying(void);

// Gives MSAPPS a usable shared directory and each component family a usable
// directory below it; once per run, later calls return 1 at once. 0 on failure.
int FixupWinIniMsappsSection(void);
// Sets the key to szDef (the shared directory, ending in a backslash)
// followed by szKey unless it names a usable directory already.
int FixupOneMsappsEntry(const char *szKey, const char *szDef);
