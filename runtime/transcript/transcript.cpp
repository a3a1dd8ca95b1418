// transcript.cpp - writes the transcript, unbuffered, one line per call.
#include "transcript/transcript.h"

#include <cstdio>

#include "base/line_file.h"
#include "transcript/progress.h"

namespace rt {
namespace {

LineFile g_file;

// Lines end in a bare newline: the transcript is read by test scripts on
// Linux as much as by people, and no field can hold a raw line end.
void WriteLine(const std::string &line) { g_file.WriteLine(line); }

const char *OrEmpty(const char *text) { return text ? text : ""; }

}  // namespace

std::string Quote(const char *text) {
    std::string quoted = "\"";
    for (const unsigned char *p = reinterpret_cast<const unsigned char *>(OrEmpty(text)); *p; ++p) {
        switch (*p) {
        case '\\': quoted += "\\\\"; break;
        case '"': quoted += "\\\""; break;
        case '\n': quoted += "\\n"; break;
        case '\t': quoted += "\\t"; break;
        case '\r': quoted += "\\r"; break;
        default:
            if (*p < 0x20 || *p == 0x7F) {
                char escape[5];
                std::snprintf(escape, sizeof escape, "\\x%02X", *p);
                quoted += escape;
            } else {
                quoted += static_cast<char>(*p);
            }
        }
    }
    return quoted + "\"";
}

namespace transcript {

bool Open(const std::string &path) {
    Close();
    return g_file.Open(path, "\n");
}

void Close() { g_file.Close(); }

bool Complete() { return g_file.Complete(); }

void Set(const char *name, const char *value) { WriteLine("set " + Quote(name) + " " + Quote(value)); }

void Add(const char *name, const char *item) { WriteLine("add " + Quote(name) + " " + Quote(item)); }

void Dialog(unsigned dialogTemplate, const char *event) {
    WriteLine("dialog " + std::to_string(dialogTemplate) + " " + OrEmpty(event));
}

void MsgBox(const char *text, const char *caption, unsigned style, int button) {
    WriteLine("msgbox " + Quote(text) + " " + Quote(caption) + " " + std::to_string(style) + " " +
              std::to_string(button));
}

void Abort(const std::string &reason) { WriteLine("abort " + Quote(reason.c_str())); }

void Group(const char *group) {
    ResetLoopCounts();
    WriteLine("group " + Quote(group));
}

void Item(const char *group, const char *item, const char *command) {
    ResetLoopCounts();
    WriteLine("item " + Quote(group) + " " + Quote(item) + " " + Quote(command));
}

void EnvVar(const char *name, const char *value, unsigned mode) {
    ResetLoopCounts();
    WriteLine("envvar " + Quote(name) + " " + Quote(value) + " " + std::to_string(mode));
}

void Error(const char *label) {
    ResetLoopCounts();
    WriteLine("error " + Quote(label));
}

void Action(const std::string &line) {
    ResetLoopCounts();
    WriteLine(line);
}

void Copy(const char *source, const char *destination) {
    ResetLoopCounts();
    WriteLine("copy " + Quote(source) + " " + Quote(destination));
}

void Keep(const char *destination) {
    ResetLoopCounts();
    WriteLine("keep " + Quote(destination));
}

void Billboard(const char *dll, unsigned dialogTemplate) {
    WriteLine("billboard " + Quote(dll) + " " + std::to_string(dialogTemplate));
}

}  // namespace transcript
}  // namespace rt
