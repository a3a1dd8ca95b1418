// Deleting keys with their whole tree, deepest keys first.
#include "msregdb.h"
#include "regdb_binding.h"

#include <stdio.h>
#include <string.h>

#include <memory>
#include <new>

// Deletes the subkeys of the open key szKey (below hKey), from the highest
// index down, so a deletion never shifts an index still to be visited.
static int DeleteSubKeysOf(HKEY hKey, const char *szKey, HKEY hOpened, DWORD cSubKeys, DWORD cchMaxName)
{
    auto enumKey = RequireEntryPoint(regdb.lpfnRegEnumKey, "DeleteAllSubKeys", "RegEnumKeyA");
    DWORD cbName = cchMaxName + 1;
    size_t cbPath = strlen(szKey) + cchMaxName + 2;
    std::unique_ptr<char[]> szName(new (std::nothrow) char[cbName]);
    std::unique_ptr<char[]> szPath(new (std::nothrow) char[cbPath]);
    if (!szName || !szPath) {
        ReportRegDbFailure("DeleteAllSubKeys:memory");
        return 0;
    }

    for (DWORD i = cSubKeys; i-- > 0;) {
        LONG result = enumKey(hOpened, i, szName.get(), cbName);
        if (result == ERROR_NO_MORE_ITEMS)
            continue;
        if (result != ERROR_SUCCESS) {
            ReportRegDbFailure("DeleteAllSubKeys:enum");
            return 0;
        }
        snprintf(szPath.get(), cbPath, "%s\\%s", szKey, szName.get());
        if (!DeleteAllSubKeys(hKey, szPath.get()))
            return 0;
    }
    return 1;
}

int DeleteAllSubKeys(HKEY hKey, const char *szKey)
{
    // An empty path names hKey itself: deleting from a root by mistake
    // would take every key below it.
    if (!szKey || !*szKey) {
        ReportRegDbFailure("DeleteAllSubKeys:no key name");
        return 0;
    }
    auto openEx = RequireEntryPoint(regdb.lpfnRegOpenKeyEx, "DeleteAllSubKeys", "RegOpenKeyExA");
    auto queryInfo = RequireEntryPoint(regdb.lpfnRegQueryInfoKey, "DeleteAllSubKeys", "RegQueryInfoKeyA");
    RegDbKey key(hKey);
    if (openEx(hKey, szKey, 0, KEY_READ, key.Out()) != ERROR_SUCCESS) {
        ReportRegDbFailure("DeleteAllSubKeys:open");
        return 0;
    }

    char szClass[128];
    DWORD cchClass = sizeof szClass;
    DWORD cSubKeys = 0, cchMaxName = 0;
    if (queryInfo(key.Get(), szClass, &cchClass, NULL, &cSubKeys, &cchMaxName, NULL, NULL, NULL,
                  NULL, NULL, NULL) != ERROR_SUCCESS)
        return 0;
    if (cSubKeys > 0 && !DeleteSubKeysOf(hKey, szKey, key.Get(), cSubKeys, cchMaxName))
        return 0;

    key.Close();
    // A key that stays (no right to delete it, or a subkey that stayed) is
    // a failure too, not a tree removed.
    if (regdb.lpfnRegDeleteKey(hKey, szKey) != ERROR_SUCCESS) {
        ReportRegDbFailure("DeleteAllSubKeys:delete");
        return 0;
    }
    return 1;
}

static void DeleteTree(HKEY hKey, const char *szKey)
{
    if (DoesRegKeyExistEx(hKey, szKey) && !DeleteAllSubKeys(hKey, szKey))
        FailRegDbStep("DeleteAllSubKeys");
}

void DeleteRegKey(const char *szKey)
{
    DeleteTree(HKEY_CLASSES_ROOT, szKey);
}

void DeleteRegKeyEx(HKEY hKey, const char *szKey)
{
    DeleteTree(hKey, szKey);
}
