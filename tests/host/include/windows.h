// windows.h for the host build: only what the script and path code of the
// driver and the string helpers of the toolkit need, so that they compile
// natively under the sanitizers and the fuzzer.
#pragma once

#include "../../../portable/windows_types.h"

// A double-byte code page with the lead bytes of code page 932, so that
// the host tests always walk double-byte characters.
inline BOOL IsDBCSLeadByte(unsigned char ch)
{
    return (ch >= 0x81 && ch <= 0x9F) || (ch >= 0xE0 && ch <= 0xFC);
}

#include "../../../portable/windows_text.h"
