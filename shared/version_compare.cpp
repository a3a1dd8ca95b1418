// Comparing version texts "a.b.c.d" field by field.
#include "msshared.h"
#include "msdetect.h"
#include "shared_text.h"

int WCompareVersion(const char *szVer1, const char *szVer2)
{
    // An empty (or unknown) version is older than any other.
    if (!FHasText(szVer1))
        return FHasText(szVer2) ? -1 : 0;
    if (!FHasText(szVer2))
        return 1;
    for (int field = 1; field <= 4; field++) {
        long l1 = GetVersionNthField(szVer1, field);
        long l2 = GetVersionNthField(szVer2, field);
        if (l2 < l1)
            return 1;
        if (l2 > l1)
            return -1;
    }
    return 0;
}
