// refusal.cpp - the launcher's one message: a damaged download, or a
// system that cannot give it the place to run setup.exe from.
#include "refusal.h"

#include <windows.h>

#include "command_line.h"
#include "dll_search.h"

namespace {

const char kCaption[] = "Setup";

// A string as the transcript quotes it: C escapes, control bytes in hex.
std::string Quoted(const std::string &text)
{
    std::string quoted = "\"";
    for (unsigned char ch : text) {
        if (ch == '\\' || ch == '"') {
            quoted += '\\';
            quoted += static_cast<char>(ch);
        } else if (ch == '\n') {
            quoted += "\\n";
        } else if (ch == '\t') {
            quoted += "\\t";
        } else if (ch == '\r') {
            quoted += "\\r";
        } else if (ch < 0x20 || ch == 0x7f) {
            const char digits[] = "0123456789abcdef";
            quoted += "\\x";
            quoted += digits[ch >> 4];
            quoted += digits[ch & 15];
        } else {
            quoted += static_cast<char>(ch);
        }
    }
    return quoted + "\"";
}

void WriteAll(HANDLE file, const std::string &text)
{
    DWORD written = 0;
    if (file != INVALID_HANDLE_VALUE && file != NULL)
        WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, NULL);
}

typedef int(WINAPI *MessageBoxCall)(HWND, LPCSTR, LPCSTR, UINT);

// user32 is loaded only here, once the search for libraries is narrowed:
// on some systems it brings libraries of its own, which a static import
// would have looked for beside the launcher before any of its code ran.
void ShowBox(const std::string &text)
{
    HMODULE user = LoadLibraryExA("user32.dll", NULL, kSearchSystem32);
    if (user == NULL)  // a system without the flag, where user32 is a known library
        user = LoadLibraryA("user32.dll");
    MessageBoxCall box = user != NULL ? reinterpret_cast<MessageBoxCall>(
                                            reinterpret_cast<void (*)()>(GetProcAddress(user, "MessageBoxA")))
                                      : NULL;
    if (box != NULL)
        box(NULL, text.c_str(), kCaption, MB_OK | MB_ICONSTOP | MB_SETFOREGROUND);
}

}  // namespace

void ShowRefusal(const char *command_line, const std::string &text)
{
    WriteAll(GetStdHandle(STD_ERROR_HANDLE), "setup: " + text + "\r\n");
    if (!Unattended(command_line)) {
        ShowBox(text);
        return;
    }
    std::string transcript = TranscriptFile(command_line);
    if (transcript.empty())
        return;
    HANDLE file = CreateFileA(transcript.c_str(), GENERIC_WRITE, FILE_SHARE_READ, NULL, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    WriteAll(file, "msgbox " + Quoted(text) + " " + Quoted(kCaption) + " 16 1\n");
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
}
