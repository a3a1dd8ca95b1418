// inf_fixture.h - the toolkit started quietly with a transcript, a scratch
// directory per test, and helpers for the information-file and copy tests.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "death_test_child.h"
#include "quiet_toolkit.h"
#include "test_files.h"

using unitcommon::CHILD_RETURNED;
using unitcommon::ChildAnswers;
using unitcommon::Exists;
using unitcommon::ForgetChildTranscript;
using unitcommon::ListItems;
using unitcommon::MsgBoxLine;
using unitcommon::Quoted;
using unitcommon::ReadText;
using unitcommon::ReadTranscript;
using unitcommon::WriteText;

// Where the build put readme.txt and its compressed form readme.txt_.
std::string PayloadDir();

// Starts with an empty copy list and billboard list and no open file.
class ScratchTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Writes the text to root\name and opens it, checked; false when refused.
    bool OpenInf(const std::string &text, const std::string &name = "setup.inf");
    // The transcript written since the test began.
    std::string TranscriptSinceStart() const;

    std::string root;  // this test's directory, the same in a death-test child
    size_t transcriptStart = 0;
};

// A file line of 19 fields: name (1), rename (11), size (15), version (19);
// without a key when key is empty.
std::string FileLine(const std::string &key, const std::string &name, const std::string &rename = "",
                     const std::string &size = "", const std::string &version = "");

// A medium in root\src holding the payload (readme.txt and its compressed
// form readme.txt_), and root\dst to install to.
class CopyTest : public ScratchTest {
protected:
    void SetUp() override;

    std::string Src(const std::string &name) const { return src + "\\" + name; }
    std::string Dst(const std::string &name) const { return dst + "\\" + name; }

    std::string src, dst;
    std::string readme;  // the text readme.txt_ expands to
};
