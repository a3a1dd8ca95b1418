// A stand-in for ADVAPI32.DLL that lacks one registry entry point (chosen by
// its .def file). Every export it has passes the call on to the system's own
// advapi32, found by its full path only when first needed, so a stand-in
// that is loaded and refused leaves nothing else loaded behind it.
#include <windows.h>

namespace {

HMODULE SystemAdvapi32()
{
    static HMODULE hReal = NULL;
    if (!hReal) {
        char szPath[MAX_PATH];
        UINT cch = GetSystemDirectoryA(szPath, MAX_PATH - 16);
        if (cch == 0 || cch >= MAX_PATH - 16)
            return NULL;
        lstrcatA(szPath, "\\advapi32.dll");
        hReal = LoadLibraryA(szPath);
    }
    return hReal;
}

template <typename Fn> Fn Real(const char *szName)
{
    return reinterpret_cast<Fn>(reinterpret_cast<void *>(GetProcAddress(SystemAdvapi32(), szName)));
}

}  // namespace

// The test program asks for this mark to know that the stand-in was loaded.
BOOL WINAPI DllMain(HINSTANCE, DWORD dwReason, LPVOID)
{
    if (dwReason == DLL_PROCESS_ATTACH)
        SetEnvironmentVariableA("REGDB_STANDIN_LOADED", "1");
    return TRUE;
}

extern "C" {

LONG WINAPI StandInRegCloseKey(HKEY hKey)
{
    return Real<decltype(&RegCloseKey)>("RegCloseKey")(hKey);
}

LONG WINAPI StandInRegCreateKeyA(HKEY hKey, LPCSTR szKey, PHKEY phResult)
{
    return Real<decltype(&RegCreateKeyA)>("RegCreateKeyA")(hKey, szKey, phResult);
}

LONG WINAPI StandInRegDeleteKeyA(HKEY hKey, LPCSTR szKey)
{
    return Real<decltype(&RegDeleteKeyA)>("RegDeleteKeyA")(hKey, szKey);
}

LONG WINAPI StandInRegOpenKeyA(HKEY hKey, LPCSTR szKey, PHKEY phResult)
{
    return Real<decltype(&RegOpenKeyA)>("RegOpenKeyA")(hKey, szKey, phResult);
}

LONG WINAPI StandInRegQueryValueA(HKEY hKey, LPCSTR szKey, LPSTR szData, PLONG pcbData)
{
    return Real<decltype(&RegQueryValueA)>("RegQueryValueA")(hKey, szKey, szData, pcbData);
}

LONG WINAPI StandInRegSetValueA(HKEY hKey, LPCSTR szKey, DWORD dwType, LPCSTR szData, DWORD cbData)
{
    return Real<decltype(&RegSetValueA)>("RegSetValueA")(hKey, szKey, dwType, szData, cbData);
}

LONG WINAPI StandInRegCreateKeyExA(HKEY hKey, LPCSTR szKey, DWORD dwReserved, LPSTR szClass,
                                   DWORD dwOptions, REGSAM samDesired,
                                   LPSECURITY_ATTRIBUTES lpSecurity, PHKEY phResult,
                                   LPDWORD lpdwDisposition)
{
    return Real<decltype(&RegCreateKeyExA)>("RegCreateKeyExA")(
        hKey, szKey, dwReserved, szClass, dwOptions, samDesired, lpSecurity, phResult, lpdwDisposition);
}

LONG WINAPI StandInRegOpenKeyExA(HKEY hKey, LPCSTR szKey, DWORD dwOptions, REGSAM samDesired,
                                 PHKEY phResult)
{
    return Real<decltype(&RegOpenKeyExA)>("RegOpenKeyExA")(hKey, szKey, dwOptions, samDesired, phResult);
}

LONG WINAPI StandInRegQueryValueExA(HKEY hKey, LPCSTR szName, LPDWORD lpReserved, LPDWORD lpdwType,
                                    LPBYTE lpData, LPDWORD lpcbData)
{
    return Real<decltype(&RegQueryValueExA)>("RegQueryValueExA")(hKey, szName, lpReserved, lpdwType,
                                                                   lpData, lpcbData);
}

LONG WINAPI StandInRegSetValueExA(HKEY hKey, LPCSTR szName, DWORD dwReserved, DWORD dwType,
                                  const BYTE *lpData, DWORD cbData)
{
    return Real<decltype(&RegSetValueExA)>("RegSetValueExA")(hKey, szName, dwReserved, dwType, lpData,
                                                               cbData);
}

LONG WINAPI StandInRegEnumKeyA(HKEY hKey, DWORD dwIndex, LPSTR szName, DWORD cchName)
{
    return Real<decltype(&RegEnumKeyA)>("RegEnumKeyA")(hKey, dwIndex, szName, cchName);
}

LONG WINAPI StandInRegQueryInfoKeyA(HKEY hKey, LPSTR szClass, LPDWORD lpcchClass, LPDWORD lpReserved,
                                    LPDWORD lpcSubKeys, LPDWORD lpcbMaxSubKeyLen,
                                    LPDWORD lpcbMaxClassLen, LPDWORD lpcValues,
                                    LPDWORD lpcbMaxValueNameLen, LPDWORD lpcbMaxValueLen,
                                    LPDWORD lpcbSecurityDescriptor, PFILETIME lpftLastWriteTime)
{
    return Real<decltype(&RegQueryInfoKeyA)>("RegQueryInfoKeyA")(
        hKey, szClass, lpcchClass, lpReserved, lpcSubKeys, lpcbMaxSubKeyLen, lpcbMaxClassLen, lpcValues,
        lpcbMaxValueNameLen, lpcbMaxValueLen, lpcbSecurityDescriptor, lpftLastWriteTime);
}

}  // extern "C"
