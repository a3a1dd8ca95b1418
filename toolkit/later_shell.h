// later_shell.h - the shell's folder query of later systems, with the
// older query where it is missing (see later_windows.h).
#ifndef LATER_SHELL_H
#define LATER_SHELL_H

#include "later_windows.h"

#include <objbase.h>
#include <shlobj.h>

// A special folder's path (CSIDL_*), current as the shell has it.
inline BOOL SpecialFolderPath(int folder, char path[MAX_PATH])
{
    typedef HRESULT(WINAPI * Query)(HWND, int, HANDLE, DWORD, LPSTR);
    static const Query query = LaterCall<Query>("shell32.dll", "SHGetFolderPathA");
    if (query)
        return SUCCEEDED(query(NULL, folder, NULL, SHGFP_TYPE_CURRENT, path));
    LPITEMIDLIST list = NULL;
    if (FAILED(SHGetSpecialFolderLocation(NULL, folder, &list)))
        return FALSE;
    BOOL found = SHGetPathFromIDListA(list, path);
    CoTaskMemFree(list);
    return found;
}

#endif
