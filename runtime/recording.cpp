// recording.cpp - writes the user's answers in the answer-file format.
#include "recording.h"

#include <windows.h>

#include "handles.h"
#include "responder.h"
#include "symbols.h"

namespace rt {
namespace recording {
namespace {

FileHandle g_file;
bool g_lost = false;

// CR LF: the file is meant to be read and edited on Windows.
void WriteLine(const std::string &line) {
    if (!g_file.IsOpen()) return;
    std::string text = line + "\r\n";
    DWORD written = 0;
    if (!WriteFile(g_file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) ||
        written != text.size())
        g_lost = true;
}

// A word as the answer file reads it: quoted when it is empty or holds a
// blank or a quote, a quote inside doubled. False for a text with a line
// break, which no answer line can hold.
bool AnswerText(const std::string &value, std::string &word) {
    bool quoted = value.empty();
    std::string text;
    for (const char *p = value.c_str(); *p;) {
        const char *next = CharNextA(p);
        if (*p == '\r' || *p == '\n') return false;
        if (*p == ' ' || *p == '\t' || *p == '"') quoted = true;
        text.append(p, next);
        if (*p == '"') text += '"';
        p = next;
    }
    word = quoted ? "\"" + text + "\"" : text;
    return true;
}

const char *ButtonName(int button) {
    switch (button) {
    case IDOK: return "OK";
    case IDCANCEL: return "CANCEL";
    case IDABORT: return "ABORT";
    case IDRETRY: return "RETRY";
    case IDIGNORE: return "IGNORE";
    case IDYES: return "YES";
    case IDNO: return "NO";
    default: return nullptr;
    }
}

}  // namespace

bool Open(const std::string &path) {
    Close();
    g_lost = false;
    g_file.Reset(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
    WriteLine("# Answers recorded by Setup; run setup /a with this file to give them again.");
    return g_file.IsOpen();
}

void Close() { g_file.Close(); }

bool Complete() { return !g_lost; }

void Dialog(unsigned dialogTemplate, const char *event, const std::string &procedure) {
    if (!g_file.IsOpen()) return;
    std::string word;
    if (!AnswerText(event ? event : "", word)) {
        g_lost = true;
        return;
    }
    std::string line = "dialog " + std::to_string(dialogTemplate) + " " + word;
    for (const DialogOutput &symbols : DialogOutputs(procedure)) {
        if (!AnswerText(SymbolValue(symbols.output), word)) {
            g_lost = true;
            return;
        }
        line += " " + std::string(symbols.output) + "=" + word;
    }
    WriteLine(line);
}

void MsgBox(int button) {
    if (button <= 0) {  // the box could not be shown: no answer to give again
        g_lost = g_file.IsOpen();
        return;
    }
    const char *name = ButtonName(button);
    WriteLine("msgbox " + (name ? std::string(name) : std::to_string(button)));
}

}  // namespace recording
}  // namespace rt
