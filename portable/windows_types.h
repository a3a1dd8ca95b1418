// The Windows types that the installer's records name, for its script code
// built natively: in the host tests and in mkmedia.
#pragma once

#include <stdint.h>

typedef int BOOL;
typedef uint32_t DWORD;
typedef char *LPSTR;
typedef const char *LPCSTR;
typedef struct host_hkey *HKEY;
typedef struct host_hwnd *HWND;
typedef struct host_hinstance *HINSTANCE;
typedef struct host_hcursor *HCURSOR;
typedef void *HANDLE;
typedef unsigned int UINT;
typedef intptr_t INT_PTR;
typedef uintptr_t WPARAM;
typedef intptr_t LPARAM;
typedef struct _TOKEN_USER *PTOKEN_USER;
#define CALLBACK
#define MAX_PATH 260

typedef struct _STARTUPINFOA {
    DWORD cb;
    LPSTR lpReserved;
    LPSTR lpDesktop;
    LPSTR lpTitle;
    DWORD dwFlags;
    HANDLE hStdInput;
    HANDLE hStdOutput;
    HANDLE hStdError;
} STARTUPINFOA;

typedef struct _PROCESS_INFORMATION {
    HANDLE hProcess;
    HANDLE hThread;
    DWORD dwProcessId;
    DWORD dwThreadId;
} PROCESS_INFORMATION;
