// code_page.cpp - the code page of the scripts: chosen by the vendor on
// Linux, the system's own in mkmedia.exe.
#include "code_page.h"

#ifdef _WIN32

#include <windows.h>

bool UseCodePage(unsigned code_page, std::string &why)
{
    if (code_page == GetACP())
        return true;
    why = "mkmedia.exe reads scripts in the system's code page, " + std::to_string(GetACP());
    return false;
}

bool IsScriptLeadByte(unsigned char ch)
{
    return IsDBCSLeadByte(ch) != FALSE;
}

#else

namespace {

unsigned g_code_page = 1252;

bool SingleByte(unsigned code_page)
{
    return code_page == 874 || (code_page >= 1250 && code_page <= 1258);
}

}  // namespace

bool UseCodePage(unsigned code_page, std::string &why)
{
    if (SingleByte(code_page) || code_page == 932 || code_page == 936 || code_page == 949 || code_page == 950) {
        g_code_page = code_page;
        return true;
    }
    why = "code page " + std::to_string(code_page) + " is none of 874, 1250 to 1258, 932, 936, 949, 950";
    return false;
}

bool IsScriptLeadByte(unsigned char ch)
{
    if (g_code_page == 932)
        return (ch >= 0x81 && ch <= 0x9F) || (ch >= 0xE0 && ch <= 0xFC);
    return !SingleByte(g_code_page) && ch >= 0x81 && ch <= 0xFE;
}

#endif
