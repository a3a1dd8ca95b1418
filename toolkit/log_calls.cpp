// The log file.
#include "setupapi.h"
#include "setuprt.h"

void OpenLogFile(const char *szFile, int fAppend)
{
    if (!FOpenLogFile(szFile, fAppend))
        SetupError(SETUP_ERROR_TOOLKIT);
}

void CloseLogFile(void)
{
    if (!FCloseLogFile())
        SetupError(SETUP_ERROR_TOOLKIT);
}

void RecordAction(const char *szVerb, const char *szField1, const char *szField2)
{
    if (!FRecordAction(szVerb, szField1, szField2))
        SetupError(SETUP_ERROR_TOOLKIT);
}

void WriteToLogFile(const char *szStr)
{
    if (!FWriteToLogFile(szStr, 1))
        SetupError(SETUP_ERROR_TOOLKIT);
}
