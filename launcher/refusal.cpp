// refusal.cpp - the launcher's one message: a damaged download, or a
// system that cannot give it the place to run setup.exe from.
#include "refusal.h"

#include <windows.h>

#include "command_line.h"
#include "dll_search.h"

namespace {

const char kCaption[] = "Setup";

// Room for a message quoted, every byte escaped at worst.
typedef BoundedText<4 * sizeof(MessageText) + 64> TranscriptLine;

// A string as the transcript quotes it: C escapes, control bytes in hex.
void AddQuoted(TranscriptLine &line, const char *text)
{
    line.Add('"');
    for (const unsigned char *at = reinterpret_cast<const unsigned char *>(text); *at != '\0'; at++) {
        unsigned char ch = *at;
        if (ch == '\\' || ch == '"') {
            line.Add('\\').Add(static_cast<char>(ch));
        } else if (ch == '\n') {
            line.Add("\\n");
        } else if (ch == '\t') {
            line.Add("\\t");
        } else if (ch == '\r') {
            line.Add("\\r");
        } else if (ch < 0x20 || ch == 0x7f) {
            const char digits[] = "0123456789abcdef";
            line.Add("\\x").Add(digits[ch >> 4]).Add(digits[ch & 15]);
        } else {
            line.Add(static_cast<char>(ch));
        }
    }
    line.Add('"');
}

void WriteAll(HANDLE file, const char *text, size_t length)
{
    DWORD written = 0;
    if (file != INVALID_HANDLE_VALUE && file != NULL)
        WriteFile(file, text, static_cast<DWORD>(length), &written, NULL);
}

typedef int(WINAPI *MessageBoxCall)(HWND, LPCSTR, LPCSTR, UINT);

// user32 is loaded only here, once the search for libraries is narrowed:
// on some systems it brings libraries of its own, which a static import
// would have looked for beside the launcher before any of its code ran.
void ShowBox(const char *text)
{
    HMODULE user = LoadLibraryExA("user32.dll", NULL, kSearchSystem32);
    if (user == NULL)  // a system without the flag, where user32 is a known library
        user = LoadLibraryA("user32.dll");
    MessageBoxCall box = user != NULL ? reinterpret_cast<MessageBoxCall>(
                                            reinterpret_cast<void (*)()>(GetProcAddress(user, "MessageBoxA")))
                                      : NULL;
    if (box != NULL)
        box(NULL, text, kCaption, MB_OK | MB_ICONSTOP | MB_SETFOREGROUND);
}

}  // namespace

void ShowRefusal(const char *command_line, const char *text)
{
    static TranscriptLine line;  // large: not on the stack
    line.Clear();
    line.Add("setup: ").Add(text).Add("\r\n");
    if (line.Fits())
        WriteAll(GetStdHandle(STD_ERROR_HANDLE), line.Text(), line.Length());
    if (!Unattended(command_line)) {
        ShowBox(text);
        return;
    }
    PathText transcript;
    TranscriptFile(command_line, transcript);
    if (transcript.Empty())
        return;
    line.Clear();
    line.Add("msgbox ");
    AddQuoted(line, text);
    line.Add(' ');
    AddQuoted(line, kCaption);
    line.Add(" 16 1\n");
    if (!line.Fits())
        return;
    HANDLE file = CreateFileA(transcript.Text(), GENERIC_WRITE, FILE_SHARE_READ, NULL, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    WriteAll(file, line.Text(), line.Length());
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
}
