// Where Windows lives, and a few facts about the display.
#include "setupapi.h"
#include "string_helpers.h"

#include <string.h>

typedef UINT(WINAPI *DirectoryQuery)(LPSTR, UINT);

// The directory with a drive in front and a trailing backslash.
static char *QualifiedDirectory(DirectoryQuery query, int fEmptyOnFailure, char *szBuf,
                                unsigned cbBufMax)
{
    char dir[256];
    UINT len = query(dir, 255);
    if (len == 0) {
        if (fEmptyOnFailure && szBuf)
            szBuf[0] = '\0';
        SetupError(SETUP_ERROR_TOOLKIT);
    }
    if (len > 255)
        BufferOverflow();

    // A directory without a drive borrows the drive of the start directory.
    unsigned prefix = dir[0] == '\\' ? 2 : (dir[1] == ':' ? 0 : 3);
    if (cbBufMax < prefix || len > cbBufMax - prefix)
        BufferOverflow();
    memcpy(szBuf, szCurDir, prefix);
    memcpy(szBuf + prefix, dir, len + 1);

    if (!FEndsInBackslash(szBuf)) {
        size_t total = strlen(szBuf);
        if (total + 1 > cbBufMax)
            BufferOverflow();
        szBuf[total] = '\\';
        szBuf[total + 1] = '\0';
    }
    return szBuf;
}

char *GetWindowsDir(char *szBuf, unsigned cbBufMax)
{
    return QualifiedDirectory(GetWindowsDirectoryA, 1, szBuf, cbBufMax);
}

char *GetWindowsSysDir(char *szBuf, unsigned cbBufMax)
{
    return QualifiedDirectory(GetSystemDirectoryA, 0, szBuf, cbBufMax);
}

int IsWindowsShared(void)
{
    char windows[256], system[256];
    GetWindowsDir(windows, 255);
    GetWindowsSysDir(system, 255);
    CharUpperA(windows);
    CharUpperA(system);
    if (!windows[0])
        SetupError(SETUP_ERROR_TOOLKIT);
    for (size_t i = 0; windows[i]; i++) {
        if (windows[i] != system[i])
            return 1;
    }
    return 0;
}

int GetWindowsMode(void)
{
    return 2;
}

int GetScreenWidth(void)
{
    return GetSystemMetrics(SM_CXSCREEN);
}

int GetScreenHeight(void)
{
    return GetSystemMetrics(SM_CYSCREEN);
}
