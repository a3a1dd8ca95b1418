// command_line.cpp - words of a command line split as the frame splits them
// (blanks between words, double quotes around blanks), with the place of
// each in the line, so that only the file names change.
#include "command_line.h"

namespace {

struct Word {
    PathText text;  // without its quotes; too long for a file name if it does not fit
    size_t begin, end;  // in the line
};

// The character after at, stepping over both bytes of a double-byte one.
// (CharNextA would import user32 before the search for libraries is
// narrowed: kernel32 knows the lead bytes as well.)
const char *NextChar(const char *at)
{
    if (*at == '\0')
        return at;
    return IsDBCSLeadByte(static_cast<BYTE>(*at)) && at[1] != '\0' ? at + 2 : at + 1;
}

bool IsBlank(char ch)
{
    return ch == ' ' || ch == '\t';
}

// The next word of line from at on; false at the end of the line.
bool NextWord(const char *line, const char *&at, Word &word)
{
    while (IsBlank(*at))
        at = NextChar(at);
    if (*at == '\0')
        return false;
    word.text.Clear();
    word.begin = static_cast<size_t>(at - line);
    bool quoted = false;
    while (*at != '\0' && (quoted || !IsBlank(*at))) {
        const char *next = NextChar(at);
        if (*at == '"')
            quoted = !quoted;
        else
            word.text.Add(at, static_cast<size_t>(next - at));
        at = next;
    }
    word.end = static_cast<size_t>(at - line);
    return true;
}

// The line without the program's own name.
const char *Arguments(const char *line)
{
    bool quoted = false;
    for (; *line != '\0' && (quoted || !IsBlank(*line)); line = NextChar(line)) {
        if (*line == '"')
            quoted = !quoted;
    }
    return line;
}

// The option letter of a word such as "/a" or "-T", in lower case, or 0.
char OptionLetter(const Word &word)
{
    const char *text = word.text.Text();
    if (word.text.Length() != 2 || (text[0] != '/' && text[0] != '-'))
        return 0;
    char letter = text[1];
    return letter >= 'A' && letter <= 'Z' ? static_cast<char>(letter - 'A' + 'a') : letter;
}

bool TakesFile(char letter)
{
    return letter == 'a' || letter == 't' || letter == 'r' || letter == 'u';
}

// name made absolute; false when either is too long for a file name.
bool FullPath(const Word &name, PathText &full)
{
    full.Clear();
    if (!name.text.Fits())
        return false;
    char path[MAX_PATH];
    DWORD length = GetFullPathNameA(name.text.Text(), sizeof path, path, NULL);
    if (length == 0 || length >= sizeof path)
        return false;
    full.Add(path, length);
    return true;
}

}  // namespace

bool PassedOnArguments(const char *command_line, LineText &passed)
{
    const char *line = Arguments(command_line);
    passed.Clear();
    size_t copied = 0;
    const char *at = line;
    Word option, file;
    bool have_option = NextWord(line, at, option);
    while (have_option) {
        if (!NextWord(line, at, file))
            break;
        // A file name is never an option: setup.exe reports the one missing.
        if (!TakesFile(OptionLetter(option)) || file.text.Empty() || file.text.Text()[0] == '/') {
            option = file;
            continue;
        }
        // A name that cannot be made absolute goes on as it stands:
        // setup.exe refuses it with the name.
        PathText full;
        if (FullPath(file, full)) {
            passed.Add(line + copied, file.begin - copied).Add('"').Add(full.Text()).Add('"');
            copied = file.end;
        }
        have_option = NextWord(line, at, option);
    }
    passed.Add(line + copied);
    return passed.Fits();
}

void TranscriptFile(const char *command_line, PathText &file)
{
    file.Clear();
    const char *line = Arguments(command_line);
    const char *at = line;
    Word option, name;
    if (!NextWord(line, at, option))
        return;
    while (NextWord(line, at, name)) {
        if (OptionLetter(option) == 't') {
            // One that cannot be made absolute is taken as it stands.
            if (!FullPath(name, file) && name.text.Fits())
                file.Add(name.text.Text());
            return;
        }
        option = name;
    }
}

bool Unattended(const char *command_line)
{
    const char *line = Arguments(command_line);
    const char *at = line;
    Word word;
    while (NextWord(line, at, word)) {
        char letter = OptionLetter(word);
        if (letter == 'q' || letter == 'a')
            return true;
    }
    return false;
}
