// Loading ADVAPI32.DLL and binding its registry entry points.
#include "msregdb.h"
#include "regdb_binding.h"

RegDbEntryPoints regdb;
static HMODULE hinstDLL = NULL;

template <typename Fn> static void Bind(Fn &pointer, const char *name)
{
    pointer = reinterpret_cast<Fn>(reinterpret_cast<void *>(GetProcAddress(hinstDLL, name)));
}

int FInitRegDb(void)
{
    hinstDLL = LoadLibraryA("ADVAPI32.DLL");
    if (!hinstDLL)
        return 0;

    Bind(regdb.lpfnRegCloseKey, "RegCloseKey");
    Bind(regdb.lpfnRegCreateKey, "RegCreateKeyA");
    Bind(regdb.lpfnRegDeleteKey, "RegDeleteKeyA");
    Bind(regdb.lpfnRegOpenKey, "RegOpenKeyA");
    Bind(regdb.lpfnRegQueryValue, "RegQueryValueA");
    Bind(regdb.lpfnRegSetValue, "RegSetValueA");
    if (!regdb.lpfnRegCloseKey || !regdb.lpfnRegCreateKey || !regdb.lpfnRegDeleteKey ||
        !regdb.lpfnRegOpenKey || !regdb.lpfnRegQueryValue || !regdb.lpfnRegSetValue) {
        FreeLibrary(hinstDLL);
        hinstDLL = NULL;
        return 0;
    }

    Bind(regdb.lpfnRegCreateKeyEx, "RegCreateKeyExA");
    Bind(regdb.lpfnRegOpenKeyEx, "RegOpenKeyExA");
    Bind(regdb.lpfnRegQueryValueEx, "RegQueryValueExA");
    Bind(regdb.lpfnRegSetValueEx, "RegSetValueExA");
    Bind(regdb.lpfnRegEnumKey, "RegEnumKeyA");
    Bind(regdb.lpfnRegQueryInfoKey, "RegQueryInfoKeyA");
    return 1;
}

int FRegDbLoaded(void)
{
    return hinstDLL != NULL;
}

void TerminateRegDb(void)
{
    if (hinstDLL) {
        FreeLibrary(hinstDLL);
        hinstDLL = NULL;
    }
}
