// The setup-information file: fields of a line and lists from a section.
#include "setupapi.h"
#include "setuprt.h"

#include <stdlib.h>

// The fields of a file line.
enum { FIELD_FILENAME = 1, FIELD_DATE = 5, FIELD_RENAME = 11, FIELD_SIZE = 15, FIELD_VERSION = 19 };

void ReadInfFile(const char *szFile)
{
    if (!FOpenInf(szFile, 1, 0))
        SetupError(SETUP_ERROR_TOOLKIT);
}

void MakeListFromSectionKeys(const char *szSymbol, const char *szSect)
{
    if (!FSetSymbolToListOfInfKeys(szSymbol, szSect, 1))
        SetupError(SETUP_ERROR_TOOLKIT);
}

static char *GetSectionKeyField(const char *szSect, const char *szKey, int iField, char *szBfr, unsigned cbBfrMax)
{
    int length = CbGetInfSectionKeyField(szSect, szKey, iField, szBfr, (int)cbBfrMax);
    if (length == -1)
        SetupError(SETUP_ERROR_TOOLKIT);
    if ((unsigned)length >= cbBfrMax)
        BufferOverflow();
    return szBfr;
}

char *GetSectionKeyDate(const char *szSect, const char *szKey, char *szBfr, unsigned cbBfrMax)
{
    return GetSectionKeyField(szSect, szKey, FIELD_DATE, szBfr, cbBfrMax);
}

char *GetSectionKeyFilename(const char *szSect, const char *szKey, char *szBfr, unsigned cbBfrMax)
{
    return GetSectionKeyField(szSect, szKey, FIELD_FILENAME, szBfr, cbBfrMax);
}

char *GetSectionKeyVersion(const char *szSect, const char *szKey, char *szBfr, unsigned cbBfrMax)
{
    return GetSectionKeyField(szSect, szKey, FIELD_VERSION, szBfr, cbBfrMax);
}

long GetSectionKeySize(const char *szSect, const char *szKey)
{
    char rgchT[128];
    return atol(GetSectionKeyField(szSect, szKey, FIELD_SIZE, rgchT, sizeof rgchT));
}

static void MakeListFromSectionField(const char *szSym, const char *szSect, int iField)
{
    if (!FMakeListInfSectionField(szSym, szSect, iField))
        SetupError(SETUP_ERROR_TOOLKIT);
}

void MakeListFromSectionDate(const char *szSym, const char *szSect)
{
    MakeListFromSectionField(szSym, szSect, FIELD_DATE);
}

void MakeListFromSectionFilename(const char *szSym, const char *szSect)
{
    MakeListFromSectionField(szSym, szSect, FIELD_FILENAME);
}

void MakeListFromSectionRename(const char *szSym, const char *szSect)
{
    MakeListFromSectionField(szSym, szSect, FIELD_RENAME);
}

void MakeListFromSectionSize(const char *szSym, const char *szSect)
{
    MakeListFromSectionField(szSym, szSect, FIELD_SIZE);
}

void MakeListFromSectionVersion(const char *szSym, const char *szSect)
{
    MakeListFromSectionField(szSym, szSect, FIELD_VERSION);
}
