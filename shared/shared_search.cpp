// Finding where a shared file lives and whether it must be copied there.
#include "msshared.h"
#include "msdetect.h"
#include "msregdb.h"
#include "setupapi.h"
#include "setuprt.h"
#include "shared_text.h"
#include "string_helpers.h"

#include <stdio.h>
#include <string.h>

// The answer of the most recent search; read through DoesSharedFileNeedCopying.
int SharedFileNeedsCopying = 0;

int DoesSharedFileNeedCopying(void)
{
    return SharedFileNeedsCopying ? 1 : 0;
}

namespace {

typedef char *(*WindowsDirQuery)(char *szBuf, unsigned cbBufMax);

// szDir followed by szFile in szFound, when a file is there.
int FFileInDir(WindowsDirQuery query, const char *szFile, char *szFound, size_t cbFound)
{
    char szDir[256];
    query(szDir, 255);
    int cch = snprintf(szFound, cbFound, "%s%s", szDir, szFile);
    return cch > 0 && (size_t)cch < cbFound && DoesFileExist(szFound, 0);
}

// A path that names no file: look for a file of its name where Windows would.
void LookUpByName(char *szBuf, unsigned cbBuf)
{
    char szName[32];
    if (FValidPath(szBuf) && FParsePathIntoPieces(szBuf, NULL, 0, NULL, 0, szName, 31) && szName[0])
        NewFindFileUsingFileOpen(szName, szBuf, cbBuf);
    else
        szBuf[0] = '\0';
}

// The default location; it needs the copy unless a file at least as new is there.
char *UseDefaultLocation(const char *szDefault, const char *szVersion, char *szBuf, unsigned cbBuf)
{
    CopyIfFits(szBuf, cbBuf, szDefault);
    SharedFileNeedsCopying = 1;
    if (DoesFileExist(szBuf, 0)) {
        char szInstalled[256];
        GetVersionOfFile(szBuf, szInstalled, 255);
        if (WCompareVersion(szInstalled, szVersion) >= 0)
            SharedFileNeedsCopying = 0;
    }
    return szBuf[0] ? szBuf : NULL;
}

}  // namespace

void NewFindFileUsingFileOpen(const char *szFile, char *szBuf, unsigned cbBuf)
{
    if (!szBuf || cbBuf == 0)
        return;
    char szFound[520] = "";
    if (FHasText(szFile) && !FFileInDir(GetWindowsDir, szFile, szFound, sizeof szFound) &&
        !FFileInDir(GetWindowsSysDir, szFile, szFound, sizeof szFound))
        FindTargetOnEnvVar(szFile, "PATH", szFound, 255);
    // A path cut to fit would name another file.
    if (strlen(szFound) >= cbBuf)
        BufferOverflow();
    memcpy(szBuf, szFound, strlen(szFound) + 1);
}

char *FindSharedFileFromPath(const char *szField, const char *szVersion, char *szBuf, unsigned cbBuf)
{
    if (!szBuf || cbBuf == 0)
        return NULL;
    CopyIfFits(szBuf, cbBuf, szField);
    SharedFileNeedsCopying = 0;
    if (szBuf[0] && !DoesFileExist(szBuf, 0))
        LookUpByName(szBuf, cbBuf);

    if (szBuf[0]) {
        char szInstalled[32];
        GetVersionOfFile(szBuf, szInstalled, 31);
        // An older copy is replaced in place, or given up when it cannot be.
        if (WCompareVersion(szInstalled, szVersion) < 0) {
            if (IsFileWritable(szBuf))
                SharedFileNeedsCopying = 1;
            else
                szBuf[0] = '\0';
        }
    }
    return szBuf[0] ? szBuf : NULL;
}

char *SearchForLocationForSharedFile(const char *szRegDbKey, const char *szWinIniSect,
                                     const char *szWinIniKey, int iWinIniField, const char *szDefault,
                                     const char *szVersion, char *szBuf, unsigned cbBuf)
{
    if (!szBuf || cbBuf == 0)
        return NULL;
    if (FHasText(szRegDbKey)) {
        char szPath[256];
        GetRegKeyValue(szRegDbKey, szPath, 255);
        if (FindSharedFileFromPath(szPath, szVersion, szBuf, cbBuf))
            return szBuf;
    }
    if (FHasText(szWinIniSect) && FHasText(szWinIniKey)) {
        char szLine[256];
        GetIniKeyString(szWinIni, szWinIniSect, szWinIniKey, szLine, 255);
        if (szLine[0]) {
            char szField[256];
            GetNthFieldFromIniString(szLine, iWinIniField, szField, 255);
            if (FindSharedFileFromPath(szField, szVersion, szBuf, cbBuf))
                return szBuf;
        }
    }
    return UseDefaultLocation(szDefault, szVersion, szBuf, cbBuf);
}
