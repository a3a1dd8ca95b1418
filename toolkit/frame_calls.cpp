// The frame window and the Windows version.
#include "setupapi.h"
#include "setuprt.h"

void SetBitmap(const char *szDll, unsigned short Bitmap)
{
    if (!FSetBitmap(szDll, Bitmap))
        SetupError(SETUP_ERROR_TOOLKIT);
}

void SetAbout(const char *szAbout1, const char *szAbout2)
{
    if (!FSetAbout(szAbout1, szAbout2))
        SetupError(SETUP_ERROR_TOOLKIT);
}

void SetTitle(const char *sz)
{
    SetWindowTextA(HwndFrame(), sz);
}

HCURSOR ShowWaitCursor(void)
{
    return HShowWaitCursor();
}

void RestoreCursor(HCURSOR hPrev)
{
    if (!FRestoreCursor(hPrev))
        SetupError(SETUP_ERROR_TOOLKIT);
}

// The top bit of GetVersion marks the Windows 95 family; the version bytes
// are below it.
int GetWindowsMajorVersion(void)
{
    return (int)((GetVersion() & 0x7FFFFFFF) & 0xFF);
}

int GetWindowsMinorVersion(void)
{
    return (int)(((GetVersion() & 0x7FFFFFFF) >> 8) & 0xFF);
}

int UninstallAsked(char *log, unsigned cb)
{
    unsigned length = CbGetUninstallLog(log, cb);
    if (length >= cb)
        BufferOverflow();
    return length > 0;
}

void AddDos5Help(const char *, const char *, int)
{
}
