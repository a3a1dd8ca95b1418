// copy_install_file.cpp - one file of the copy list onto the disk.
#include <windows.h>
#include <lzexpand.h>

#include "inf/copy_list.h"
#include "base/common.h"
#include "base/handles.h"
#include "setuprt.h"
#include "later_windows.h"

namespace rt {
namespace {

// A source opened for LZCopy: expanded when compressed, read as it is
// otherwise. Opened by CreateFileA, as OpenFile would limit the path to 127
// characters.
class LzSource {
public:
    explicit LzSource(const std::string &path) {
        HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) return;
        handle_ = LZInit(static_cast<HFILE>(reinterpret_cast<INT_PTR>(file)));
        if (handle_ < 0) CloseHandle(file);  // LZInit keeps the file only on success
    }
    LzSource(const LzSource &) = delete;
    LzSource &operator=(const LzSource &) = delete;
    ~LzSource() {
        if (handle_ >= 0) LZClose(handle_);
    }
    bool IsOpen() const { return handle_ >= 0; }
    INT Get() const { return handle_; }

private:
    INT handle_ = -1;
};

// Expansion that stops short of, or runs past, the size in the header means
// a damaged source; it is never counted as installed.
int Expand(const std::string &source, const char *target, long long expectedBytes) {
    LzSource from(source);
    if (!from.IsOpen()) return GRC_SOURCE_UNREADABLE;
    FileHandle to(CreateFileA(target, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!to.IsOpen()) return GRC_DESTINATION_UNWRITABLE;
    LONG bytes = LZCopy(from.Get(), static_cast<HFILE>(reinterpret_cast<INT_PTR>(to.Get())));
    if (bytes == LZERROR_WRITE || bytes == LZERROR_BADOUTHANDLE) return GRC_DESTINATION_UNWRITABLE;
    return bytes < 0 || bytes != expectedBytes ? GRC_SOURCE_DAMAGED : GRC_OKAY;
}

std::string DirectoryOf(const std::string &path) {
    const char *last = nullptr;
    for (const char *p = path.c_str(); *p; p = CharNextA(p))
        if (*p == '\\' || *p == '/') last = p;
    return last ? std::string(path.c_str(), last) : std::string(".");
}

// Every missing directory on the way; the drive root and a network share
// cannot be made and need not be.
bool MakeDirectories(const std::string &directory) {
    for (const char *p = directory.c_str(); *p; p = CharNextA(p))
        if ((*p == '\\' || *p == '/') && p != directory.c_str())
            CreateDirectoryA(std::string(directory.c_str(), p).c_str(), nullptr);
    CreateDirectoryA(directory.c_str(), nullptr);
    return IsDirectory(directory);
}

// The installed file stays writable for the next installation, also when
// the medium made its copy read-only; a read-only file in the way is
// replaced too.
int Replace(const char *temporary, const std::string &destination) {
    SetFileAttributesA(temporary, FILE_ATTRIBUTE_NORMAL);
    DWORD attributes = GetFileAttributesA(destination.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        SetFileAttributesA(destination.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    return MoveFileWithFlags(temporary, destination.c_str(), MOVEFILE_REPLACE_EXISTING) ? GRC_OKAY
                                                                                   : GRC_DESTINATION_UNWRITABLE;
}

// The temporary file exists, so a file not found is the source.
int CopyFailure(DWORD error) {
    bool sourceGone = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    return sourceGone ? GRC_SOURCE_UNREADABLE : GRC_DESTINATION_UNWRITABLE;
}

// 1 when a is the newer version, -1 when b is, 0 when the four fields agree.
int CompareVersions(const char *a, const char *b) {
    for (int field = 1; field <= 4; ++field) {
        long left = LGetVersionNthField(a, field), right = LGetVersionNthField(b, field);
        if (left != right) return left > right ? 1 : -1;
    }
    return 0;
}

}  // namespace

bool KeepsInstalledFile(const CopyEntry &entry) {
    if (entry.special || entry.version.empty()) return false;
    char installed[64];
    unsigned length = CbGetVersionOfFile(entry.destination.c_str(), installed, sizeof installed);
    if (length == 0 || length >= sizeof installed) return false;
    return CompareVersions(installed, entry.version.c_str()) > 0;
}

int InstallFile(const CopyEntry &entry, const SourceFacts &source) {
    if (!source.readable) return GRC_SOURCE_UNREADABLE;
    std::string directory = DirectoryOf(entry.destination);
    char temporary[MAX_PATH];
    if (!MakeDirectories(directory) || !GetTempFileNameA(directory.c_str(), "qvc", 0, temporary))
        return GRC_DESTINATION_UNWRITABLE;
    int grc = GRC_OKAY;
    if (source.compressed)
        grc = Expand(entry.source, temporary, source.bytes);
    else if (!CopyFileA(entry.source.c_str(), temporary, FALSE))
        grc = CopyFailure(GetLastError());
    if (grc == GRC_OKAY) grc = Replace(temporary, entry.destination);
    if (grc != GRC_OKAY) DeleteFileA(temporary);
    return grc;
}

}  // namespace rt
