// environment.cpp - SetEnvVariable: the environment of the 95 family, kept in
// AUTOEXEC.BAT for the next start of Windows and set in this process for the
// rest of the run.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "setuprt.h"
#include "base/text_lines.h"
#include "transcript/transcript.h"

namespace rt {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool EqualNoCase(const char *a, size_t lengthA, const char *b, size_t lengthB) {
    return CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, a, static_cast<int>(lengthA), b,
                          static_cast<int>(lengthB)) == CSTR_EQUAL;
}

bool StartsWithNoCase(const std::string &text, size_t at, const std::string &word) {
    return at <= text.size() && word.size() <= text.size() - at && EqualNoCase(text.c_str() + at, word.size(), word.c_str(), word.size());
}

// A list element as it is compared: "C:\BIN\" names the same directory as "c:\bin".
std::string ElementKey(const std::string &element) {
    if (element.empty()) return element;
    const char *end = element.c_str() + element.size();
    const char *last = CharPrevA(element.c_str(), end);
    return *last == '\\' && last + 1 == end ? element.substr(0, element.size() - 1) : element;
}

bool HasElement(const std::string &list, const std::string &element) {
    std::string key = ElementKey(element);
    const char *start = list.c_str();
    for (const char *p = start;; p = CharNextA(p)) {
        if (*p == ';' || !*p) {
            std::string candidate = ElementKey(std::string(start, p));
            if (EqualNoCase(candidate.c_str(), candidate.size(), key.c_str(), key.size())) return true;
            if (!*p) return false;
            start = p + 1;
        }
    }
}

// Where the value starts when the line sets the variable: "SET NAME=value",
// and for PATH also the commands "PATH=value" and "PATH value"; npos otherwise.
size_t ValueStart(const std::string &line, const std::string &name) {
    size_t at = line.find_first_not_of(" \t@");
    if (at == std::string::npos) return std::string::npos;
    if (StartsWithNoCase(line, at, "SET") && at + 3 < line.size() && IsBlank(line[at + 3])) {
        size_t nameAt = line.find_first_not_of(" \t", at + 3);
        size_t equals = nameAt == std::string::npos ? nameAt : nameAt + name.size();
        if (StartsWithNoCase(line, nameAt, name) && equals < line.size() && line[equals] == '=') return equals + 1;
        return std::string::npos;
    }
    if (EqualNoCase(name.c_str(), name.size(), "PATH", 4) && StartsWithNoCase(line, at, "PATH") &&
        at + 4 < line.size() && (line[at + 4] == '=' || IsBlank(line[at + 4]))) {
        size_t value = line.find_first_not_of(" \t", at + 4);
        if (value == std::string::npos) return line.size();
        return line[value] == '=' ? value + 1 : value;
    }
    return std::string::npos;
}

// Every line that sets the variable gets the new value; without one, a line is added.
bool SetVariableLines(std::vector<std::string> &lines, const std::string &name, const std::string &value) {
    std::string setting = "SET " + name + "=" + value;
    bool found = false, changed = false;
    for (std::string &line : lines) {
        if (ValueStart(line, name) == std::string::npos) continue;
        found = true;
        changed = changed || line != setting;
        line = setting;
    }
    if (!found) lines.push_back(setting);
    return changed || !found;
}

// The directory joins the last setting of the list, once. Without a setting,
// the new line keeps the list that the system set before it.
bool AddToListLines(std::vector<std::string> &lines, const std::string &name, const std::string &dir) {
    for (auto line = lines.rbegin(); line != lines.rend(); ++line) {
        size_t at = ValueStart(*line, name);
        if (at == std::string::npos) continue;
        if (HasElement(line->substr(at), dir)) return false;
        line->erase(line->find_last_not_of(" \t") + 1);
        bool needsSeparator = line->size() > at && line->back() != ';';
        *line += needsSeparator ? ";" + dir : dir;
        return true;
    }
    lines.push_back("SET " + name + "=%" + name + "%;" + dir);
    return true;
}

// A file of the Windows drive's root; "" when that drive has no letter.
std::string RootFile(const char *fileName) {
    char dir[MAX_PATH];
    UINT length = GetWindowsDirectoryA(dir, sizeof dir);
    if (length < 2 || length >= sizeof dir || dir[1] != ':') return "";
    return std::string(dir, 2) + "\\" + fileName;
}

// A missing file reads as no lines.
bool ReadLines(const std::string &path, std::vector<std::string> &lines) {
    return ReadTextLines(path, lines) || GetLastError() == ERROR_FILE_NOT_FOUND;
}

