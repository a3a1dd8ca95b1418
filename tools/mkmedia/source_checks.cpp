// source_checks.cpp - what a vendor gets wrong in a script written by hand.
#include "source_checks.h"

#include <string.h>

#include <algorithm>
#include <memory>

#include "script/script_line.h"
#include "base/setup_info.h"

namespace {

const char kFolderKeyword[] = "FOLDER";

enum class Place { OUTSIDE, HEADER, BODY };  // of a part: before its BEGIN, inside BEGIN and END

// Every keyword, with the words and bracket values it takes; a body line
// may stand only inside a part's BEGIN and END.
struct Keyword {
    const char *name;
    int words;
    int brackets;
    bool body;
    const char *form;  // how the line is written, for a line short of a part
};
const Keyword kKeywords[] = {
    {"COMPANY", 0, 1, false, "COMPANY [NAME]"},
    {"PRODUCT", 0, 1, false, "PRODUCT [NAME]"},
    {"BANNER", 0, 1, false, "BANNER [FILE.BMP]"},
    {"FILESET", 0, 1, false, "FILESET [NAME]"},
    {"EXPRESS", 0, 0, false, nullptr},
    {"SOFTWARE", 0, 1, false, "SOFTWARE [NAME]"},
    {"MAJORVERSION", 0, 1, false, "MAJORVERSION [TEXT]"},
    {"MINORVERSION", 0, 1, false, "MINORVERSION [TEXT]"},
    {"RELEASE", 0, 1, false, "RELEASE [TEXT]"},
    {"CPUTYPE", 0, 1, false, "CPUTYPE [TEXT]"},
    {"ADDPATH", 0, 1, false, "ADDPATH [DIRECTORY]"},
    {"ENVIRONMENT", 0, 2, false, "ENVIRONMENT [NAME] [VALUE]"},
    {"APPITEM", 2, 2, false, "APPITEM PROGRAM ICON [NAME] [ARGUMENTS]"},
    {"SYSAPP", 2, 2, false, "SYSAPP PROGRAM ICON [NAME] [ARGUMENTS]"},
    {"BEGIN", 0, 0, false, nullptr},
    {"END", -1, 0, false, nullptr},
    {"NOT COMPRESSED", 0, 0, false, nullptr},
    {"COMPRESSED", 0, 0, false, nullptr},
    {"SINGLE DIR IMAGE", 0, 0, false, nullptr},
    {"FLOPPY DISK IMAGE", 0, 0, false, nullptr},
    {"CDROM IMAGE", 0, 0, false, nullptr},
    {"CHANGEDISK", -1, 0, true, nullptr},
    {"D", 1, 0, true, "D DIRECTORY"},
    {"F", 2, 0, true, "F SOURCE DESTINATION"},
    {"P", 3, 1, true, "P SOURCE DESTINATION ICON [NAME]"},
    {"I", 3, 2, true, "I SOURCE DESTINATION ICON [NAME] [PROGRAM]"},
    {kFolderKeyword, 2, 0, true, "FOLDER SOURCE DESTINATION"},
};
const size_t kMostParts = MAX_FILE_SETS;

bool IsBlank(char ch)
{
    return ch == ' ' || ch == '\t';
}

// Whether text begins with name as a whole word (blanks, a bracket or the
// end after it), the letters compared as they stand or folded.
bool BeginsWith(const std::string &text, const char *name, bool fold)
{
    size_t length = strlen(name);
    if (text.size() < length || (text.size() > length && !IsBlank(text[length]) && text[length] != '['))
        return false;
    return fold ? strncasecmp(text.c_str(), name, length) == 0 : text.compare(0, length, name) == 0;
}

// The words of a line after its keyword, up to its first bracket value.
int WordsBeforeBrackets(const std::string &rest)
{
    int words = 0;
    for (size_t at = 0; at < rest.size() && rest[at] != '[';) {
        if (IsBlank(rest[at])) {
            at++;
            continue;
        }
        words++;
        while (at < rest.size() && !IsBlank(rest[at]) && rest[at] != '[')
            at++;
    }
    return words;
}

class SourceChecker {
public:
    SourceChecker(std::vector<Diagnostic> &found, bool on_medium)
        : found_(found), si_(new _setup_info()), on_medium_(on_medium)
    {
    }
    void Take(const ScriptLine &line);
    size_t Parts() const { return parts_; }

private:
    void Error(int line, const std::string &text) { found_.push_back({line, true, text}); }
    void CheckFields(int number, const Keyword &keyword, const std::string &text);
    void Follow(int number, const Keyword &keyword, const std::string &text);

