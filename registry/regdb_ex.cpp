// The Ex family: named, typed values below a key of the caller.
#include "msregdb.h"
#include "regdb_binding.h"
#include "setupapi.h"

void CreateRegKeyEx(HKEY hKey, const char *szKey)
{
    CreateKeyBelow(hKey, szKey, "CreateRegKeyEx");
}

// The key must exist: opening it for writing does not make it.
static void SetNamedValue(HKEY hKey, const char *szKey, const char *szValueName, DWORD dwType,
                          const void *lpValueData, DWORD dwDataLen, const char *szLabel,
                          const char *szOpenLabel)
{
    auto openEx = RequireEntryPoint(regdb.lpfnRegOpenKeyEx, szLabel, "RegOpenKeyExA");
    auto setEx = RequireEntryPoint(regdb.lpfnRegSetValueEx, szLabel, "RegSetValueExA");
    RegDbKey key(hKey);
    if (openEx(hKey, szKey, 0, KEY_WRITE, key.Out()) != ERROR_SUCCESS)
        FailRegDbStep(szOpenLabel);
    LONG result = setEx(key.Get(), szValueName, 0, dwType, static_cast<const BYTE *>(lpValueData),
                        dwDataLen);
    key.Close();
    if (result != ERROR_SUCCESS)
        FailRegDbStep(szLabel);
}

void CreateRegKeyValueEx(HKEY hKey, const char *szKey, const char *szValueName, DWORD dwType,
                         const void *lpValueData, DWORD dwDataLen)
{
    SetNamedValue(hKey, szKey, szValueName, dwType, lpValueData, dwDataLen, "CreateRegKeyValueEx",
                  "CreateRegKeyValueEx:open");
}

void SetRegKeyValueEx(HKEY hKey, const char *szKey, const char *szValueName, DWORD dwType,
                      const void *lpValueData, DWORD dwDataLen)
{
    SetNamedValue(hKey, szKey, szValueName, dwType, lpValueData, dwDataLen, "SetRegKeyValueEx",
                  "SetRegKeyValueEx:open");
}

static int IsTextType(DWORD dwType)
{
    return dwType == REG_SZ || dwType == REG_EXPAND_SZ;
}

long GetRegKeyValueEx(HKEY hKey, const char *szKey, const char *szValueName, DWORD *lpdwType,
                      void *lpBuf, DWORD cbBuf)
{
    if (!DoesRegKeyExistEx(hKey, szKey))
        return ERROR_BADKEY;
    auto openEx = RequireEntryPoint(regdb.lpfnRegOpenKeyEx, "GetRegKeyValueEx", "RegOpenKeyExA");
    auto queryEx = RequireEntryPoint(regdb.lpfnRegQueryValueEx, "GetRegKeyValueEx", "RegQueryValueExA");
    RegDbKey key(hKey);
    if (openEx(hKey, szKey, 0, KEY_READ, key.Out()) != ERROR_SUCCESS)
        FailRegDbStep("GetRegKeyValueEx");

    DWORD dwType = REG_NONE;
    DWORD cb = cbBuf;
    LONG result = queryEx(key.Get(), szValueName, NULL, &dwType, static_cast<BYTE *>(lpBuf), &cb);
    key.Close();
    if (result == ERROR_MORE_DATA || (result == ERROR_SUCCESS && cb > cbBuf))
        BufferOverflow();
    if (result != ERROR_SUCCESS)
        FailRegDbStep("GetRegKeyValueEx");
    if (lpdwType)
        *lpdwType = dwType;
    // Text stored without its zero must not run on past the caller's data.
    if (lpBuf && IsTextType(dwType))
        TerminateRegText(static_cast<char *>(lpBuf), cb, cbBuf);
    return ERROR_SUCCESS;
}
