// recording.cpp - writes the user's answers in the answer-file format.
#include "unattended/recording.h"

#include <windows.h>

#include "base/line_file.h"
#include "unattended/responder.h"
#include "symbols/symbols.h"

namespace rt {
namespace recording {
namespace {

LineFile g_file;

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

const char kFirstLine[] = "# Answers recorded by Setup; run setup /a with this file to give them again.";

bool Open(const std::string &path) {
    Close();
    // CR LF: the file is meant to be read and edited on Windows.
    if (!g_file.Open(path, "\r\n")) return false;
    g_file.WriteLine(kFirstLine);
    return true;
}

void Close() { g_file.Close(); }

bool Complete() { return g_file.Complete(); }

void Dialog(unsigned dialogTemplate, const char *event, const std::string &procedure) {
    if (!g_file.IsOpen()) return;
    std::string word;
    if (!AnswerText(event ? event : "", word)) {
        g_file.MarkLost();
        return;
    }
    std::string line = "dialog " + std::to_string(dialogTemplate) + " " + word;
    for (const DialogOutput &symbols : DialogOutputs(procedure)) {
        if (!AnswerText(SymbolValue(symbols.output), word)) {
            g_file.MarkLost();
            return;
        }
        line += " " + std::string(symbols.output) + "=" + word;
    }
    g_file.WriteLine(line);
}

void MsgBox(int button) {
    if (!g_file.IsOpen()) return;
    if (button <= 0) {  // the box could not be shown: no answer to give again
        g_file.MarkLost();
        return;
    }
    const char *name = ButtonName(button);
    g_file.WriteLine("msgbox " + (name ? std::string(name) : std::to_string(button)));
}

}  // namespace recording
}  // namespace rt
