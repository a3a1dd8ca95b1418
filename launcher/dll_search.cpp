// dll_search.cpp - the search for libraries narrowed before anything loads.
#include "dll_search.h"

#include <windows.h>

#include "system_call.h"

namespace {

typedef BOOL(WINAPI *SetDefaultDllDirectoriesCall)(DWORD);
typedef BOOL(WINAPI *SetDllDirectoryCall)(LPCSTR);

}  // namespace

void RestrictDllSearch()
{
    SetDefaultDllDirectoriesCall set_default =
        SystemCall<SetDefaultDllDirectoriesCall>("kernel32.dll", "SetDefaultDllDirectories");
    if (set_default != NULL)
        set_default(kSearchSystem32);
    // The empty name drops the current directory from the search.
    SetDllDirectoryCall set_directory = SystemCall<SetDllDirectoryCall>("kernel32.dll", "SetDllDirectoryA");
    if (set_directory != NULL)
        set_directory("");
}
