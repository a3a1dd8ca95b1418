// command_line.h - the frame's options: /q, /a FILE, /t FILE, /r FILE, /u LOG, /?.
#pragma once

#include <string>
#include <vector>

namespace rt {

struct StartOptions {
    bool quiet = false;          // /q
    bool usage = false;          // /?
    bool answersAsked = false;   // /a seen, even without a usable file name
    std::string answerFile;      // full path
    std::string transcriptFile;  // full path
    std::string recordFile;      // /r: where the user's answers go, full path
    std::string uninstallLog;    // /u: the installation log to take back, full path
};

// The words of a command line; double quotes group blanks and are dropped.
std::vector<std::string> SplitCommandLine(const char *cmdLine);

// Fills options from every word; false with the first problem when an option
// is unknown, given twice or lacks its file name, or when /r comes with /a or /q. Relative file names are
// made full from the current directory.
bool ParseCommandLine(const char *cmdLine, StartOptions &options, std::string &problem);

// The text of the usage box.
const char *UsageText();

}  // namespace rt
