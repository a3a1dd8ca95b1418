// file_paths.cpp - pieces of full paths, stepping by character so the trail
// byte of a double-byte character is never taken for a backslash.
#include "base/file_paths.h"

#include <windows.h>

#include <cstring>

#include "base/common.h"
#include "base/handles.h"
#include "later_windows.h"

namespace rt {
namespace {

// The last backslash in the text, or null.
const char *LastBackslash(const char *text) {
    const char *last = nullptr;
    for (const char *p = text; *p; p = CharNextA(p))
        if (*p == '\\') last = p;
    return last;
}

bool IsRoot(const std::string &path) { return path.size() == 3 && path[1] == ':' && path[2] == '\\'; }

}  // namespace

std::string FileNameOf(const std::string &path) {
    const char *name = path.c_str();
    for (const char *p = name; *p; p = CharNextA(p))
        if (*p == '\\' || *p == '/' || *p == ':') name = p + 1;
    return name;
}

std::string ParentOf(const std::string &path) {
    const char *last = LastBackslash(path.c_str());
    if (!last) return "";
    std::string parent(path.c_str(), last - path.c_str());
    return parent.size() == 2 && parent[1] == ':' ? parent + "\\" : parent;
}

std::string WithoutTrailingBackslash(const std::string &path) {
    const char *last = LastBackslash(path.c_str());
    if (!last || last[1] != '\0' || IsRoot(path)) return path;
    return path.substr(0, path.size() - 1);
}

bool IsPlainName(const char *name) {
    if (!name || !*name || std::strspn(name, ".") == std::strlen(name)) return false;
    for (const char *p = name; *p; p = CharNextA(p)) {
        unsigned char c = static_cast<unsigned char>(*p);
        if (CharNextA(p) == p + 1 && (c < 0x20 || std::strchr("\\/:<>\"|?*", c))) return false;
    }
    return true;
}

std::string MakeUniqueFile(const std::string &dir, const char *prefix) {
    // GetTempFileName is not used: some systems report success even when the
    // file could not be made.
    DWORD number = GetTickCount() ^ (GetCurrentProcessId() << 16);
    for (int tries = 0; tries < 100; ++tries, ++number) {
        std::string path = JoinPath(dir, prefix + std::to_string(number & 0xFFFF) + ".tmp");
        FileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                    nullptr));
        if (file.IsOpen()) return path;
        if (GetLastError() != ERROR_FILE_EXISTS) return "";
    }
    return "";
}

namespace {

bool FileIdentity(const std::string &path, BY_HANDLE_FILE_INFORMATION &info) {
    FileHandle file(CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | ShareDeleteWhereKnown(),
                                nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return file.IsOpen() && GetFileInformationByHandle(file.Get(), &info);
}

}  // namespace

bool IsSameFile(const std::string &a, const std::string &b) {
    if (lstrcmpiA(FullPath(a).c_str(), FullPath(b).c_str()) == 0) return true;
    BY_HANDLE_FILE_INFORMATION infoA, infoB;
    return FileIdentity(a, infoA) && FileIdentity(b, infoB) &&
           infoA.dwVolumeSerialNumber == infoB.dwVolumeSerialNumber &&
           infoA.nFileIndexHigh == infoB.nFileIndexHigh && infoA.nFileIndexLow == infoB.nFileIndexLow;
}

}  // namespace rt
