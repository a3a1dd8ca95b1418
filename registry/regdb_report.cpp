// Failures of the registry layer, reported through the toolkit.
#include "regdb_binding.h"
#include "setupapi.h"
#include "setuprt.h"

#include <stdio.h>
#include <string.h>

enum { REGDB_ERROR_CODE = 104 };

void ReportRegDbFailure(const char *szLabel)
{
    EercErrorHandler(REGDB_ERROR_CODE, 1, szLabel, NULL, NULL);
}

void FailRegDbStep(const char *szLabel)
{
    ReportRegDbFailure(szLabel);
    SetupError(SETUP_ERROR_TOOLKIT);
}

void RefuseMissingEntryPoint(const char *szOperation, const char *szExport)
{
    char szLabel[256];
    if (FRegDbLoaded())
        snprintf(szLabel, sizeof szLabel, "%s: ADVAPI32.DLL lacks %s", szOperation, szExport);
    else
        snprintf(szLabel, sizeof szLabel, "%s: the registry functions are not loaded", szOperation);
    FailRegDbStep(szLabel);
}

LONG RegDbKey::Close()
{
    LONG result = ERROR_SUCCESS;
    if (hKey_ && hKey_ != hParent_)
        result = regdb.lpfnRegCloseKey(hKey_);
    hKey_ = NULL;
    return result;
}

void TerminateRegText(char *szBuf, DWORD cbRead, DWORD cbBuf)
{
    if (cbRead > 0 && szBuf[cbRead - 1] == '\0')
        return;
    if (cbRead >= cbBuf)
        BufferOverflow();
    szBuf[cbRead] = '\0';
}
