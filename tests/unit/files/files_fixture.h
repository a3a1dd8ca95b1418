// Helpers of the file tests: the quiet toolkit's transcript, scratch
// directories and files.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace filestest {

// True in the child process of a death test.
bool InDeathTestChild();

// The transcript of this process, or of the last death-test child.
std::string TranscriptPath(bool child = false);
std::string ReadTranscript(bool child = false);

// True when the transcript holds this line.
bool HasLine(const std::string &transcript, const std::string &line);

// A fresh directory per test, removed afterwards. It is named after the
// test, so the child process of a death test finds the same directory.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir &) = delete;
    ScratchDir &operator=(const ScratchDir &) = delete;

    const std::string &Path() const { return path_; }
    std::string File(const std::string &name) const { return path_ + "\\" + name; }

private:
    std::string path_;
};

void WriteText(const std::string &path, const std::string &text);
std::string ReadText(const std::string &path);
bool Exists(const std::string &path);

// The path in transcript form: in quotes, backslashes doubled.
std::string Quoted(const std::string &text);

// Restarts the frame in this process with another command line (used in
// death-test children only, which end with the test).
bool RestartFrame(const std::string &options);

}  // namespace filestest
