// command_line.cpp - words of a command line split as the frame splits them
// (blanks between words, double quotes around blanks), with the place of
// each in the line, so that only the file names change.
#include "command_line.h"

#include <windows.h>

#include <vector>

namespace {

struct Word {
    std::string text;  // without its quotes
    size_t begin, end;  // in the line
};

std::vector<Word> Words(const char *line)
{
    std::vector<Word> words;
    size_t at = 0;
    for (;;) {
        while (line[at] == ' ' || line[at] == '\t')
            at++;
        if (line[at] == '\0')
            return words;
        Word word = {std::string(), at, at};
        bool quoted = false;
        while (line[at] != '\0' && (quoted || (line[at] != ' ' && line[at] != '\t'))) {
            if (line[at] == '"')
                quoted = !quoted;
            else
                word.text += line[at];
            at++;
        }
        word.end = at;
        words.push_back(word);
    }
}

// The line without the program's own name.
const char *Arguments(const char *line)
{
    bool quoted = false;
    for (; *line != '\0' && (quoted || (*line != ' ' && *line != '\t')); line++) {
        if (*line == '"')
            quoted = !quoted;
    }
    return line;
}

// The option letter of a word such as "/a" or "-T", in lower case, or 0.
char OptionLetter(const std::string &word)
{
    if (word.size() != 2 || (word[0] != '/' && word[0] != '-'))
        return 0;
    char letter = word[1];
    return letter >= 'A' && letter <= 'Z' ? static_cast<char>(letter - 'A' + 'a') : letter;
}

bool TakesFile(char letter)
{
    return letter == 'a' || letter == 't' || letter == 'r' || letter == 'u';
}

std::string FullPath(const std::string &name)
{
    char full[MAX_PATH];
    DWORD length = GetFullPathNameA(name.c_str(), sizeof full, full, NULL);
    return length == 0 || length >= sizeof full ? name : std::string(full, length);
}

}  // namespace

std::string PassedOnArguments(const char *command_line)
{
    const char *line = Arguments(command_line);
    std::vector<Word> words = Words(line);
    std::string passed;
    size_t copied = 0;
    for (size_t i = 0; i + 1 < words.size(); i++) {
        // A file name is never an option: setup.exe reports the one missing.
        if (!TakesFile(OptionLetter(words[i].text)) || words[i + 1].text.empty() || words[i + 1].text[0] == '/')
            continue;
        const Word &file = words[++i];
        passed.append(line + copied, file.begin - copied);
        passed += "\"" + FullPath(file.text) + "\"";
        copied = file.end;
    }
    return passed + (line + copied);
}

std::string TranscriptFile(const char *command_line)
{
    std::vector<Word> words = Words(Arguments(command_line));
    for (size_t i = 0; i + 1 < words.size(); i++) {
        if (OptionLetter(words[i].text) == 't')
            return FullPath(words[i + 1].text);
    }
    return std::string();
}

bool Unattended(const char *command_line)
{
    for (const Word &word : Words(Arguments(command_line))) {
        char letter = OptionLetter(word.text);
        if (letter == 'q' || letter == 'a')
            return true;
    }
    return false;
}
