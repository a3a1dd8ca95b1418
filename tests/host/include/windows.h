// windows.h for the host build: only what the script and path code of the
// driver and the string helpers of the toolkit need, so that they compile
// natively under the sanitizers and the fuzzer.
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

// A double-byte code page with the lead bytes of code page 932, so that
// the host tests always walk double-byte characters.
inline BOOL IsDBCSLeadByte(unsigned char ch)
{
    return (ch >= 0x81 && ch <= 0x9F) || (ch >= 0xE0 && ch <= 0xFC);
}

// As the system's: a lead byte before the terminator is a character alone.
inline LPSTR CharNextA(LPCSTR ch)
{
    if (*ch == '\0')
        return const_cast<LPSTR>(ch);
    if (IsDBCSLeadByte(static_cast<unsigned char>(ch[0])) && ch[1] != '\0')
        return const_cast<LPSTR>(ch + 2);
    return const_cast<LPSTR>(ch + 1);
}

// As the system's in a double-byte code page: letters compare without
// regard to case, the trail byte of a double-byte character as it is.
// (No letter a to z is a lead byte.)
inline int lstrcmpiA(LPCSTR sz1, LPCSTR sz2)
{
    for (;;) {
        unsigned char c1 = static_cast<unsigned char>(*sz1), c2 = static_cast<unsigned char>(*sz2);
        int diff = (c1 >= 'a' && c1 <= 'z' ? c1 - 32 : c1) - (c2 >= 'a' && c2 <= 'z' ? c2 - 32 : c2);
        if (diff == 0 && CharNextA(sz1) == sz1 + 2)
            diff = static_cast<unsigned char>(sz1[1]) - static_cast<unsigned char>(sz2[1]);
        if (diff != 0 || c1 == '\0')
            return diff;
        sz1 = CharNextA(sz1);
        sz2 = CharNextA(sz2);
    }
}
