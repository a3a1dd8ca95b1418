// setupapi_inf.h - wrappers for the setup-information file, the copy list and billboards.
#pragma once

#include <windows.h>

// The setup-information file. The GetSectionKey functions return szBfr
// holding field 1 (file name), 5 (date) or 19 (version) of the line with the
// key; GetSectionKeySize the value of field 15.
void ReadInfFile(const char *szFile);
void MakeListFromSectionKeys(const char *szSymbol, const char *szSect);
char *GetSectionKeyDate(const char *szSect, const char *szKey, char *szBfr, unsigned cbBfrMax);
char *GetSectionKeyFilename(const char *szSect, const char *szKey, char *szBfr, unsigned cbBfrMax);
char *GetSectionKeyVersion(const char *szSect, const char *szKey, char *szBfr, unsigned cbBfrMax);
long GetSectionKeySize(const char *szSect, const char *szKey);
void MakeListFromSectionDate(const char *szSym, const char *szSect);
void MakeListFromSectionFilename(const char *szSym, const char *szSect);
void MakeListFromSectionRename(const char *szSym, const char *szSect);
void MakeListFromSectionSize(const char *szSym, const char *szSect);
void MakeListFromSectionVersion(const char *szSym, const char *szSect);

// The copy list.
void AddSectionFilesToCopyList(const char *szSect, const char *szSrc, const char *szDest);
void AddSectionKeyFileToCopyList(const char *szSect, const char *szKey, const char *szSrc, const char *szDest);
void AddSpecialFileToCopyList(const char *szSect, const char *szKey, const char *szSrc, const char *szDest);
long long GetCopyListCost(const char *szExtraList, const char *szCostList, const char *szNeedList);
void CopyFilesInCopyList(void);
void DumpCopyList(const char *szFile);
void ClearCopyList(void);
void SetCopyGaugePosition(int x, int y);

// Billboards shown while the files are copied.
void AddToBillboardList(const char *szDll, unsigned idDlg, const char *szProc, long lTicks);
void AddBlankToBillboardList(long lTicks);
void ClearBillboardList(void);
