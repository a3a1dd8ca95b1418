// INI files.
#include "setupapi.h"
#include "setuprt.h"

void RemoveIniSection(const char *szFile, const char *szSect, int cmo)
{
    if (!FRemoveIniSection(szFile, szSect, cmo))
        SetupError(SETUP_ERROR_TOOLKIT);
}

void CreateIniKeyValue(const char *szFile, const char *szSect, const char *szKey, const char *szValue, int cmo)
{
    if (!FCreateIniKeyValue(szFile, szSect, szKey, szValue, cmo))
        SetupError(SETUP_ERROR_TOOLKIT);
}

void RemoveIniKey(const char *szFile, const char *szSect, const char *szKey, int cmo)
{
    if (!FRemoveIniKey(szFile, szSect, szKey, cmo))
        SetupError(SETUP_ERROR_TOOLKIT);
}

void CreateSysIniKeyValue(const char *szFile, const char *szSect, const char *szKey, const char *szValue, int cmo)
{
    if (!FCreateSysIniKeyValue(szFile, szSect, szKey, szValue, cmo))
        SetupError(SETUP_ERROR_TOOLKIT);
}
