// command_line.cpp - reads the frame's options.
#include "unattended/command_line.h"

#include <windows.h>

#include "base/common.h"
#include "unattended/words.h"

namespace rt {
namespace {

// The option letter of a word such as "/q" or "-A", in lower case, or 0.
char OptionLetter(const std::string &word) {
    if (word.size() != 2 || (word[0] != '/' && word[0] != '-')) return 0;
    char letter = word[1];
    return (letter >= 'A' && letter <= 'Z') ? static_cast<char>(letter - 'A' + 'a') : letter;
}

// Takes the file name after /a, /t, /r or /u into target; false with a problem.
bool TakeFileName(const std::vector<std::string> &words, size_t &i, std::string &target,
                  std::string &problem) {
    const std::string &option = words[i];
    if (!target.empty()) {
        problem = "The option " + option + " is given twice.";
        return false;
    }
    if (i + 1 >= words.size() || words[i + 1].empty() || words[i + 1][0] == '/') {
        problem = "The option " + option + " needs a file name.";
        return false;
    }
    target = FullPath(words[++i]);
    return true;
}

}  // namespace

std::vector<std::string> SplitCommandLine(const char *cmdLine) {
    std::vector<std::string> words;
    // A quote left open runs to the end of the line, as Windows reads it.
    SplitWords(cmdLine, DoubledQuote::Toggles, words);
    return words;
}

bool ParseCommandLine(const char *cmdLine, StartOptions &options, std::string &problem) {
    std::vector<std::string> words = SplitCommandLine(cmdLine);
    problem.clear();
    // Every word is looked at, even after a problem, so that a /q later on the
    // line still keeps the failure box away.
    for (size_t i = 0; i < words.size(); ++i) {
        std::string wordProblem;
        switch (OptionLetter(words[i])) {
        case 'q': options.quiet = true; break;
        case '?': options.usage = true; break;
        case 'a':
            options.answersAsked = true;
            TakeFileName(words, i, options.answerFile, wordProblem);
            break;
        case 't': TakeFileName(words, i, options.transcriptFile, wordProblem); break;
        case 'r': TakeFileName(words, i, options.recordFile, wordProblem); break;
        case 'u': TakeFileName(words, i, options.uninstallLog, wordProblem); break;
        default: wordProblem = "Unknown option: " + words[i]; break;
        }
        if (problem.empty()) problem = wordProblem;
    }
    // A recording holds what a user answered; in /a and /q runs nobody does.
    if (problem.empty() && !options.recordFile.empty() && (options.quiet || options.answersAsked))
        problem = "The option /r records the answers a user gives and cannot be used with /a or /q.";
    return problem.empty();
}

// Short lines, the text of each option at one tab stop: a message box
// wraps what is wider than a third of the screen, and breaks the columns.
const char *UsageText() {
    return "Usage: setup [/q] [/a FILE] [/t FILE]\n"
           "\t[/r FILE] [/u LOG] [/?]\n"
           "\n"
           "/q\tQuiet: every dialog goes on with\n"
           "\twhat it shows, every message is\n"
           "\tanswered with its first button.\n"
           "/a FILE\tTake the answers to dialogs and\n"
           "\tmessages from FILE.\n"
           "/t FILE\tWrite a transcript of the run to FILE.\n"
           "/r FILE\tRecord the answers to dialogs and\n"
           "\tmessages in FILE, for a later run\n"
           "\twith /a FILE.\n"
           "/u LOG\tTake back the installation that\n"
           "\tLOG records.\n"
           "/?\tShow this text.";
}

}  // namespace rt
