// directories.cpp - making and removing directories, and whether files and
// directories can be written.
#include <string>

#include "base/common.h"
#include "base/file_paths.h"
#include "base/handles.h"
#include "files/log_file.h"
#include "setuprt.h"

namespace rt {
namespace {

// Makes the directory after its missing parents; each one made is recorded.
bool CreateWithParents(const std::string &dir) {
    if (IsDirectory(dir)) return true;
    std::string parent = ParentOf(dir);
    if (parent.empty() || parent.size() >= dir.size()) return false;
    if (!CreateWithParents(parent)) return false;
    if (!CreateDirectoryA(dir.c_str(), nullptr)) return GetLastError() == ERROR_ALREADY_EXISTS && IsDirectory(dir);
    RecordAction("dir", {dir.c_str()});
    return true;
}

}  // namespace
}  // namespace rt

int FCreateDir(const char *szDir, int cmo) {
    (void)cmo;
    if (!rt::IsGiven(szDir)) return 0;
    std::string dir = rt::WithoutTrailingBackslash(rt::FullPath(szDir));
    return FValidDir(dir.c_str()) && rt::CreateWithParents(dir) ? 1 : 0;
}

int FRemoveDir(const char *szDir, int cmo) {
    (void)cmo;
    if (!rt::IsGiven(szDir)) return 0;
    std::string dir = rt::WithoutTrailingBackslash(rt::FullPath(szDir));
    if (GetFileAttributesA(dir.c_str()) == INVALID_FILE_ATTRIBUTES) return 1;
    if (!RemoveDirectoryA(dir.c_str())) return 0;
    rt::RecordAction("rmdir", {dir.c_str()});
    return 1;
}

int FIsDirWritable(const char *szDir) {
    if (!rt::IsGiven(szDir) || !rt::IsDirectory(szDir)) return 0;
    // Only a file really made there answers for every kind of drive and share.
    std::string probe = rt::MakeUniqueFile(szDir, "wrt");
    if (probe.empty()) return 0;
    DeleteFileA(probe.c_str());
    return 1;
}

int FIsFileWritable(const char *szFile) {
    if (!rt::IsGiven(szFile)) return 0;
    DWORD attributes = GetFileAttributesA(szFile);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)))
        return 0;
    // Opened for writing without changing it: a file in use says no here.
    rt::FileHandle file(CreateFileA(szFile, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file.IsOpen() ? 1 : 0;
}
