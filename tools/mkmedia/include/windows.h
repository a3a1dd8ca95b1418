// windows.h for mkmedia's native build. The vendor's build machine has no
// ANSI code page of its own: scripts are read in a single-byte code page
// unless mkmedia is told (--codepage) that the product's is a double-byte
// one, whose trail bytes may equal "\\", "[" or "]".
#pragma once

#include "../../../portable/windows_types.h"
#include "../code_page.h"

inline BOOL IsDBCSLeadByte(unsigned char ch)
{
    return IsScriptLeadByte(ch);
}

#include "../../../portable/windows_text.h"