// The backup this run wrote; empty when the first change found no file.
std::string g_backup;
bool g_backedUp = false;

// The backup keeps the file as it was before the first change of this run,
// so that the user can go back to the state before the installation. A
// backup already there is the user's (or an earlier run's) and stays: the
// first free name of AUTOEXEC.BAK, AUTOEXEC.B01 ... AUTOEXEC.B99 is taken.
bool BackUpOnce(const std::string &batchFile) {
    if (g_backedUp) return true;
    if (GetFileAttributesA(batchFile.c_str()) == INVALID_FILE_ATTRIBUTES) return g_backedUp = true;
    for (int i = 0; i < 100; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, i == 0 ? "AUTOEXEC.BAK" : "AUTOEXEC.B%02d", i);
        std::string backup = RootFile(name);
        if (CopyFileA(batchFile.c_str(), backup.c_str(), TRUE)) {
            g_backup = backup;
            return g_backedUp = true;
        }
        if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) return false;
    }
    return false;
}

// The 95 family's command interpreter reads a batch line into a buffer of at
// most 1,024 bytes with its terminator; a longer SET line would be cut when
// Windows starts, and the list with it.
bool MadeLineTooLong(const std::vector<std::string> &before, const std::vector<std::string> &after) {
    for (size_t i = 0; i < after.size(); ++i)
        if (after[i].size() > ENV_LONGEST_BATCH_LINE && (i >= before.size() || after[i] != before[i])) return true;
    return false;
}

bool EditBatchFile(const std::string &name, const std::string &value, bool addToList) {
    std::string batchFile = RootFile("AUTOEXEC.BAT");
    std::vector<std::string> lines;
    if (batchFile.empty() || !ReadLines(batchFile, lines)) return false;
    std::vector<std::string> edited = lines;
    bool changed = addToList ? AddToListLines(edited, name, value) : SetVariableLines(edited, name, value);
    if (!changed) return true;
    if (MadeLineTooLong(lines, edited)) {
        SetLastError(ERROR_BUFFER_OVERFLOW);
        return false;
    }
    return BackUpOnce(batchFile) && WriteTextLines(batchFile, edited);
}

bool SetInProcess(const char *name, const char *value, bool addToList) {
    if (!addToList) return SetEnvironmentVariableA(name, value) != 0;
    std::vector<char> current(GetEnvironmentVariableA(name, nullptr, 0) + 1, '\0');
    GetEnvironmentVariableA(name, current.data(), static_cast<DWORD>(current.size()));
    std::string list = current.data();
    if (HasElement(list, value)) return true;
    std::string longer = list.empty() ? value : list + ";" + value;
    return SetEnvironmentVariableA(name, longer.c_str()) != 0;
}

bool HasControlCharacter(const char *text) {
    for (const unsigned char *p = reinterpret_cast<const unsigned char *>(text); *p; ++p)
        if (*p < 0x20) return true;
    return false;
}

// A name or value that would break the batch file's lines is refused. A
// blank may stand inside a name, not in front: "SET  NAME=" sets NAME.
bool IsSafeSetting(const char *name, const char *value, bool addToList) {
    if (!name || !*name || IsBlank(*name) || !value || (addToList && !*value)) return false;
    for (const char *p = name; *p; ++p)
        if (*p == '=' || *p == '%') return false;
    return !HasControlCharacter(name) && !HasControlCharacter(value);
}

}  // namespace
}  // namespace rt

// Mode 4096 adds the directory szValue to the list variable szVar (PATH);
// mode 1024 sets szVar to szValue.
unsigned CbGetBatchBackup(char *szBfr, unsigned cbBfrMax) {
    const std::string &backup = rt::g_backup;
    if (szBfr && backup.size() < cbBfrMax) std::memcpy(szBfr, backup.c_str(), backup.size() + 1);
    return static_cast<unsigned>(backup.size());
}

int SetEnvVariable(const char *szVar, const char *szValue, int cmo) {
    bool addToList = (cmo & ENV_ADD_TO_PATH) != 0;
    if (!addToList && !(cmo & ENV_SET_VARIABLE)) return 0;
    if (!rt::IsSafeSetting(szVar, szValue, addToList)) return 0;
    // What the file refused, the process does not get either.
    if (!rt::EditBatchFile(szVar, szValue, addToList) || !rt::SetInProcess(szVar, szValue, addToList)) return 0;
    rt::transcript::EnvVar(szVar, szValue, static_cast<unsigned>(cmo));
    return 1;
}
