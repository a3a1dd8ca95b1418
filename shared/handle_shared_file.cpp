// The location of a shared file named by a line of the setup-information file.
#include "msshared.h"
#include "msdetect.h"
#include "setupapi.h"
#include "setuprt.h"
#include "shared_text.h"

#include <string.h>

namespace {

// The default directory of the component family szSubDir: its own MSAPPS
// key, or (recorded there for next time) the shared directory plus szSubDir.
// 0 when WIN.INI names no shared directory.
int FDefaultSharedDir(const char *szSubDir, char *szDir, unsigned cbDir)
{
    if (DoesIniKeyExist(szWinIni, szMsapps, szSubDir)) {
        GetIniKeyString(szWinIni, szMsapps, szSubDir, szDir, 255);
        return 1;
    }
    if (!DoesIniKeyExist(szWinIni, szMsapps, szMsapps))
        return 0;
    GetIniKeyString(szWinIni, szMsapps, szMsapps, szDir, 255);
    if (!FEnsureBackslash(szDir, cbDir) || !FAppendText(szDir, cbDir, szSubDir ? szSubDir : ""))
        BufferOverflow();
    FCreateIniKeyValue(szWinIni, szMsapps, szSubDir, szDir, CMO_REPLACE_VALUE);
    return 1;
}

// Field iField of the line into szBuf (full size cbBuf): 0 for a missing
// line; a field cut to fit is an overflow.
int FReadInfField(const char *szSect, const char *szKey, int iField, char *szBuf, unsigned cbBuf)
{
    if (cbBuf == 0)
        BufferOverflow();
    int cb = CbGetInfSectionKeyField(szSect, szKey, iField, szBuf, (int)cbBuf);
    if (cb == -1)
        return 0;
    if (cb < 0 || (unsigned)cb >= cbBuf)
        BufferOverflow();
    return 1;
}

}  // namespace

char *HandleSharedFile(const char *szInfSection, const char *szInfKey, const char *szSubDir,
                       const char *szRegDbKey, const char *szWinIniSect, const char *szWinIniKey,
                       int iWinIniField, char *szBuf, unsigned cbBuf)
{
    FixupWinIniMsappsSection();

    char szDefault[256];
    if (!FDefaultSharedDir(szSubDir, szDefault, sizeof szDefault))
        return NULL;
    if (!FEnsureBackslash(szDefault, sizeof szDefault))
        BufferOverflow();
    size_t cchDir = strlen(szDefault);
    if (cchDir >= 255)
        BufferOverflow();
    if (!FReadInfField(szInfSection, szInfKey, 1, szDefault + cchDir, (unsigned)(255 - cchDir)))
        return NULL;

    char szVersion[32];
    if (!FReadInfField(szInfSection, szInfKey, 19, szVersion, 31))
        return NULL;
    return SearchForLocationForSharedFile(szRegDbKey, szWinIniSect, szWinIniKey, iWinIniField, szDefault,
                                          szVersion, szBuf, cbBuf);
}
