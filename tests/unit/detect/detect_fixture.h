// Helpers of the detection tests: the quiet toolkit's transcript, scratch
// directories and files, list symbols.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace dettest {

// The transcript of this process, or of the last death-test child.
std::string ReadTranscript(bool child = false);

// A fresh directory per test, removed afterwards. It is named after the
// test, so the child process of a death test finds the same directory.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir &) = delete;
    ScratchDir &operator=(const ScratchDir &) = delete;

    const std::string &Path() const { return path_; }
    // A path below the directory; the directories on the way are made.
    std::string File(const std::string &relative) const;

private:
    std::string path_;
};

void WriteText(const std::string &path, const std::string &text);

// Every item of a list symbol, in order.
std::vector<std::string> ListItems(const char *szSymbol);

// A buffer filled with 0xA5 and followed by a canary byte, to see what a
// call wrote and that it wrote nothing beyond the size it was given.
class GuardedBuffer {
public:
    explicit GuardedBuffer(unsigned size);
    char *Get() { return bytes_.data(); }
    unsigned Size() const { return static_cast<unsigned>(bytes_.size() - 1); }
    bool CanaryIntact() const { return static_cast<unsigned char>(bytes_.back()) == kCanary; }

    static constexpr unsigned char kFill = 0xA5;
    static constexpr unsigned char kCanary = 0x5A;

private:
    std::vector<char> bytes_;
};

}  // namespace dettest
