// Symbols and lists of the toolkit.
#include "setupapi.h"
#include "setuprt.h"

static void RequireName(const char *szSymbol)
{
    if (!szSymbol || !*szSymbol)
        SetupError(SETUP_ERROR_TOOLKIT);
}

char *GetSymbolValue(const char *szSymbol, char *szBfr, unsigned cbBfrMax)
{
    RequireName(szSymbol);
    if (CbGetSymbolValue(szSymbol, szBfr, cbBfrMax) >= cbBfrMax)
        BufferOverflow();
    return szBfr;
}

void SetSymbolValue(const char *szSymbol, const char *szValue)
{
    if (!FSetSymbolValue(szSymbol, szValue))
        SetupError(SETUP_ERROR_TOOLKIT);
}

void RemoveSymbol(const char *szSym)
{
    if (!FRemoveSymbol(szSym))
        SetupError(SETUP_ERROR_TOOLKIT);
}

unsigned short GetListLength(const char *szSymbol)
{
    RequireName(szSymbol);
    return UsGetListLength(szSymbol);
}

char *GetListItem(const char *szListSymbol, unsigned nItem, char *szBfr, unsigned cbBfrMax)
{
    RequireName(szListSymbol);
    if (nItem < 1 || nItem > GetListLength(szListSymbol))
        SetupError(SETUP_ERROR_TOOLKIT);
    if (CbGetListItem(szListSymbol, nItem, szBfr, cbBfrMax) >= cbBfrMax)
        BufferOverflow();
    return szBfr;
}

void AddListItem(const char *szSymbol, const char *szItem)
{
    if (!FAddListItem(szSymbol, szItem))
        SetupError(SETUP_ERROR_TOOLKIT);
}

void ReplaceListItem(const char *szSymbol, unsigned n, const char *szItem)
{
    if (!FReplaceListItem(szSymbol, n, szItem))
        SetupError(SETUP_ERROR_TOOLKIT);
}
