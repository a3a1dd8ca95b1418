// answer_file.h - the answers of an unattended run (/a FILE).
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace rt {

struct Answer {
    enum class Kind { Dialog, MsgBox };
    Kind kind = Kind::Dialog;
    int line = 0;                // in the answer file, for messages
    bool anyTemplate = false;    // "dialog * ..."
    unsigned dialogTemplate = 0;
    std::string event;
    std::vector<std::pair<std::string, std::string>> symbols;  // NAME=VALUE, in order
    int button = 0;              // msgbox
};

// Reads and checks the whole file up front, so a faulty answer file stops the
// run before anything happens. False with a problem naming the line.
bool ReadAnswerFile(const std::string &path, std::vector<Answer> &answers, std::string &problem);

// The answers in text; the same rules as ReadAnswerFile.
bool ParseAnswers(const std::string &text, std::vector<Answer> &answers, std::string &problem);

}  // namespace rt
