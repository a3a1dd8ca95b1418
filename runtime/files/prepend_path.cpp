// prepend_path.cpp - FPrependToPath: a directory put in front of the search
// path that a batch file such as AUTOEXEC.BAT sets.
#include <string>
#include <vector>

#include "base/common.h"
#include "files/log_file.h"
#include "setuprt.h"
#include "base/text_lines.h"

namespace rt {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// The word at `at`, in any case, followed by a blank, '=' or the line's end.
bool IsWordAt(const std::string &line, size_t at, const std::string &word) {
    if (at > line.size() || line.size() - at < word.size()) return false;
    if (CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, line.c_str() + at, static_cast<int>(word.size()),
                       word.c_str(), static_cast<int>(word.size())) != CSTR_EQUAL)
        return false;
    size_t after = at + word.size();
    return after == line.size() || IsBlank(line[after]) || line[after] == '=';
}

// Where the new search path starts when the line sets it ("PATH=list",
// "PATH list", "SET PATH=list"); npos for any other line, and for a bare
// "PATH", which only shows it.
size_t PathValueStart(const std::string &line) {
    size_t at = line.find_first_not_of(" \t@");
    if (at == std::string::npos) return std::string::npos;
    if (IsWordAt(line, at, "SET") && at + 3 < line.size() && IsBlank(line[at + 3])) {
        size_t name = line.find_first_not_of(" \t", at + 3);
        if (name == std::string::npos || !IsWordAt(line, name, "PATH") || line.compare(name + 4, 1, "=") != 0)
            return std::string::npos;
        return name + 5;
    }
    if (!IsWordAt(line, at, "PATH")) return std::string::npos;
    size_t value = line.find_first_not_of(" \t", at + 4);
    if (value == std::string::npos) return std::string::npos;
    return line[value] == '=' ? value + 1 : value;
}

// "C:\BIN\" names the same directory as "c:\bin".
std::string ElementKey(std::string element) {
    while (!element.empty() && IsBlank(element.back())) element.pop_back();
    if (!element.empty() && element.back() == '\\' && CharPrevA(element.c_str(), element.c_str() + element.size()) ==
                                                         element.c_str() + element.size() - 1)
        element.pop_back();
    return element;
}

bool HasElement(const std::string &list, const std::string &dir) {
    std::string key = ElementKey(dir);
    size_t start = 0;
    for (const char *p = list.c_str();; p = CharNextA(p)) {
        if (*p != ';' && *p) continue;
        size_t end = p - list.c_str();
        std::string element = ElementKey(list.substr(start, end - start));
        if (lstrcmpiA(element.c_str(), key.c_str()) == 0) return true;
        if (!*p) return false;
        start = end + 1;
    }
}

// The last setting is the one in force when the file has run.
void PrependToLines(std::vector<std::string> &lines, const std::string &dir) {
    for (auto line = lines.rbegin(); line != lines.rend(); ++line) {
        size_t at = PathValueStart(*line);
        if (at == std::string::npos) continue;
        std::string list = line->substr(at);
        if (HasElement(list, dir)) return;
        bool empty = list.find_first_not_of(" \t;") == std::string::npos;
        *line = line->substr(0, at) + dir + (empty ? "" : ";" + list);
        return;
    }
    lines.push_back("PATH " + dir + ";%PATH%");
}

// A directory that would end the line or split the list is refused.
bool IsSafeDir(const char *dir) {
    if (!IsGiven(dir)) return false;
    for (const unsigned char *p = reinterpret_cast<const unsigned char *>(dir); *p; ++p)
        if (*p < 0x20 || *p == ';' || *p == '"') return false;
    return true;
}

}  // namespace
}  // namespace rt

int FPrependToPath(const char *szSrc, const char *szDst, const char *szDir, int cmo) {
    (void)cmo;
    if (!rt::IsGiven(szSrc) || !rt::IsGiven(szDst) || !rt::IsSafeDir(szDir)) return 0;
    std::vector<std::string> lines;
    if (!rt::ReadTextLines(szSrc, lines) && GetLastError() != ERROR_FILE_NOT_FOUND) return 0;
    rt::PrependToLines(lines, szDir);
    if (!rt::WriteTextLines(szDst, lines)) return 0;
    rt::RecordAction("prepend", {szSrc, szDst, szDir});
    return 1;
}
