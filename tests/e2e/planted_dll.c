/* A planted library: it writes "<its own path>.loaded" when it loads, and
   has the one function that naive_program imports. */
#define GetFileVersionInfoSizeA declared_by_the_system  /* this one is ours */
#include <windows.h>
#undef GetFileVersionInfoSizeA

__declspec(dllexport) DWORD WINAPI GetFileVersionInfoSizeA(LPCSTR name, LPDWORD handle)
{
    (void)name;
    if (handle != NULL)
        *handle = 0;
    return 0;
}

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID reserved)
{
    char path[MAX_PATH + 8];
    (void)reserved;
    if (reason != DLL_PROCESS_ATTACH)
        return TRUE;
    DWORD length = GetModuleFileNameA(self, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return TRUE;
    lstrcatA(path, ".loaded");
    HANDLE marker = CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (marker != INVALID_HANDLE_VALUE)
        CloseHandle(marker);
    return TRUE;
}
