// language_runtime.cpp - three calls that the C and C++ runtimes linked into
// every shipped module make in their wide form, which Windows 95 does not
// have. They are given here through the ANSI forms under the names the
// runtimes import them by, so the linker takes these and the modules import
// no wide call.
#include <windows.h>

namespace {

// The runtimes name no semaphore.
HANDLE WINAPI CreateUnnamedSemaphore(LPSECURITY_ATTRIBUTES security, LONG initial, LONG maximum, LPCWSTR name)
{
    if (name) {
        SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
        return nullptr;
    }
    return CreateSemaphoreA(security, initial, maximum, nullptr);
}

bool Narrow(LPCWSTR wide, char (&narrow)[MAX_PATH])
{
    return WideCharToMultiByte(CP_ACP, 0, wide, -1, narrow, MAX_PATH, nullptr, nullptr) > 0;
}

HMODULE WINAPI ModuleHandleByName(LPCWSTR name)
{
    char narrow[MAX_PATH];
    if (!name)
        return GetModuleHandleA(nullptr);
    return Narrow(name, narrow) ? GetModuleHandleA(narrow) : nullptr;
}

HMODULE WINAPI LoadLibraryByName(LPCWSTR name)
{
    char narrow[MAX_PATH];
    return name && Narrow(name, narrow) ? LoadLibraryA(narrow) : nullptr;
}

}  // namespace

extern "C" {
extern HANDLE(WINAPI *const create_semaphore)(LPSECURITY_ATTRIBUTES, LONG, LONG, LPCWSTR) __asm__(
    "__imp__CreateSemaphoreW@16") = CreateUnnamedSemaphore;
extern HMODULE(WINAPI *const module_handle)(LPCWSTR) __asm__("__imp__GetModuleHandleW@4") = ModuleHandleByName;
extern HMODULE(WINAPI *const load_library)(LPCWSTR) __asm__("__imp__LoadLibraryW@4") = LoadLibraryByName;
}
