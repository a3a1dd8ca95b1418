// existence.cpp - path checks and the existence of files and directories.
#include <cstring>

#include "base/common.h"
#include "setuprt.h"

namespace {

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

bool IsForbidden(unsigned char c) {
    return c < 0x20 || std::strchr("<>\"|*?", c) != nullptr;
}

// The first backslash at or after p, stepping by character; null if none.
const char *FindBackslash(const char *p) {
    for (; *p; p = CharNextA(p))
        if (*p == '\\') return p;
    return nullptr;
}

// "\\server\share...": both names present.
bool IsWellFormedUnc(const char *path) {
    const char *server = path + 2;
    const char *share = FindBackslash(server);
    return share && share != server && share[1] != '\0' && share[1] != '\\';
}

}  // namespace

int FValidPath(const char *szPath) {
    if (!szPath || !*szPath || std::strlen(szPath) >= MAX_PATH) return 0;
    int position = 0;
    for (const char *p = szPath; *p; p = CharNextA(p), ++position) {
        // Only a single-byte character can be one of the forbidden ones; the
        // trail byte of a double-byte character may look like '|' or '\'.
        bool singleByte = CharNextA(p) == p + 1;
        if (!singleByte) continue;
        if (IsForbidden(static_cast<unsigned char>(*p))) return 0;
        if (*p == ':' && !(position == 1 && IsLetter(szPath[0]))) return 0;
    }
    if (szPath[0] == '\\' && szPath[1] == '\\') return IsWellFormedUnc(szPath) ? 1 : 0;
    return 1;
}

int FDoesFileExist(const char *szFile, int mode) {
    (void)mode;  // reserved
    if (!szFile || !*szFile) return 0;
    return rt::IsFile(szFile);
}

int FDirExists(const char *szDir) {
    if (!szDir || !*szDir) return 0;
    return rt::IsDirectory(szDir);
}
