// Scanning and joining ANSI strings.
#include "string_helpers.h"
#include "setupapi.h"

#include <windows.h>
#include <string.h>

#include <initializer_list>

char *lstrchr(char *sz, char ch)
{
    for (; *sz; sz = CharNextA(sz)) {
        if (*sz == ch)
            return sz;
    }
    return NULL;
}

int InStr(int cch, const char *sz1, const char *sz2)
{
    if (cch == 0)
        return 0;
    int position = 1;
    for (; position < cch && *sz1; position++)
        sz1 = CharNextA(sz1);

    for (; *sz1; sz1 = CharNextA(sz1), position++) {
        const char *p1 = sz1, *p2 = sz2;
        while (*p1 && *p2 && *p1 == *p2) {
            p1 = CharNextA(p1);
            p2 = CharNextA(p2);
        }
        if (!*p2)
            return position;
    }
    return 0;
}

char *GetNthFieldFromIniString(char *szLine, int iField, char *szBfr, unsigned cbBfrMax)
{
    if (iField < 1)
        SetupError(SETUP_ERROR_TOOLKIT);
    char *p = szLine;
    for (int i = 1; i < iField && *p; i++) {
        while (*p && *p != ',')
            p = CharNextA(p);
        if (*p)
            p = CharNextA(p);
    }
    while (*p == ' ' || *p == '\t')
        p = CharNextA(p);

    char *end = p;
    while (*end && *end != ',')
        end = CharNextA(end);
    size_t length = (size_t)(end - p);
    if (length > cbBfrMax)
        BufferOverflow();
    memcpy(szBfr, p, length);
    szBfr[length] = '\0';
    return szBfr;
}

void RightTrim(char *sz)
{
    char *first_blank = NULL;
    for (; *sz; sz = CharNextA(sz)) {
        if (*sz != ' ')
            first_blank = NULL;
        else if (!first_blank)
            first_blank = sz;
    }
    if (first_blank)
        *first_blank = '\0';
}

int FEndsInBackslash(const char *sz)
{
    const char *last = NULL;
    for (const char *p = sz; *p; p = CharNextA(p))
        last = p;
    return last && *last == '\\' && CharNextA(last) == last + 1;
}

int FValidDrive(const char *szDrive)
{
    if (!szDrive || !*szDrive)
        return 0;
    if (szDrive[0] == '\\' && szDrive[1] == '\\')
        return 1;
    char c = szDrive[0];
    if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')))
        return 0;
    if (szDrive[1] == '\0')
        return 1;
    return szDrive[1] == ':';
}

// Input that does not fit is cut at the end of the buffer.
static char *Join(char *szT, size_t cb, std::initializer_list<const char *> parts)
{
    szT[0] = '\0';
    for (const char *part : parts)
        strncat(szT, part, cb - strlen(szT) - 1);
    return szT;
}

char *SzCatStr(const char *sz1, const char *sz2)
{
    static char szT[2 * 255];
    return Join(szT, sizeof szT, {sz1, sz2});
}

char *SzCat2Str(const char *sz1, const char *sz2, const char *sz3)
{
    static char szT[3 * 255];
    return Join(szT, sizeof szT, {sz1, sz2, sz3});
}

char *SzCat3Str(const char *sz1, const char *sz2, const char *sz3, const char *sz4)
{
    static char szT[4 * 255];
    return Join(szT, sizeof szT, {sz1, sz2, sz3, sz4});
}
