// Started by the registry tests from a directory that holds a stand-in
// ADVAPI32.DLL: binds the registry layer, then writes what it saw, one fact
// a line, to the file named by its argument. It imports nothing that imports
// advapi32 (no user32, no toolkit), so the only ADVAPI32.DLL in the process
// is the one the layer loads.
#include "msregdb.h"
#include "regdb_binding.h"

#include <windows.h>

#include <stdio.h>
#include <string.h>

namespace {

// The stand-in beside this program, by its full path.
void StandInPath(char *szPath, DWORD cbPath)
{
    GetModuleFileNameA(NULL, szPath, cbPath);
    char *slash = strrchr(szPath, '\\');
    snprintf(slash + 1, cbPath - (DWORD)(slash + 1 - szPath), "ADVAPI32.DLL");
}

HMODULE ModuleHolding(void *address)
{
    HMODULE hModule = NULL;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       static_cast<LPCSTR>(address), &hModule);
    return hModule;
}

void ReportBinding(FILE *out, HMODULE hStandIn)
{
    fprintf(out, "bound from stand-in %d\n",
            hStandIn && ModuleHolding(reinterpret_cast<void *>(regdb.lpfnRegOpenKey)) == hStandIn);
    fprintf(out, "RegQueryInfoKeyA bound %d\n", regdb.lpfnRegQueryInfoKey != NULL);
    fprintf(out, "RegEnumKeyA bound %d\n", regdb.lpfnRegEnumKey != NULL);
    HKEY hKey = NULL;
    LONG result = regdb.lpfnRegOpenKey(HKEY_CLASSES_ROOT, "", &hKey);
    fprintf(out, "open through stand-in %ld\n", result);
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc < 2)
        return 2;
    FILE *out = fopen(argv[1], "w");
    if (!out)
        return 2;
    char szStandIn[MAX_PATH];
    StandInPath(szStandIn, sizeof szStandIn);

    fprintf(out, "loaded before %d\n", GetModuleHandleA("ADVAPI32.DLL") != NULL);
    int fInit = FInitRegDb();
    fprintf(out, "init %d\n", fInit);
    fprintf(out, "stand-in was loaded %d\n", GetEnvironmentVariableA("REGDB_STANDIN_LOADED", NULL, 0) > 0);
    if (fInit)
        ReportBinding(out, GetModuleHandleA(szStandIn));
    TerminateRegDb();
    TerminateRegDb();
    fprintf(out, "held after %d\n", GetModuleHandleA(szStandIn) != NULL);
    fclose(out);
    return 0;
}