    std::vector<Diagnostic> &found_;
    std::unique_ptr<_setup_info> si_;  // for the installer's own reading of bracket values
    bool on_medium_;
    Place place_ = Place::OUTSIDE;
    size_t parts_ = 0;
    std::string first_part_;
    bool first_part_told_ = false;
};

// The words and bracket values the keyword takes, as the installer reads
// them; a name with a blank shows as a word too many.
void SourceChecker::CheckFields(int number, const Keyword &keyword, const std::string &text)
{
    if (keyword.form == nullptr)
        return;
    std::string rest = text.substr(strlen(keyword.name));
    int words = WordsBeforeBrackets(rest);
    if (words > keyword.words) {
        Error(number, std::string("more words than the ") + keyword.name + " line takes (" + keyword.form +
                          "): a file or path name cannot hold a blank in the script");
        return;
    }
    snprintf(si_->input_line_buf, sizeof si_->input_line_buf, "%s", rest.c_str());
    si_->line_ptr = si_->input_line_buf;
    int brackets = 0;
    while (brackets < keyword.brackets && take_bracket_value(si_.get()))
        brackets++;
    if (words < keyword.words || brackets < keyword.brackets) {
        bool unclosed = brackets < keyword.brackets && si_->token != NULL;
        Error(number, std::string(unclosed ? "a [ without its ]" : "a field is missing") + ": write the line as " +
                          keyword.form);
    }
}

// Where the line stands among the parts.
void SourceChecker::Follow(int number, const Keyword &keyword, const std::string &text)
{
    std::string name = keyword.name;
    if (keyword.body && name != "CHANGEDISK") {
        if (place_ != Place::BODY)
            Error(number, "the " + name + " line stands outside a part's BEGIN and END: the installer does not read it "
                          "there");
        else if (parts_ == 1 && !first_part_told_) {
            first_part_told_ = true;
            Error(number, "the first part, \"" + first_part_ + "\", is never installed, so its files never reach the "
                          "customer: begin the script with an empty first part (FILESET [Setup files], BEGIN, END) "
                          "and put them in a part after it");
        }
    } else if ((name == "PRODUCT" || name == "BANNER") && parts_ > 0) {
        Error(number, "the " + name + " line stands after the first part: put it before the first FILESET line, "
                      "where an installer that does not know it passes over it");
    } else if (name == "FILESET") {
        place_ = Place::HEADER;
        if (++parts_ == kMostParts + 1)
            Error(number, "");  // its text once all parts are counted
        if (parts_ == 1) {
            size_t open = text.find('['), close = text.rfind(']');
            first_part_ = open != std::string::npos && close > open ? text.substr(open + 1, close - open - 1) : "";
        }
    } else if (name == "BEGIN" && place_ == Place::HEADER) {
        place_ = Place::BODY;
    } else if (name == "END") {
        place_ = Place::OUTSIDE;
    }
}

void SourceChecker::Take(const ScriptLine &line)
{
    size_t start = line.text.find_first_not_of(" \t");
    if (start == std::string::npos || line.text[start] == ';')
        return;
    std::string text = line.text.substr(start);
    for (const Keyword &keyword : kKeywords) {
        if (BeginsWith(text, keyword.name, false)) {
            // The installer would take it for an F line.
            if (on_medium_ && strcmp(keyword.name, kFolderKeyword) == 0)
                Error(line.number, "a FOLDER line is for mkmedia build: a medium's setup.inf holds its D and F lines");
            if (on_medium_ && strcmp(keyword.name, "END") == 0 && text.find_first_of("0123456789") == std::string::npos)
                Error(line.number, "END without its figure: the installer needs the part's installed size (mkmedia "
                                   "build writes it)");
            CheckFields(line.number, keyword, text);
            Follow(line.number, keyword, text);
            return;
        }
    }
    for (const Keyword &keyword : kKeywords) {
        if (BeginsWith(text, keyword.name, true)) {
            Error(line.number, "'" + text.substr(0, strlen(keyword.name)) + "' is the keyword " + keyword.name +
                                   " in the wrong case: the installer reads upper case only");
            return;
        }
    }
    size_t word = text.find_first_of(" \t[");
    Error(line.number, "'" + text.substr(0, word) + "' is no keyword of the script (a comment begins with ;)");
}

}  // namespace

void AddUnlessSaid(std::vector<Diagnostic> &own, const std::vector<Diagnostic> &installer)
{
    size_t said = own.size();
    for (const Diagnostic &found : installer) {
        if (std::none_of(own.begin(), own.begin() + static_cast<long>(said),
                         [&](const Diagnostic &d) { return d.error && d.line == found.line; }))
            own.push_back(found);
    }
}

std::vector<Diagnostic> CheckSource(const Script &script, bool on_medium)
{
    std::vector<Diagnostic> found;
    SourceChecker checker(found, on_medium);
    for (const ScriptLine &line : script.lines)
        checker.Take(line);
    for (Diagnostic &diagnostic : found) {
        if (diagnostic.text.empty())
            diagnostic.text = std::to_string(checker.Parts()) + " parts; the installer takes at most " + std::to_string(kMostParts);
    }
    return found;
}
