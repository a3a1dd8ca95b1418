// inf_fixture.h - the toolkit started quietly with a transcript, a scratch
// directory per test, and helpers for the information-file and copy tests.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

// Exit code of a death-test child whose statement came back normally.
enum { CHILD_RETURNED = 7 };

// The transcript of this process, or of the last death-test child.
std::string Transcript(bool child = false);
// Deleted before a death test, so a child that never started shows nothing.
void ForgetChildTranscript();
// A string as the transcript quotes it, and a message box line.
std::string Quoted(const std::string &text);
std::string MsgBoxLine(const std::string &text, const std::string &caption, int style, int button);

std::string ReadText(const std::string &path);
void WriteText(const std::string &path, const std::string &content);
bool Exists(const std::string &path);
// Where the build put readme.txt and its compressed form readme.txt_.
std::string PayloadDir();

// Answers for the toolkit of the death-test children started while this
// lives: they run with /a instead of /q.
class ChildAnswers {
public:
    explicit ChildAnswers(const std::string &answers);
    ~ChildAnswers();
};

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

// The items of a list symbol.
std::vector<std::string> List(const char *symbol);

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
