// Helpers of the detection tests: the quiet toolkit's transcript, scratch
// directories and files, list symbols.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "guarded_buffer.h"
#include "quiet_toolkit.h"
#include "test_files.h"

namespace dettest {

using unitcommon::GuardedBuffer;
using unitcommon::ListItems;
using unitcommon::ReadTranscript;
using unitcommon::WriteText;

// A fresh directory per test, removed afterwards. It is named after the
// test, so the child process of a death test finds the same directory.
class ScratchDir : public unitcommon::ScratchDir {
public:
    ScratchDir() : unitcommon::ScratchDir("det_") {}
    // A path below the directory; the directories on the way are made.
    std::string File(const std::string &relative) const;
};

}  // namespace dettest
