// answer_file.cpp - parses answer files.
#include "unattended/answer_file.h"

#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "base/text_lines.h"
#include "unattended/words.h"

namespace rt {
namespace {

bool SameWord(const std::string &a, const char *b) { return lstrcmpiA(a.c_str(), b) == 0; }

// A decimal number without sign that fits an int; false for anything else.
bool ParseNumber(const std::string &text, unsigned &value) {
    if (text.empty() || text.size() > 9) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    value = static_cast<unsigned>(std::strtoul(text.c_str(), nullptr, 10));
    return true;
}

bool ButtonFromWord(const std::string &word, int &button) {
    static const struct { const char *name; int id; } kButtons[] = {
        {"OK", IDOK},       {"CANCEL", IDCANCEL}, {"ABORT", IDABORT}, {"RETRY", IDRETRY},
        {"IGNORE", IDIGNORE}, {"YES", IDYES},     {"NO", IDNO},
    };
    for (const auto &entry : kButtons) {
        if (SameWord(word, entry.name)) {
            button = entry.id;
            return true;
        }
    }
    unsigned number = 0;
    if (!ParseNumber(word, number) || number == 0) return false;
    button = static_cast<int>(number);
    return true;
}

bool ParseDialog(const std::vector<std::string> &words, Answer &answer, std::string &problem) {
    if (words.size() < 3) {
        problem = "a dialog answer needs a template and an event";
        return false;
    }
    answer.kind = Answer::Kind::Dialog;
    answer.anyTemplate = words[1] == "*";
    if (!answer.anyTemplate && !ParseNumber(words[1], answer.dialogTemplate)) {
        problem = "not a dialog template: " + words[1];
        return false;
    }
    answer.event = words[2];
    for (size_t i = 3; i < words.size(); ++i) {
        size_t equals = words[i].find('=');
        if (equals == std::string::npos || equals == 0) {
            problem = "expected NAME=VALUE, found " + words[i];
            return false;
        }
        answer.symbols.emplace_back(words[i].substr(0, equals), words[i].substr(equals + 1));
    }
    return true;
}

bool ParseMsgBox(const std::vector<std::string> &words, Answer &answer, std::string &problem) {
    answer.kind = Answer::Kind::MsgBox;
    if (words.size() != 2 || !ButtonFromWord(words[1], answer.button)) {
        problem = "a msgbox answer needs one button: OK, CANCEL, ABORT, RETRY, IGNORE, YES, NO or a number";
        return false;
    }
    return true;
}

bool ParseLine(const std::string &line, Answer &answer, std::string &problem) {
    std::vector<std::string> words;
    if (!SplitWords(line.c_str(), DoubledQuote::StandsForQuote, words)) {
        problem = "a double quote is not closed";
        return false;
    }
    if (SameWord(words[0], "dialog")) return ParseDialog(words, answer, problem);
    if (SameWord(words[0], "msgbox")) return ParseMsgBox(words, answer, problem);
    problem = "unknown answer " + words[0];
    return false;
}

bool IsSkipped(const std::string &line) {
    size_t start = line.find_first_not_of(" \t");
    return start == std::string::npos || line[start] == '#' || line[start] == ';';
}

}  // namespace

bool ParseAnswers(const std::string &text, std::vector<Answer> &answers, std::string &problem) {
    int number = 0;
    for (const std::string &line : SplitLines(text)) {
        ++number;
        if (IsSkipped(line)) continue;
        Answer answer;
        answer.line = number;
        std::string lineProblem;
        if (!ParseLine(line, answer, lineProblem)) {
            problem = "line " + std::to_string(number) + ": " + lineProblem;
            return false;
        }
        answers.push_back(answer);
    }
    return true;
}

bool ReadAnswerFile(const std::string &path, std::vector<Answer> &answers, std::string &problem) {
    std::vector<std::string> lines;
    if (!ReadTextLines(path, lines)) {
        problem = "The answer file " + path + " cannot be read.";
        return false;
    }
    std::string text;
    for (const std::string &line : lines) text += line + "\n";
    if (!ParseAnswers(text, answers, problem)) {
        problem = "The answer file " + path + " is faulty, " + problem + ".";
        return false;
    }
    return true;
}

}  // namespace rt
