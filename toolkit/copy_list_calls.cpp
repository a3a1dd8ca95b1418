// The copy list, its copy behind the gauge, and the billboards.
#include "setupapi.h"
#include "setuprt.h"

void AddSectionFilesToCopyList(const char *szSect, const char *szSrc, const char *szDest)
{
    if (!FAddSectionFilesToCopyList(szSect, szSrc, szDest))
        SetupError(SETUP_ERROR_TOOLKIT);
}

void AddSectionKeyFileToCopyList(const char *szSect, const char *szKey, const char *szSrc, const char *szDest)
{
    if (!FAddSectionKeyFileToCopyList(szSect, szKey, szSrc, szDest))
        SetupError(SETUP_ERROR_TOOLKIT);
}

void AddSpecialFileToCopyList(const char *szSect, const char *szKey, const char *szSrc, const char *szDest)
{
    if (!FAddSpecialFileToCopyList(szSect, szKey, szSrc, szDest))
        SetupError(SETUP_ERROR_TOOLKIT);
}

long long GetCopyListCost(const char *szExtraList, const char *szCostList, const char *szNeedList)
{
    long long cost = LcbGetCopyListCost(szExtraList, szCostList, szNeedList);
    if (cost < 0)
        SetupError(SETUP_ERROR_TOOLKIT);
    return cost;
}

void CopyFilesInCopyList(void)
{
    int grc = GrcCopyFilesInCopyList(HinstFrame());
    if (grc == GRC_USER_QUIT)
        SetupError(SETUP_ERROR_QUIT);
    if (grc > 0)
        SetupError(SETUP_ERROR_TOOLKIT);
}

void DumpCopyList(const char *szFile)
{
    if (!FDumpCopyListToFile(szFile))
        SetupError(SETUP_ERROR_TOOLKIT);
}

void ClearCopyList(void)
{
    ResetCopyList();
}

void SetCopyGaugePosition(int x, int y)
{
    ProSetPos(x, y);
}

void AddToBillboardList(const char *szDll, unsigned idDlg, const char *szProc, long lTicks)
{
    if (!FAddToBillboardList(szDll, idDlg, szProc, lTicks))
        SetupError(SETUP_ERROR_TOOLKIT);
}

void AddBlankToBillboardList(long lTicks)
{
    if (!FAddToBillboardList(NULL, 0, NULL, lTicks))
        SetupError(SETUP_ERROR_TOOLKIT);
}

void ClearBillboardList(void)
{
    if (!FClearBillboardList())
        SetupError(SETUP_ERROR_TOOLKIT);
}
