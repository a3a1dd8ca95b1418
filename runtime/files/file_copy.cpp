// file_copy.cpp - copying, appending, removing and backing up single files.
#include <string>

#include "base/common.h"
#include "base/file_paths.h"
#include "base/handles.h"
#include "files/log_file.h"
#include "files/restart_list.h"
#include "setuprt.h"
#include "later_windows.h"

namespace rt {
namespace {

bool AppendBytes(const char *source, const char *destination) {
    FileHandle in(CreateFileA(source, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                              nullptr));
    FileHandle out(CreateFileA(destination, GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!in.IsOpen() || !out.IsOpen()) return false;
    LONG end_high = 0;
    SetLastError(NO_ERROR);
    if (SetFilePointer(out.Get(), 0, &end_high, FILE_END) == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR)
        return false;
    char chunk[64 * 1024];
    DWORD got = 0, written = 0;
    for (;;) {
        if (!ReadFile(in.Get(), chunk, sizeof chunk, &got, nullptr)) return false;
        if (got == 0) return true;
        if (!WriteFile(out.Get(), chunk, got, &written, nullptr) || written != got) return false;
    }
}

// A read-only file is changed only when the caller says so; its attribute
// is cleared for that.
bool MakeChangeable(const char *path, DWORD attributes, int cmo) {
    if (!(attributes & FILE_ATTRIBUTE_READONLY)) return true;
    return (cmo & CMO_FORCE) && SetFileAttributesA(path, attributes & ~FILE_ATTRIBUTE_READONLY);
}

int CopyOver(const char *source, const char *destination, int cmo) {
    DWORD attributes = GetFileAttributesA(destination);
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        if (attributes & FILE_ATTRIBUTE_DIRECTORY) return 0;
        if (!(cmo & CMO_REPLACE_FILE)) return 1;  // kept, as asked
        if (!MakeChangeable(destination, attributes, cmo)) return 0;
    }
    if (CopyFileA(source, destination, FALSE)) {
        RecordAction("copy", {source, destination});
        return 1;
    }
    if (!IsInUseError(GetLastError())) {
        if (attributes != INVALID_FILE_ATTRIBUTES) SetFileAttributesA(destination, attributes);
        return 0;
    }
    return QueueReplacement(source, destination) ? 1 : 0;
}

}  // namespace
}  // namespace rt

int FCopyOneFile(const char *szSrc, const char *szDst, int cmo, int fAppend) {
    using namespace rt;
    // A file onto itself: a copy cannot open it twice, an append would never end.
    if (!IsGiven(szDst) || !IsFile(szSrc ? szSrc : "") || IsSameFile(szSrc, szDst)) return 0;
    if (!fAppend) return CopyOver(szSrc, szDst, cmo);
    if (!AppendBytes(szSrc, szDst)) return 0;
    RecordAction("append", {szSrc, szDst});
    return 1;
}

int YnrcRemoveFile(const char *szFile, int cmo) {
    using namespace rt;
    if (!IsGiven(szFile)) return YNRC_FAILED;
    DWORD attributes = GetFileAttributesA(szFile);
    if (attributes == INVALID_FILE_ATTRIBUTES) return YNRC_DONE;  // nothing to remove
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) || !MakeChangeable(szFile, attributes, cmo)) return YNRC_FAILED;
    if (DeleteFileA(szFile)) {
        RecordAction("remove", {szFile});
        return YNRC_DONE;
    }
    if (IsInUseError(GetLastError()) && QueueRemoval(szFile)) return YNRC_AT_RESTART;
    SetFileAttributesA(szFile, attributes);
    return YNRC_FAILED;
}

int YnrcBackupFile(const char *szFile, const char *szBackup, int cmo) {
    using namespace rt;
    (void)cmo;
    if (!IsGiven(szFile) || !IsPlainName(szBackup) || !IsFile(szFile)) return YNRC_FAILED;
    std::string file = FullPath(szFile);
    std::string backup = JoinPath(ParentOf(file), szBackup);
    if (IsSameFile(file, backup)) return YNRC_DONE;
    if (!MoveFileWithFlags(file.c_str(), backup.c_str(), MOVEFILE_REPLACE_EXISTING)) return YNRC_FAILED;
    RecordAction("backup", {file.c_str(), backup.c_str()});
    return YNRC_DONE;
}
