// Fixed-width copies, and the fields of a file's date text.
#include "msdetect.h"
#include "setuprt.h"

#include <stdlib.h>

char *lstrncpy(char *szDst, const char *szSrc, int n)
{
    int i = 0;
    for (; i < n && szSrc[i]; i++)
        szDst[i] = szSrc[i];
    for (; i < n; i++)
        szDst[i] = '\0';
    return szDst;
}

// The date text is "YYYY-MM-DD-HH-MM-SS": each field at a fixed position,
// one separator between fields.
enum { YEAR_AT = 0, MONTH_AT = 5, DAY_AT = 8, HOUR_AT = 11, MINUTE_AT = 14, SECOND_AT = 17 };
enum { YEAR_WIDTH = 4, FIELD_WIDTH = 2 };

// A text that ends before the field has no such field: 0, and nothing is
// read beyond the text's terminator.
static int DateField(const char *szDate, int at, int width)
{
    if (!szDate)
        return 0;
    const char *p = szDate;
    while (*p && p - szDate < at)
        p = CharNextA(p);
    if (p - szDate < at)
        return 0;
    char rgchField[YEAR_WIDTH + 1];
    lstrncpy(rgchField, szDate + at, width);
    rgchField[width] = '\0';
    return atoi(rgchField);
}

int GetYearFromDate(const char *szDate)
{
    return DateField(szDate, YEAR_AT, YEAR_WIDTH);
}

int GetMonthFromDate(const char *szDate)
{
    return DateField(szDate, MONTH_AT, FIELD_WIDTH);
}

int GetDayFromDate(const char *szDate)
{
    return DateField(szDate, DAY_AT, FIELD_WIDTH);
}

int GetHourFromDate(const char *szDate)
{
    return DateField(szDate, HOUR_AT, FIELD_WIDTH);
}

int GetMinuteFromDate(const char *szDate)
{
    return DateField(szDate, MINUTE_AT, FIELD_WIDTH);
}

int GetSecondFromDate(const char *szDate)
{
    return DateField(szDate, SECOND_AT, FIELD_WIDTH);
}
