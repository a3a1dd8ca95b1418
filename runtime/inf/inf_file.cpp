// inf_file.cpp - parses the setup-information file.
//
// Every scan steps with CharNextA, so a double-byte character whose second
// byte looks like a bracket is never taken apart. Blanks, commas, quotes and
// '=' cannot be second bytes, so they are tested directly.
#include "inf/inf_file.h"

#include <windows.h>

#include "base/text_lines.h"

namespace rt {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

const char *SkipBlanks(const char *p) {
    while (IsBlank(*p)) ++p;
    return p;
}

std::string WithoutTrailingBlanks(std::string text) {
    while (!text.empty() && IsBlank(text.back())) text.pop_back();
    return text;
}

// A quoted field: "" inside stands for one quote, and only blanks may come
// between the closing quote and the separator.
bool ReadQuoted(const char *&p, bool keyAllowed, std::string &field, std::string &fault) {
    p = CharNextA(p);
    for (;;) {
        if (!*p) {
            fault = "a double quote is not closed";
            return false;
        }
        const char *next = CharNextA(p);
        if (*p == '"' && *next != '"') {
            p = next;
            break;
        }
        field.append(p, next);
        p = *p == '"' ? CharNextA(next) : next;
    }
    p = SkipBlanks(p);
    if (*p && *p != ',' && !(keyAllowed && *p == '=')) {
        fault = "text after a quoted field";
        return false;
    }
    return true;
}

// A field up to the next separator, without the blanks at its end.
void ReadPlain(const char *&p, bool keyAllowed, std::string &field) {
    const char *start = p;
    while (*p && *p != ',' && !(keyAllowed && *p == '=')) p = CharNextA(p);
    field = WithoutTrailingBlanks(std::string(start, p));
}

// "key = a, b" or "a, b": only the first separator of a line may be '=',
// so later '=' belong to the fields.
bool ReadFields(const char *p, InfLine &line, std::string &fault) {
    bool keyAllowed = true;
    for (;;) {
        p = SkipBlanks(p);
        std::string field;
        if (*p == '"') {
            if (!ReadQuoted(p, keyAllowed, field, fault)) return false;
        } else {
            ReadPlain(p, keyAllowed, field);
        }
        if (keyAllowed && *p == '=') {
            if (field.empty()) {
                fault = "a key without a name";
                return false;
            }
            line.hasKey = true;
            line.key = field;
            keyAllowed = false;
            ++p;
            continue;
        }
        keyAllowed = false;
        line.fields.push_back(field);
        if (*p != ',') return true;
        ++p;
    }
}

// "[name]", blanks allowed inside the brackets and after them.
bool ReadSectionName(const char *p, std::string &name, std::string &fault) {
    p = SkipBlanks(CharNextA(p));
    const char *start = p;
    while (*p && *p != ']') p = CharNextA(p);
    if (!*p) {
        fault = "a section bracket is not closed";
        return false;
    }
    name = WithoutTrailingBlanks(std::string(start, p));
    if (*SkipBlanks(p + 1)) {
        fault = "text after a section name";
        return false;
    }
    if (name.empty()) {
        fault = "a section without a name";
        return false;
    }
    return true;
}

// Takes the lines one by one into the sections of the file.
class Parser {
public:
    explicit Parser(InfFile &file) : file_(file) {}

    // False with the fault of the line.
    bool Take(const std::string &text, std::string &fault) {
        const char *p = SkipBlanks(text.c_str());
        bool header = *p == '[';
        if (text.find('\0') != std::string::npos) {
            fault = "a zero byte";
            afterFaultyHeader_ = afterFaultyHeader_ || header;
            return false;
        }
        if (!*p || *p == ';') return true;
        if (header) return StartSection(p, fault);
        if (afterFaultyHeader_) return true;
        if (current_ == kNoSection) {
            fault = "a line outside a section";
            return false;
        }
        InfLine line;
        if (!ReadFields(p, line, fault)) return false;
        file_.sections[current_].lines.push_back(std::move(line));
        return true;
    }

private:
    static constexpr size_t kNoSection = static_cast<size_t>(-1);

    // A name met again continues the earlier section.
    bool StartSection(const char *p, std::string &fault) {
        std::string name;
        afterFaultyHeader_ = !ReadSectionName(p, name, fault);
        if (afterFaultyHeader_) return false;
        for (current_ = 0; current_ < file_.sections.size(); ++current_)
            if (lstrcmpiA(file_.sections[current_].name.c_str(), name.c_str()) == 0) return true;
        file_.sections.push_back(InfSection{name, {}});
        return true;
    }

    InfFile &file_;
    size_t current_ = kNoSection;
    bool afterFaultyHeader_ = false;  // its lines belong to no known section
};

}  // namespace

bool ParseInf(const std::string &text, bool strict, InfFile &file, InfProblem &problem) {
    file.sections.clear();
    problem = InfProblem();
    Parser parser(file);
    int number = 0;
    for (const std::string &line : SplitLines(text)) {
        ++number;
        std::string fault;
        if (parser.Take(line, fault)) continue;
        if (problem.line == 0) problem = InfProblem{number, fault};
        if (strict) return false;
    }
    return true;
}

const InfSection *FindSection(const InfFile &file, const char *name) {
    if (!name) return nullptr;
    for (const InfSection &section : file.sections)
        if (lstrcmpiA(section.name.c_str(), name) == 0) return &section;
    return nullptr;
}

const InfLine *FindLine(const InfSection &section, const char *key) {
    if (!key || !*key) return nullptr;
    for (const InfLine &line : section.lines)
        if (line.hasKey && lstrcmpiA(line.key.c_str(), key) == 0) return &line;
    return nullptr;
}

const std::string &FieldOf(const InfLine &line, int n) {
    static const std::string kMissing;
    if (n < 1 || static_cast<size_t>(n) > line.fields.size()) return kMissing;
    return line.fields[n - 1];
}

}  // namespace rt
