// Program Manager groups and items.
#include "setupapi.h"
#include "setuprt.h"
#include "string_helpers.h"

#include <stdio.h>
#include <string.h>

// The room SzCat2Str has for "item,other" and its terminator.
enum { CB_JOINED_ITEM = 3 * 255 };

// The item with its further fields after a comma; a join that would not fit
// is a bad argument, never a shortened item.
static const char *ItemWithFields(const char *szItem, const char *szOther)
{
    if (!szItem)
        SetupError(SETUP_ERROR_TOOLKIT);
    if (!szOther || !*szOther)
        return szItem;
    if (strlen(szItem) + 1 + strlen(szOther) >= CB_JOINED_ITEM)
        SetupError(SETUP_ERROR_TOOLKIT);
    return SzCat2Str(szItem, ",", szOther);
}

void CreateProgmanGroup(const char *szGroup, const char *szPath, int cmo)
{
    if (!FCreateProgManGroup(szGroup, szPath, cmo))
        SetupError(SETUP_ERROR_TOOLKIT);
}

void CreateProgmanGroupEx(const char *szGroup, int fCommon, int cmo)
{
    if (!FCreateProgManGroupEx(szGroup, fCommon, cmo))
        SetupError(SETUP_ERROR_TOOLKIT);
}

void ShowProgmanGroup(const char *szGroup, int Cmd, int cmo)
{
    char szCmd[16];
    snprintf(szCmd, sizeof szCmd, "%d", Cmd);
    if (!FShowProgManGroup(szGroup, szCmd, cmo))
        SetupError(SETUP_ERROR_TOOLKIT);
}

void ShowProgmanGroupEx(const char *szGroup, int fCommon, int Cmd, int cmo)
{
    char szCmd[16];
    snprintf(szCmd, sizeof szCmd, "%d", Cmd);
    if (!FShowProgManGroupEx(szGroup, fCommon, szCmd, cmo))
        SetupError(SETUP_ERROR_TOOLKIT);
}

void CreateProgmanItem(const char *szGroup, const char *szItem, const char *szCmd, const char *szOther, int cmo)
{
    if (!FCreateProgManItem(szGroup, ItemWithFields(szItem, szOther), szCmd, cmo))
        SetupError(SETUP_ERROR_TOOLKIT);
}

void CreateProgmanItemEx(const char *szGroup, int fCommon, const char *szItem, const char *szCmd,
                         const char *szOther, int cmo)
{
    if (!FCreateProgManItemEx(szGroup, fCommon, ItemWithFields(szItem, szOther), szCmd, cmo))
        SetupError(SETUP_ERROR_TOOLKIT);
}
