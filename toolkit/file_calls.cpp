// Directories, files and resource stamping.
#include "setupapi.h"
#include "setuprt.h"

void CreateDir(const char *szDir, int cmo)
{
    if (!FCreateDir(szDir, cmo))
        SetupError(SETUP_ERROR_TOOLKIT);
}

void RemoveDir(const char *szDir, int cmo)
{
    if (!FRemoveDir(szDir, cmo))
        SetupError(SETUP_ERROR_TOOLKIT);
}

void StampResource(const char *szSect, const char *szKey, const char *szDst, unsigned short wResType,
                   unsigned short wResId, const char *szData, unsigned cbData)
{
    if (!FStampResource(szSect, szKey, szDst, wResType, wResId, szData, cbData))
        SetupError(SETUP_ERROR_TOOLKIT);
}

void CopyAFile(const char *szFullPathSrc, const char *szFullPathDst, int cmo, int fAppend)
{
    if (!FCopyOneFile(szFullPathSrc, szFullPathDst, cmo | CMO_REPLACE_FILE, fAppend))
        SetupError(SETUP_ERROR_TOOLKIT);
}

void RemoveFile(const char *szFullPathSrc, int cmo)
{
    if (!YnrcRemoveFile(szFullPathSrc, cmo))
        SetupError(SETUP_ERROR_TOOLKIT);
}

void BackupFile(const char *szFullPath, const char *szBackup)
{
    if (!YnrcBackupFile(szFullPath, szBackup, 0))
        SetupError(SETUP_ERROR_TOOLKIT);
}

void RenameFile(const char *szFullPath, const char *szBackup)
{
    if (!YnrcBackupFile(szFullPath, szBackup, 0))
        SetupError(SETUP_ERROR_TOOLKIT);
}

void PrependToPath(const char *szSrc, const char *szDst, const char *szDir, int cmo)
{
    if (!FPrependToPath(szSrc, szDst, szDir, cmo))
        SetupError(SETUP_ERROR_TOOLKIT);
}

char *FindFileUsingFileOpen(const char *szFile, char *szBfr, unsigned cbBfrMax)
{
    int fits = szBfr && cbBfrMax > 0;
    if (fits)
        szBfr[0] = ' ';
    int result = WFindFileUsingFileOpen(szFile, szBfr, cbBfrMax);
    if (result != FIND_FOUND && fits)
        szBfr[0] = '\0';
    if (result != FIND_FOUND && result != FIND_NOT_FOUND)
        SetupError(SETUP_ERROR_TOOLKIT);
    return szBfr;
}

int IsDirWritable(const char *szDir)
{
    return FIsDirWritable(szDir);
}

int IsFileWritable(const char *szFile)
{
    return FIsFileWritable(szFile);
}
