// copy_list.cpp - the copy list: files added from the setup-information
// file, its listing and its reset.
#include "inf/copy_list.h"

#include <windows.h>

#include "base/common.h"
#include "base/handles.h"
#include "inf/inf_file.h"
#include "setuprt.h"

namespace rt {
namespace {

// The fields of a file line the copy list uses.
enum { kFileName = 1, kRename = 11, kSize = 15, kVersion = 19 };

std::vector<CopyEntry> g_copyList;

// A name below the source or destination directory: not empty, without a
// drive, a leading separator or "..", so a line cannot reach outside the
// directories the caller gave.
bool IsNameBelow(const std::string &name) {
    std::string component;
    for (const char *p = name.c_str();;) {
        if (!*p || *p == '\\' || *p == '/') {
            if (component.empty() || component == "..") return false;
            if (!*p) return true;
            component.clear();
            ++p;
            continue;
        }
        if (*p == ':') return false;
        const char *next = CharNextA(p);
        component.append(p, next);
        p = next;
    }
}

// Empty, or decimal digits of a size that cannot overflow.
bool ReadSize(const std::string &text, long long &size) {
    size = -1;
    if (text.empty()) return true;
    if (text.size() > 15) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    size = std::stoll(text);
    return true;
}

// False when the line names no file that can be copied.
bool MakeEntry(const InfLine &line, const char *source, const char *destination, bool special,
               CopyEntry &entry) {
    const std::string &name = FieldOf(line, kFileName);
    const std::string &rename = FieldOf(line, kRename);
    const std::string &installedName = rename.empty() ? name : rename;
    if (!IsNameBelow(name) || !IsNameBelow(installedName) || !ReadSize(FieldOf(line, kSize), entry.size))
        return false;
    entry.source = FullPath(JoinPath(source, name));
    entry.destination = FullPath(JoinPath(destination, installedName));
    entry.version = FieldOf(line, kVersion);
    entry.special = special;
    return true;
}

// A second file for the same destination replaces the first: the later
// line is the one that counts, and the file is copied and costed once.
void Add(const CopyEntry &entry) {
    for (CopyEntry &listed : g_copyList) {
        if (lstrcmpiA(listed.destination.c_str(), entry.destination.c_str()) == 0) {
            listed = entry;
            return;
        }
    }
    g_copyList.push_back(entry);
}

int AddLines(const std::vector<const InfLine *> &lines, const char *source, const char *destination,
             bool special) {
    if (!source || !destination) return 0;
    std::vector<CopyEntry> entries(lines.size());
    for (size_t i = 0; i < lines.size(); ++i)
        if (!MakeEntry(*lines[i], source, destination, special, entries[i])) return 0;
    for (const CopyEntry &entry : entries) Add(entry);
    return 1;
}

int AddKeyFile(const char *section, const char *key, const char *source, const char *destination,
               bool special) {
    const InfSection *found = OpenSection(section);
    const InfLine *line = found ? FindLine(*found, key) : nullptr;
    return line ? AddLines({line}, source, destination, special) : 0;
}

// A field of the listing, quoted as the setup-information file quotes.
std::string Quoted(const std::string &text) {
    std::string quoted = "\"";
    for (char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

std::string Listing() {
    std::string text = "; copy list: " + std::to_string(g_copyList.size()) + " files\r\n[Copy List]\r\n";
    for (const CopyEntry &entry : g_copyList) {
        text += Quoted(entry.source) + ", " + Quoted(entry.destination) + ", ";
        text += (entry.size >= 0 ? std::to_string(entry.size) : std::string()) + ", ";
        text += Quoted(entry.version) + ", " + (entry.special ? "special" : "") + "\r\n";
    }
    return text;
}

}  // namespace

const std::vector<CopyEntry> &CopyListEntries() { return g_copyList; }

}  // namespace rt

int FAddSectionFilesToCopyList(const char *szSect, const char *szSrc, const char *szDest) {
    const rt::InfSection *section = rt::OpenSection(szSect);
    if (!section) return 0;
    std::vector<const rt::InfLine *> lines;
    for (const rt::InfLine &line : section->lines) lines.push_back(&line);
    return rt::AddLines(lines, szSrc, szDest, false);
}

int FAddSectionKeyFileToCopyList(const char *szSect, const char *szKey, const char *szSrc, const char *szDest) {
    return rt::AddKeyFile(szSect, szKey, szSrc, szDest, false);
}

int FAddSpecialFileToCopyList(const char *szSect, const char *szKey, const char *szSrc, const char *szDest) {
    return rt::AddKeyFile(szSect, szKey, szSrc, szDest, true);
}

int FDumpCopyListToFile(const char *szFile) {
    if (!szFile || !*szFile) return 0;
    rt::FileHandle file(
        CreateFileA(szFile, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsOpen()) return 0;
    std::string text = rt::Listing();
    DWORD written = 0;
    return WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
           written == text.size();
}

void ResetCopyList(void) { rt::g_copyList.clear(); }
