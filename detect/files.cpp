// Questions about files, directories, .INI files and CONFIG.SYS, answered
// by the runtime as they stand.
#include "msdetect.h"
#include "setuprt.h"

int DoesFileExist(const char *szFileName, int mode)
{
    if (!FValidPath(szFileName))
        return 0;
    return FDoesFileExist(szFileName, mode);
}

int DoesDirExist(const char *szDir)
{
    return FDirExists(szDir);
}

int DoesIniSectionExist(const char *szFile, const char *szSect)
{
    return FDoesIniSectionExist(szFile, szSect);
}

int DoesIniKeyExist(const char *szFile, const char *szSect, const char *szKey)
{
    return FDoesIniKeyExist(szFile, szSect, szKey);
}

long GetVersionNthField(const char *szVersion, int nField)
{
    return LGetVersionNthField(szVersion, nField);
}

unsigned GetSizeOfFile(const char *szFile)
{
    return LcbGetSizeOfFile(szFile);
}

int IsDriverInConfig(const char *szDrv)
{
    return FIsDriverInConfig(szDrv);
}
