// Helpers of the file tests: the quiet toolkit's transcript, scratch
// directories and files.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "quiet_toolkit.h"
#include "test_files.h"

namespace filestest {

using unitcommon::Exists;
using unitcommon::IsDirectory;
using unitcommon::Quoted;
using unitcommon::ReadText;
using unitcommon::ReadTranscript;
using unitcommon::TranscriptPath;
using unitcommon::WriteText;

// True when the transcript holds this line.
bool HasLine(const std::string &transcript, const std::string &line);

// A fresh directory per test, removed afterwards. It is named after the
// test, so the child process of a death test finds the same directory.
class ScratchDir : public unitcommon::ScratchDir {
public:
    ScratchDir() : unitcommon::ScratchDir("files_") {}
};

// Restarts the frame in this process with another command line (used in
// death-test children only, which end with the test).
bool RestartFrame(const std::string &options);

}  // namespace filestest
