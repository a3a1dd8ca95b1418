// session.cpp - InitializeFrame and TerminateFrame: the start and end of a run.
#include <cstdio>
#include <cstring>
#include <string>

#include "unattended/command_line.h"
#include "base/file_paths.h"
#include "base/handles.h"
#include "session/frame.h"
#include "unattended/recording.h"
#include "unattended/responder.h"
#include "setuprt.h"
#include "transcript/transcript.h"

namespace rt {
namespace {

constexpr char kCaption[] = "Setup";

// Every start of the frame in this process gets its own positive number.
int g_runs = 0;
// The installation log that /u asked to take back; empty for an installation.
std::string g_uninstallLog;
// The transcript and the recording of this run; empty when not asked for.
std::string g_recordFiles[2];

// A start-up failure is shown in a box with the usage text, except in
// unattended runs, where no box may wait for a user: they get the problem on
// the standard error.
void ReportStartProblem(const std::string &problem, bool withUsage, bool unattended) {
    if (unattended) {
        std::fprintf(stderr, "setup: %s\n", problem.c_str());
        std::fflush(stderr);
        return;
    }
    std::string text = withUsage ? problem + "\n\n" + UsageText() : problem;
    MessageBoxA(nullptr, text.c_str(), kCaption, MB_OK | MB_ICONHAND);
}

// The first bytes of a file; "" when it is missing, empty or unreadable (a
// device such as a full disk's stand-in reads as empty).
std::string FirstBytes(const std::string &file) {
    FileHandle handle(CreateFileA(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    char bytes[256];  // more than the recording's heading
    DWORD got = 0;
    if (!handle.IsOpen() || GetFileSize(handle.Get(), nullptr) == 0 ||
        !ReadFile(handle.Get(), bytes, sizeof bytes, &got, nullptr))
        return "";
    return std::string(bytes, got);
}

// Nothing, or an earlier run's record: a transcript line starts with a word
// of small letters, a blank and a quoted text or a number; a recording with
// its own comment.
bool MayBeReplaced(const std::string &head) {
    if (head.empty() || head.rfind(recording::kFirstLine, 0) == 0) return true;
    size_t word = 0;
    while (word < head.size() && head[word] >= 'a' && head[word] <= 'z') ++word;
    return word > 0 && word + 1 < head.size() && head[word] == ' ' &&
           (head[word + 1] == '"' || (head[word + 1] >= '0' && head[word + 1] <= '9'));
}

// The transcript and the recording are made before the installer reads its
// script, so they must never take the place of the script, the answers or
// the installation log to take back, nor of any other file that holds
// something: only a missing or empty file or an earlier run's record.
bool OverwritesInput(const std::string &file, const char *what, const StartOptions &options,
                     std::string &problem) {
    if (file.empty()) return false;
    const char *overwritten = nullptr;
    if (lstrcmpiA(FileNameOf(file).c_str(), "setup.inf") == 0 || IsSameFile(file, "setup.inf"))
        overwritten = "the setup script";
    else if (!options.answerFile.empty() && IsSameFile(file, options.answerFile))
        overwritten = "the answer file";
    else if (!options.uninstallLog.empty() && IsSameFile(file, options.uninstallLog))
        overwritten = "the installation log";
    else if (!MayBeReplaced(FirstBytes(file)))
        overwritten = "a file that is no transcript or recording of Setup";
    if (!overwritten) return false;
    problem = std::string(what) + " " + file + " would overwrite " + overwritten + ".";
    return true;
}

// Reads the answers and creates the transcript and the recording; false with
// a problem.
bool PrepareRun(const StartOptions &options, std::vector<Answer> &answers, std::string &problem) {
    if (OverwritesInput(options.transcriptFile, "The transcript", options, problem) ||
        OverwritesInput(options.recordFile, "The recording", options, problem))
        return false;
    if (!options.recordFile.empty() && !options.transcriptFile.empty() &&
        IsSameFile(options.recordFile, options.transcriptFile)) {
        problem = "The recording " + options.recordFile + " would overwrite the transcript.";
        return false;
    }
    if (!options.answerFile.empty() && !ReadAnswerFile(options.answerFile, answers, problem)) return false;
    if (!options.transcriptFile.empty() && !transcript::Open(options.transcriptFile)) {
        problem = "The transcript " + options.transcriptFile + " cannot be created.";
        return false;
    }
    // The usage box is no answer of an installation.
    if (!options.recordFile.empty() && !options.usage && !recording::Open(options.recordFile)) {
        problem = "The recording " + options.recordFile + " cannot be created.";
        return false;
    }
    return true;
}

RunMode ModeOf(const StartOptions &options) {
    // With both /a and /q the answer file decides; /q adds nothing then.
    if (!options.answerFile.empty()) return RunMode::Answers;
    return options.quiet ? RunMode::Quiet : RunMode::Interactive;
}

}  // namespace
}  // namespace rt

int InitializeFrame(const char *szCmdLine) {
    if (rt::Frame()) return 0;  // already started
    // A new run: the previous run's transcript, recording and answers end here.
    rt::transcript::Close();
    rt::recording::Close();
    rt::StartResponder(rt::RunMode::Interactive, {});

    rt::StartOptions options;
    std::vector<rt::Answer> answers;
    std::string problem;
    if (!rt::ParseCommandLine(szCmdLine, options, problem) || !rt::PrepareRun(options, answers, problem)) {
        rt::ReportStartProblem(problem, true, options.quiet || options.answersAsked);
        return 0;
    }
    rt::StartResponder(rt::ModeOf(options), std::move(answers));
    rt::g_uninstallLog = options.uninstallLog;
    rt::g_recordFiles[0] = options.transcriptFile;
    rt::g_recordFiles[1] = options.recordFile;
    if (options.usage) {
        DoMsgBox(rt::UsageText(), rt::kCaption, MB_OK | MB_ICONINFORMATION);
        return -1;
    }
    if (!rt::CreateFrame()) {
        rt::ReportStartProblem("The setup window cannot be created.", false, rt::IsUnattended());
        return 0;
    }
    return ++rt::g_runs;
}

unsigned CbGetUninstallLog(char *szBfr, unsigned cbBfrMax) {
    const std::string &log = rt::g_uninstallLog;
    if (szBfr && log.size() < cbBfrMax) memcpy(szBfr, log.c_str(), log.size() + 1);
    return static_cast<unsigned>(log.size());
}

int FRecordFileLiesIn(const char *szDir) {
    if (!szDir || !*szDir) return 0;
    for (const std::string &file : rt::g_recordFiles) {
        for (std::string dir = rt::ParentOf(file); !dir.empty(); dir = rt::ParentOf(dir)) {
            if (rt::IsSameFile(dir, szDir)) return 1;
            if (dir == rt::ParentOf(dir)) break;  // the root
        }
    }
    return 0;
}

// The recording counts as part of the run's record: an answer lost makes the
// replay go astray.
int FTranscriptComplete(void) { return rt::transcript::Complete() && rt::recording::Complete() ? 1 : 0; }

void TerminateFrame(void) {
    FKillNDialogs(-1);
    rt::DestroyFrame();
}
