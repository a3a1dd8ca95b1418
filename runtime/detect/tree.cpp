// tree.cpp - finding a file anywhere below a directory.
#include <string>

#include "base/common.h"
#include "setuprt.h"

namespace rt {
namespace detect {
namespace {

// Owns a directory search; closing twice is harmless.
class FindHandle {
public:
    explicit FindHandle(HANDLE h) : handle_(h) {}
    FindHandle(const FindHandle &) = delete;
    FindHandle &operator=(const FindHandle &) = delete;
    ~FindHandle() {
        if (IsOpen()) FindClose(handle_);
    }
    bool IsOpen() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return handle_; }

private:
    HANDLE handle_;
};

// A real subdirectory: not "." or "..", and not a link, which may lead back
// up the tree.
bool IsSubdirectory(const WIN32_FIND_DATAA &entry) {
    const std::string name = entry.cFileName;
    return (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
           !(entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) && name != "." && name != "..";
}

// The file in this directory first, then depth first through the
// subdirectories in the order the file system lists them. Paths the ANSI
// functions cannot open end the descent.
std::string FindBelow(const std::string &directory, const char *file) {
    if (directory.size() >= MAX_PATH) return "";
    std::string candidate = JoinPath(directory, file);
    if (IsFile(candidate)) return candidate;
    WIN32_FIND_DATAA entry;
    FindHandle search(FindFirstFileA(JoinPath(directory, "*").c_str(), &entry));
    if (!search.IsOpen()) return "";
    do {
        if (!IsSubdirectory(entry)) continue;
        std::string found = FindBelow(JoinPath(directory, entry.cFileName), file);
        if (!found.empty()) return found;
    } while (FindNextFileA(search.Get(), &entry));
    return "";
}

std::string FindInTree(const char *file, const char *directory) {
    if (!IsGiven(file) || !IsGiven(directory)) return "";
    std::string found = FindBelow(directory, file);
    return found.empty() ? found : FullPath(found);
}

}  // namespace
}  // namespace detect
}  // namespace rt

unsigned CbFindFileInTree(const char *szFile, const char *szDir, char *szBfr, unsigned cbMax) {
    return rt::CopyResult(rt::detect::FindInTree(szFile, szDir), szBfr, cbMax);
}
