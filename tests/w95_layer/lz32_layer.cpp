// lz32_layer.cpp - Windows 95 in front of the shipped modules, for the tests
// of the w95 prefix.
//
// Wine's Windows 98 mode changes what a program is told, not what the calls
// accept. This stand-in for lz32.dll (its calls go on to kernel32, which has
// them too) is loaded into setup.exe only; it rewrites the import tables of
// setup.exe, setuprt.dll and mscuistf.dll so that their system calls behave
// as on Windows 95: flags that system refuses fail with
// ERROR_INVALID_PARAMETER, calls it has only as stubs fail with
// ERROR_CALL_NOT_IMPLEMENTED, security descriptors are ignored, and later
// calls looked up by name are not found.
//
// W95_LAYER_LOG names a file that gets a line "layer MODULE" for each module
// the layer stands in front of and "refused CALL: WHY" for each refusal of a
// flag; the tests read it.
#include <windows.h>

#include <stdarg.h>
#include <stdio.h>
#include <string.h>

namespace {

const char *const kShipped[] = {"setup.exe", "setuprt.dll", "mscuistf.dll"};
HMODULE g_patched[sizeof kShipped / sizeof kShipped[0]];

void Log(const char *format, ...)
{
    DWORD error = GetLastError();
    char path[MAX_PATH], line[1024];
    DWORD length = GetEnvironmentVariableA("W95_LAYER_LOG", path, sizeof path);
    va_list args;
    va_start(args, format);
    int used = vsnprintf(line, sizeof line - 2, format, args);
    va_end(args);
    if (length > 0 && length < sizeof path && used > 0) {
        used = used < static_cast<int>(sizeof line) - 2 ? used : static_cast<int>(sizeof line) - 3;
        line[used++] = '\r';
        line[used++] = '\n';
        HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                  0, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            DWORD written;
            WriteFile(file, line, used, &written, nullptr);
            CloseHandle(file);
        }
    }
    SetLastError(error);
}

// A flag the 95 family does not take: the call fails before it is made.
BOOL RefuseFlag(const char *call, const char *why, const char *name)
{
    Log("refused %s: %s (%s)", call, why, name ? name : "");
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
}

BOOL NotImplemented()
{
    SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
    return FALSE;
}

// The 95 family has no security: a descriptor is ignored, inheritance stays.
LPSECURITY_ATTRIBUTES WithoutDescriptor(LPSECURITY_ATTRIBUTES given, SECURITY_ATTRIBUTES *copy)
{
    if (!given)
        return nullptr;
    *copy = *given;
    copy->lpSecurityDescriptor = nullptr;
    return copy;
}

HANDLE WINAPI Win95CreateFileA(LPCSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES sa, DWORD creation,
                               DWORD flags, HANDLE template_file)
{
    if (share & FILE_SHARE_DELETE) {
        RefuseFlag("CreateFileA", "FILE_SHARE_DELETE", name);
        return INVALID_HANDLE_VALUE;
    }
    if (flags & FILE_FLAG_DELETE_ON_CLOSE) {
        RefuseFlag("CreateFileA", "FILE_FLAG_DELETE_ON_CLOSE", name);
        return INVALID_HANDLE_VALUE;
    }
    SECURITY_ATTRIBUTES copy;
    return CreateFileA(name, access, share, WithoutDescriptor(sa, &copy), creation, flags, template_file);
}

BOOL WINAPI Win95CreateDirectoryA(LPCSTR name, LPSECURITY_ATTRIBUTES sa)
{
    SECURITY_ATTRIBUTES copy;
    return CreateDirectoryA(name, WithoutDescriptor(sa, &copy));
}

// Exported, but only a stub there.
BOOL WINAPI Win95MoveFileExA(LPCSTR, LPCSTR, DWORD)
{
    return NotImplemented();
}

// Only the first form of the record: the extended one came with NT 4.0 SP6.
BOOL WINAPI Win95GetVersionExA(LPOSVERSIONINFOA info)
{
    if (info->dwOSVersionInfoSize != sizeof(OSVERSIONINFOA))
        return RefuseFlag("GetVersionExA", "extended record", nullptr);
    return GetVersionExA(info);
}

