// log_file.cpp - the log file that a setup script opens, and the record of
// every action in it and in the transcript.
#include "files/log_file.h"

#include "base/handles.h"
#include "setuprt.h"
#include "transcript/transcript.h"

namespace rt {
namespace {

// Written through WriteFile without a buffer of our own, so the log is
// complete even when the run ends through ExitProcess.
FileHandle g_log;

// The log is read with Windows tools: lines end in CR LF.
constexpr char kLineEnd[] = "\r\n";

bool WriteText(const std::string &text) {
    if (!g_log.IsOpen()) return false;
    DWORD written = 0;
    return WriteFile(g_log.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
           written == text.size();
}

}  // namespace

void LogLine(const std::string &line) { WriteText(line + kLineEnd); }

void RecordAction(const char *verb, std::initializer_list<const char *> fields) {
    std::string line = verb;
    for (const char *field : fields) line += " " + Quote(field);
    transcript::Action(line);
    LogLine(line);
}

}  // namespace rt

int FOpenLogFile(const char *szFile, int fAppend) {
    rt::g_log.Close();
    if (!szFile || !*szFile) return 0;
    // Others may read the log while the run goes on.
    rt::g_log.Reset(CreateFileA(szFile, GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                fAppend ? OPEN_ALWAYS : CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!rt::g_log.IsOpen()) return 0;
    if (fAppend && SetFilePointer(rt::g_log.Get(), 0, nullptr, FILE_END) == INVALID_SET_FILE_POINTER) {
        rt::g_log.Close();
        return 0;
    }
    return 1;
}

int FCloseLogFile(void) {
    rt::g_log.Close();
    return 1;
}

int FRecordAction(const char *szVerb, const char *szField1, const char *szField2) {
    if (!szVerb || !*szVerb) return 0;
    if (!szField1)
        rt::RecordAction(szVerb, {});
    else if (!szField2)
        rt::RecordAction(szVerb, {szField1});
    else
        rt::RecordAction(szVerb, {szField1, szField2});
    return 1;
}

int FWriteToLogFile(const char *szStr, int fNewLine) {
    const char *text = szStr ? szStr : "";
    if (!rt::WriteText(fNewLine ? text + std::string(rt::kLineEnd) : std::string(text))) return 0;
    rt::transcript::Action("log " + rt::Quote(text));
    return 1;
}
