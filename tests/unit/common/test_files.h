// Files and directories of the tests: whole files as bytes, and a scratch
// directory per test.
#pragma once

#include <string>

namespace unitcommon {

// The temp directory, with its trailing backslash.
std::string TempDir();

// The whole file; "" when it cannot be read.
std::string ReadText(const std::string &path);
// Replaces the file's bytes, making the directories on the way.
void WriteText(const std::string &path, const std::string &text);
bool Exists(const std::string &path);
bool IsFile(const std::string &path);
bool IsDirectory(const std::string &path);

// <temp><prefix><suite>_<test>, the same in a death-test child as in its
// parent; a parameterised test's slashes become underscores.
std::string ScratchPath(const std::string &prefix);

// A fresh scratch directory, removed afterwards by the parent process only:
// the parent still looks at it after its death-test child has ended.
class ScratchDir {
public:
    explicit ScratchDir(const std::string &prefix);
    ~ScratchDir();
    ScratchDir(const ScratchDir &) = delete;
    ScratchDir &operator=(const ScratchDir &) = delete;

    const std::string &Path() const { return path_; }
    // A path below the directory; nothing is made on the way.
    std::string File(const std::string &relative) const { return path_ + "\\" + relative; }

private:
    std::string path_;
};

}  // namespace unitcommon