LONG WINAPI Win95RegCreateKeyExA(HKEY key, LPCSTR sub_key, DWORD reserved, LPSTR class_name, DWORD options,
                                 REGSAM sam, LPSECURITY_ATTRIBUTES sa, PHKEY result, LPDWORD disposition)
{
    SECURITY_ATTRIBUTES copy;
    return RegCreateKeyExA(key, sub_key, reserved, class_name, options, sam, WithoutDescriptor(sa, &copy), result,
                           disposition);
}

// The security calls of advapi32 are stubs on the 95 family.
BOOL WINAPI Win95OpenProcessToken(HANDLE, DWORD, PHANDLE)
{
    return NotImplemented();
}
BOOL WINAPI Win95OpenThreadToken(HANDLE, DWORD, BOOL, PHANDLE)
{
    return NotImplemented();
}
BOOL WINAPI Win95GetTokenInformation(HANDLE, TOKEN_INFORMATION_CLASS, LPVOID, DWORD, PDWORD)
{
    return NotImplemented();
}
BOOL WINAPI Win95AdjustTokenPrivileges(HANDLE, BOOL, PTOKEN_PRIVILEGES, DWORD, PTOKEN_PRIVILEGES, PDWORD)
{
    return NotImplemented();
}
BOOL WINAPI Win95LookupPrivilegeValueA(LPCSTR, LPCSTR, PLUID)
{
    return NotImplemented();
}
BOOL WINAPI Win95AllocateAndInitializeSid(PSID_IDENTIFIER_AUTHORITY, BYTE, DWORD, DWORD, DWORD, DWORD, DWORD, DWORD,
                                          DWORD, DWORD, PSID *)
{
    return NotImplemented();
}
BOOL WINAPI Win95InitializeSecurityDescriptor(PSECURITY_DESCRIPTOR, DWORD)
{
    return NotImplemented();
}
BOOL WINAPI Win95InitializeAcl(PACL, DWORD, DWORD)
{
    return NotImplemented();
}

// Most wide calls of user32 are stubs on the 95 family.
LRESULT WINAPI Win95SendMessageTimeoutW(HWND, UINT, WPARAM, LPARAM, UINT, UINT, PDWORD_PTR)
{
    SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
    return 0;
}

HMODULE WINAPI Win95LoadLibraryA(LPCSTR name);
HMODULE WINAPI Win95LoadLibraryExA(LPCSTR name, HANDLE file, DWORD flags);
FARPROC WINAPI Win95GetProcAddress(HMODULE module, LPCSTR name);

struct Hook {
    const char *dll;
    const char *name;
    FARPROC call;
};

#define HOOK(dll, name) {dll, #name, reinterpret_cast<FARPROC>(Win95##name)}
const Hook kHooks[] = {
    HOOK("kernel32.dll", CreateFileA),
    HOOK("kernel32.dll", CreateDirectoryA),
    HOOK("kernel32.dll", MoveFileExA),
    HOOK("kernel32.dll", GetVersionExA),
    HOOK("kernel32.dll", LoadLibraryA),
    HOOK("kernel32.dll", LoadLibraryExA),
    HOOK("kernel32.dll", GetProcAddress),
    HOOK("advapi32.dll", RegCreateKeyExA),
    HOOK("advapi32.dll", OpenProcessToken),
    HOOK("advapi32.dll", OpenThreadToken),
    HOOK("advapi32.dll", GetTokenInformation),
    HOOK("advapi32.dll", AdjustTokenPrivileges),
    HOOK("advapi32.dll", LookupPrivilegeValueA),
    HOOK("advapi32.dll", AllocateAndInitializeSid),
    HOOK("advapi32.dll", InitializeSecurityDescriptor),
    HOOK("advapi32.dll", InitializeAcl),
    HOOK("user32.dll", SendMessageTimeoutW),
};
#undef HOOK

// Calls of later systems that the modules look up by name; Windows 95
// (OSR2) has none of them.
const char *const kLater[][2] = {
    {"kernel32.dll", "GetFileAttributesExA"},
    {"kernel32.dll", "SetFileInformationByHandle"},
    {"kernel32.dll", "GetFileInformationByHandleEx"},
    {"kernel32.dll", "IsProcessorFeaturePresent"},
    {"kernel32.dll", "BeginUpdateResourceA"},
    {"kernel32.dll", "UpdateResourceA"},
    {"kernel32.dll", "EndUpdateResourceA"},
    {"kernel32.dll", "GetFileSizeEx"},
    {"kernel32.dll", "GetLongPathNameA"},
    {"shell32.dll", "SHGetFolderPathA"},
};

