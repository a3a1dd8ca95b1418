// system_call.h - calls that older systems lack, looked up at run time.
#pragma once

#include <windows.h>

// The function name of the loaded system library module, or NULL.
template <typename Call> Call SystemCall(const char *module, const char *name)
{
    HMODULE library = GetModuleHandleA(module);
    if (library == NULL)
        return NULL;
    return reinterpret_cast<Call>(reinterpret_cast<void (*)()>(GetProcAddress(library, name)));
}
