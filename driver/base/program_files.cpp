// program_files.cpp - where the running installer's own files lie.
#include "base/program_files.h"
#include "base/paths.h"
#include "base/text.h"

#include <windows.h>
#include <string.h>

const char *const PROGRAM_FILES[3] = {"setup.exe", "setuprt.dll", "mscuistf.dll"};

static int ModulePath(HMODULE module, char *path, size_t cb)
{
    DWORD length = GetModuleFileNameA(module, path, static_cast<DWORD>(cb));
    return length > 0 && length < cb;
}

int ProgramFilePath(const char *name, char *path, size_t cb)
{
    if (strcmp(name, "setup.exe") == 0)
        return ModulePath(NULL, path, cb);
    HMODULE module = GetModuleHandleA(name);
    if (module)
        return ModulePath(module, path, cb);
    char runtime[MAX_PATH], dir[MAX_PATH];
    return ModulePath(GetModuleHandleA("setuprt.dll"), runtime, sizeof runtime) &&
           DirectoryOfPath(runtime, dir, sizeof dir) && FormatText(path, cb, "%s\\%s", dir, name);
}
