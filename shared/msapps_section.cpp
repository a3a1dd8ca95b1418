// The MSAPPS section of WIN.INI: the shared directory and one directory per
// component family below it.
#include "msshared.h"
#include "msdetect.h"
#include "setupapi.h"
#include "setuprt.h"
#include "shared_text.h"
#include "string_helpers.h"

#include <stdio.h>

namespace {

const char *const kComponentKeys[] = {
    "CLIPART", "EQUATION", "GRPHFLT", "MSDRAW", "MSGRAPH", "PROOF", "TEXTCONV", "WORDART",
};

// The key's value in szDir, when the key is there and names a usable directory.
int FReadUsableDir(const char *szKey, char *szDir, unsigned cbDir)
{
    szDir[0] = '\0';
    if (!DoesIniKeyExist(szWinIni, szMsapps, szKey))
        return 0;
    GetIniKeyString(szWinIni, szMsapps, szKey, szDir, cbDir);
    return FValidDir(szDir);
}

// MSAPPS becomes the MSAPPS directory below the Windows directory.
int FWriteDefaultSharedDir(void)
{
    char szDir[256];
    GetWindowsDir(szDir, 255 - 6 - 2);
    if (!FEnsureBackslash(szDir, sizeof szDir) || !FAppendText(szDir, sizeof szDir, szMsapps))
        return 0;
    return FCreateIniKeyValue(szWinIni, szMsapps, szMsapps, szDir, CMO_REPLACE_VALUE);
}

}  // namespace

int FixupWinIniMsappsSection(void)
{
    // Repaired at most once per run, even when the first attempt failed.
    static int fMsappsNeedsFixing = 1;
    if (!fMsappsNeedsFixing)
        return 1;
    fMsappsNeedsFixing = 0;

    char szShared[256];
    if (!FReadUsableDir(szMsapps, szShared, 255) && !FWriteDefaultSharedDir())
        return 0;
    if (!FReadUsableDir(szMsapps, szShared, 255) || !FEnsureBackslash(szShared, sizeof szShared))
        return 0;
    for (const char *szKey : kComponentKeys) {
        if (!FixupOneMsappsEntry(szKey, szShared))
            return 0;
    }
    return 1;
}

int FixupOneMsappsEntry(const char *szKey, const char *szDef)
{
    char szDir[520];
    if (FReadUsableDir(szKey, szDir, 255))
        return 1;
    int cch = snprintf(szDir, sizeof szDir, "%s%s", szDef ? szDef : "", szKey ? szKey : "");
    if (cch < 0 || (size_t)cch >= sizeof szDir)
        return 0;
    return FCreateIniKeyValue(szWinIni, szMsapps, szKey, szDir, CMO_REPLACE_VALUE);
}
