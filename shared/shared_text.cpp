// Names and bounded path building of the shared-file module.
#include "shared_text.h"
#include "string_helpers.h"

#include <string.h>

const char szWinIni[] = "WIN.INI";
const char szMsapps[] = "MSAPPS";

int FHasText(const char *sz)
{
    return sz && *sz;
}

int FEnsureBackslash(char *sz, size_t cbSz)
{
    if (FEndsInBackslash(sz))
        return 1;
    return FAppendText(sz, cbSz, "\\");
}

int FAppendText(char *sz, size_t cbSz, const char *szMore)
{
    size_t cch = strlen(sz), cchMore = strlen(szMore);
    if (cch + cchMore >= cbSz)
        return 0;
    memcpy(sz + cch, szMore, cchMore + 1);
    return 1;
}

void CopyIfFits(char *szDst, size_t cbDst, const char *szSrc)
{
    szDst[0] = '\0';
    if (szSrc && strlen(szSrc) < cbDst)
        memcpy(szDst, szSrc, strlen(szSrc) + 1);
}
