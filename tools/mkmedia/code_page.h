// code_page.h - the ANSI code page mkmedia reads the product's scripts in.
#pragma once

#include <string>

// Takes code_page for the scripts; false with the reason when mkmedia
// cannot read them so.
bool UseCodePage(unsigned code_page, std::string &why);

// Whether ch begins a double-byte character in that code page.
bool IsScriptLeadByte(unsigned char ch);
