// The plain family (keys below HKEY_CLASSES_ROOT and their default value),
// and the key checks and creation that the Ex family shares.
#include "msregdb.h"
#include "regdb_binding.h"
#include "setupapi.h"

#include <limits.h>

void CreateKeyBelow(HKEY hKey, const char *szKey, const char *szLabel)
{
    auto create = RequireEntryPoint(regdb.lpfnRegCreateKey, szLabel, "RegCreateKeyA");
    RegDbKey key(hKey);
    if (create(hKey, szKey, key.Out()) != ERROR_SUCCESS)
        FailRegDbStep(szLabel);
    if (key.Close() != ERROR_SUCCESS)
        FailRegDbStep(szLabel);
}

void CreateRegKey(const char *szKey)
{
    CreateKeyBelow(HKEY_CLASSES_ROOT, szKey, "CreateRegKey");
}

// RegSetValueA makes the key when it is missing.
static void SetDefaultValue(const char *szKey, const char *szValue, const char *szLabel)
{
    auto set = RequireEntryPoint(regdb.lpfnRegSetValue, szLabel, "RegSetValueA");
    if (set(HKEY_CLASSES_ROOT, szKey, REG_SZ, szValue, lstrlenA(szValue)) != ERROR_SUCCESS)
        FailRegDbStep(szLabel);
}

void CreateRegKeyValue(const char *szKey, const char *szValue)
{
    SetDefaultValue(szKey, szValue, "CreateRegKeyValue");
}

void SetRegKeyValue(const char *szKey, const char *szValue)
{
    SetDefaultValue(szKey, szValue, "SetRegKeyValue");
}

static int FKeyOpens(HKEY hKey, const char *szKey, const char *szOperation)
{
    auto open = RequireEntryPoint(regdb.lpfnRegOpenKey, szOperation, "RegOpenKeyA");
    RegDbKey key(hKey);
    return open(hKey, szKey, key.Out()) == ERROR_SUCCESS;
}

int DoesRegKeyExist(const char *szKey)
{
    return FKeyOpens(HKEY_CLASSES_ROOT, szKey, "DoesRegKeyExist");
}

int DoesRegKeyExistEx(HKEY hKey, const char *szKey)
{
    return FKeyOpens(hKey, szKey, "DoesRegKeyExistEx");
}

char *GetRegKeyValue(const char *szKey, char *szBuf, unsigned cbBuf)
{
    if (szBuf && cbBuf > 0)
        szBuf[0] = '\0';
    if (!DoesRegKeyExist(szKey))
        return szBuf;
    auto query = RequireEntryPoint(regdb.lpfnRegQueryValue, "GetRegKeyValue", "RegQueryValueA");
    if (!szBuf)
        FailRegDbStep("GetRegKeyValue");

    LONG cb = cbBuf > LONG_MAX ? LONG_MAX : (LONG)cbBuf;
    LONG result = query(HKEY_CLASSES_ROOT, szKey, szBuf, &cb);
    // A value too long for the buffer may come back as ERROR_MORE_DATA
    // or as a size beyond it: both are an overflow, not a failed read.
    if (result == ERROR_MORE_DATA || (result == ERROR_SUCCESS && (unsigned long)cb > cbBuf))
        BufferOverflow();
    if (result != ERROR_SUCCESS)
        FailRegDbStep("GetRegKeyValue");
    TerminateRegText(szBuf, (DWORD)cb, cbBuf);
    return szBuf;
}
