// The toolkit as the unit tests run it: started once per test program,
// before the first test, with a transcript the tests read back.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace unitcommon {

// Starts the toolkit with /q and the transcript <temp><name>_<process id>.txt;
// a death-test child writes <temp><name>_child.txt instead, which its parent
// reads after EXPECT_EXIT. While a ChildAnswers lives, the children take its
// answers (/a) instead of running quietly.
class QuietToolkit : public ::testing::Environment {
public:
    explicit QuietToolkit(const std::string &name);
    void SetUp() override;
};

// The transcript of this process, or of the last death-test child.
std::string TranscriptPath(bool child = false);
std::string ReadTranscript(bool child = false);
// Deleted before a death test, so a child that never started shows nothing.
void ForgetChildTranscript();

// Answers for the death-test children started while this lives.
class ChildAnswers {
public:
    explicit ChildAnswers(const std::string &answers);
    ~ChildAnswers();
    ChildAnswers(const ChildAnswers &) = delete;
    ChildAnswers &operator=(const ChildAnswers &) = delete;
};

// A text as the transcript quotes it.
std::string Quoted(const std::string &text);
// A message box answered with button, as the transcript writes it.
std::string MsgBoxLine(const std::string &text, const std::string &caption, int style, int button);
// The driver's fatal stop, answered OK.
std::string FatalLine(const std::string &text, const std::string &title = "Fatal Error");

// Every item of a list symbol, in order.
std::vector<std::string> ListItems(const char *symbol);

}  // namespace unitcommon
