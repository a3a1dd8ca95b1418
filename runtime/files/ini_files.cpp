// ini_files.cpp - values, keys and sections of INI files, and SYSTEM.INI,
// where a key such as "device=" may stand on several lines of a section.
#include <cstring>
#include <string>
#include <vector>

#include "base/common.h"
#include "files/log_file.h"
#include "setuprt.h"
#include "base/text_lines.h"

namespace rt {
namespace {

constexpr char kSystemIni[] = "SYSTEM.INI";

bool HasControlCharacter(const char *text) {
    for (const unsigned char *p = reinterpret_cast<const unsigned char *>(text); *p; ++p)
        if (*p < 0x20 && *p != '\t') return true;
    return false;
}

// A text that would break the file's lines, or be read back as a comment,
// a section or another key, is refused.
bool IsSafeName(const char *text, const char *forbidden) {
    if (!IsGiven(text) || HasControlCharacter(text) || std::strpbrk(text, forbidden)) return false;
    char first = text[std::strspn(text, " \t")];
    return first != ';' && first != '[';
}

bool IsSafeEntry(const char *file, const char *section, const char *key) {
    return IsGiven(file) && IsSafeName(section, "]") && (!key || IsSafeName(key, "="));
}

// Where the profile functions keep the file: a name without a directory is
// a file of the Windows directory.
std::string IniPath(const char *file) {
    for (const char *p = file; *p; p = CharNextA(p))
        if (CharNextA(p) == p + 1 && std::strchr("\\/:", *p)) return file;
    char dir[MAX_PATH];
    UINT length = GetWindowsDirectoryA(dir, sizeof dir);
    if (length == 0 || length >= sizeof dir) return file;
    return JoinPath(dir, file);
}

std::string Trimmed(const std::string &text) {
    size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool SameText(const std::string &a, const std::string &b) { return lstrcmpiA(a.c_str(), b.c_str()) == 0; }

bool IsSectionHeader(const std::string &line, const std::string &section) {
    std::string text = Trimmed(line);
    return text.size() >= 2 && text.front() == '[' && text.back() == ']' &&
           SameText(Trimmed(text.substr(1, text.size() - 2)), section);
}

bool StartsSection(const std::string &line) { return Trimmed(line).rfind('[', 0) == 0; }

bool IsKeyLine(const std::string &line, const std::string &key, const std::string &value) {
    size_t equals = line.find('=');
    return equals != std::string::npos && SameText(Trimmed(line.substr(0, equals)), key) &&
           SameText(Trimmed(line.substr(equals + 1)), value);
}

// Adds "key=value" after the last line of the section, unless that line is
// there; false when the section is missing.
bool AddKeyLine(std::vector<std::string> &lines, const std::string &section, const std::string &key,
                const std::string &value, bool &added) {
    size_t at = 0;
    while (at < lines.size() && !IsSectionHeader(lines[at], section)) ++at;
    if (at == lines.size()) return false;
    size_t insertAt = at + 1;
    added = false;
    for (size_t i = at + 1; i < lines.size() && !StartsSection(lines[i]); ++i) {
        if (IsKeyLine(lines[i], key, value)) return true;
        if (!Trimmed(lines[i]).empty()) insertAt = i + 1;
    }
    lines.insert(lines.begin() + insertAt, key + "=" + value);
    added = true;
    return true;
}

// Wine and Windows may hold the file in a cache: written back and dropped
// before and after the file is edited line by line.
void DropProfileCache(const std::string &path) { WritePrivateProfileStringA(nullptr, nullptr, nullptr, path.c_str()); }

// One more line for a key that is there already; the profile functions can
// only change the first.
bool AddRepeatedKey(const char *file, const char *section, const char *key, const char *value) {
    std::string path = IniPath(file);
    DropProfileCache(path);
    std::vector<std::string> lines;
    bool added = false;
    if (!ReadTextLines(path, lines) || !AddKeyLine(lines, section, key, value, added)) return false;
    if (!added) return true;
    bool written = WriteTextLines(path, lines);
    DropProfileCache(path);
    if (written) RecordAction("ini", {file, section, key, value});
    return written;
}

bool WriteValue(const char *file, const char *section, const char *key, const char *value) {
    if (!WritePrivateProfileStringA(section, key, value, file)) return false;
    RecordAction("ini", {file, section, key, value});
    return true;
}

bool HasValue(const char *file, const char *section, const char *key, const char *value) {
    char current[1024];
    unsigned length = CbGetIniKeyString(file, section, key, current, sizeof current);
    return FDoesIniKeyExist(file, section, key) && length < sizeof current && std::strcmp(current, value) == 0;
}

}  // namespace
}  // namespace rt

int FCreateIniKeyValue(const char *szFile, const char *szSect, const char *szKey, const char *szValue, int cmo) {
    if (!rt::IsSafeEntry(szFile, szSect, szKey) || !szKey || !szValue || rt::HasControlCharacter(szValue)) return 0;
    if (rt::HasValue(szFile, szSect, szKey, szValue)) return 1;
    if (!(cmo & CMO_REPLACE_VALUE) && FDoesIniKeyExist(szFile, szSect, szKey)) return 1;
    return rt::WriteValue(szFile, szSect, szKey, szValue) ? 1 : 0;
}

int FCreateSysIniKeyValue(const char *szFile, const char *szSect, const char *szKey, const char *szValue, int cmo) {
    const char *file = rt::IsGiven(szFile) ? szFile : rt::kSystemIni;
    if (!rt::IsSafeEntry(file, szSect, szKey) || !szKey || !szValue || rt::HasControlCharacter(szValue)) return 0;
    if ((cmo & CMO_REPLACE_VALUE) || !FDoesIniKeyExist(file, szSect, szKey))
        return FCreateIniKeyValue(file, szSect, szKey, szValue, CMO_REPLACE_VALUE);
    return rt::AddRepeatedKey(file, szSect, szKey, szValue) ? 1 : 0;
}

int FRemoveIniKey(const char *szFile, const char *szSect, const char *szKey, int cmo) {
    (void)cmo;
    if (!rt::IsSafeEntry(szFile, szSect, szKey) || !szKey) return 0;
    if (!FDoesIniKeyExist(szFile, szSect, szKey)) return 1;
    if (!WritePrivateProfileStringA(szSect, szKey, nullptr, szFile)) return 0;
    rt::RecordAction("inidel", {szFile, szSect, szKey});
    return 1;
}

int FRemoveIniSection(const char *szFile, const char *szSect, int cmo) {
    (void)cmo;
    if (!rt::IsSafeEntry(szFile, szSect, nullptr)) return 0;
    if (!FDoesIniSectionExist(szFile, szSect)) return 1;
    if (!WritePrivateProfileStringA(szSect, nullptr, nullptr, szFile)) return 0;
    rt::RecordAction("inidel", {szFile, szSect});
    return 1;
}