// The file name of a module, "" when it has none.
const char *ModuleName(HMODULE module, char *buffer, DWORD size)
{
    DWORD length = GetModuleFileNameA(module, buffer, size);
    if (length == 0 || length >= size)
        return "";
    const char *name = buffer;
    for (const char *p = buffer; *p; ++p)
        if (*p == '\\' || *p == '/')
            name = p + 1;
    return name;
}

FARPROC FindHook(const char *dll, const char *name)
{
    for (const Hook &hook : kHooks)
        if (lstrcmpiA(hook.dll, dll) == 0 && strcmp(hook.name, name) == 0)
            return hook.call;
    return nullptr;
}

bool IsLater(const char *dll, const char *name)
{
    for (const auto &later : kLater)
        if (lstrcmpiA(later[0], dll) == 0 && strcmp(later[1], name) == 0)
            return true;
    return false;
}

void PatchImports(HMODULE module)
{
    BYTE *base = reinterpret_cast<BYTE *>(module);
    auto *dos = reinterpret_cast<IMAGE_DOS_HEADER *>(base);
    auto *headers = reinterpret_cast<IMAGE_NT_HEADERS *>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY &directory = headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (directory.VirtualAddress == 0)
        return;
    auto *import = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR *>(base + directory.VirtualAddress);
    for (; import->Name != 0; ++import) {
        const char *dll = reinterpret_cast<const char *>(base + import->Name);
        if (import->OriginalFirstThunk == 0)
            continue;
        auto *names = reinterpret_cast<IMAGE_THUNK_DATA *>(base + import->OriginalFirstThunk);
        auto *slots = reinterpret_cast<IMAGE_THUNK_DATA *>(base + import->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                continue;
            auto *by_name = reinterpret_cast<IMAGE_IMPORT_BY_NAME *>(base + names->u1.AddressOfData);
            FARPROC hook = FindHook(dll, reinterpret_cast<const char *>(by_name->Name));
            if (!hook)
                continue;
            DWORD old;
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE, &old);
            slots->u1.Function = reinterpret_cast<ULONG_PTR>(hook);
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, old, &old);
        }
    }
}

// Stands in front of module once, if it is one of the shipped modules.
void TakeModule(HMODULE module)
{
    if (!module)
        return;
    char buffer[MAX_PATH];
    const char *name = ModuleName(module, buffer, sizeof buffer);
    for (size_t i = 0; i < sizeof kShipped / sizeof kShipped[0]; ++i) {
        if (lstrcmpiA(name, kShipped[i]) != 0 || g_patched[i] == module)
            continue;
        g_patched[i] = module;
        PatchImports(module);
        Log("layer %s", kShipped[i]);
    }
}

HMODULE WINAPI Win95LoadLibraryA(LPCSTR name)
{
    HMODULE module = LoadLibraryA(name);
    TakeModule(module);
    return module;
}

HMODULE WINAPI Win95LoadLibraryExA(LPCSTR name, HANDLE file, DWORD flags)
{
    HMODULE module = LoadLibraryExA(name, file, flags);
    if (!(flags & (LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE)))
        TakeModule(module);
    return module;
}

FARPROC WINAPI Win95GetProcAddress(HMODULE module, LPCSTR name)
{
    // An ordinal has no name to judge.
    if (reinterpret_cast<ULONG_PTR>(name) >> 16 == 0)
        return GetProcAddress(module, name);
    char buffer[MAX_PATH];
    const char *dll = ModuleName(module, buffer, sizeof buffer);
    if (IsLater(dll, name)) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    FARPROC hook = FindHook(dll, name);
    FARPROC real = GetProcAddress(module, name);
    return hook && real ? hook : real;
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        // Every import is bound before the first module starts.
        for (const char *name : kShipped)
            TakeModule(GetModuleHandleA(name));
    }
    return TRUE;
}
