// install_fixture.h - a setup record as start-up leaves it, a medium in a
// scratch directory and the progress window, for the copy phase.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "setup.h"

// Exit code of a death-test child whose statement came back normally.
enum { CHILD_RETURNED = 7 };

// The transcript of this process, or of the last death-test child.
std::string Transcript(bool child = false);
// Deleted before a death test, so a child that never started shows nothing.
void ForgetChildTranscript();
// A message box line as the transcript writes it.
std::string MsgBoxLine(const std::string &text, const std::string &caption, int style, int button);
// The fatal stop of the driver, as the transcript shows it.
std::string FatalLine(const std::string &text, const std::string &title = "Fatal Error");

// Answers for the toolkit of the death-test children started while this
// lives: they run with /a instead of /q.
class ChildAnswers {
public:
    explicit ChildAnswers(const std::string &answers);
    ~ChildAnswers();
};

std::string ReadText(const std::string &path);
void WriteText(const std::string &path, const std::string &content);
bool Exists(const std::string &path);
// Where the build put notes.txt and its compressed form notes.txt_.
std::string PayloadDir();

class InstallTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Writes setup.inf into src_dir (ending in a backslash), takes that as
    // the source, copies the script privately, opens and scans it.
    void UseMedium(const std::string &src_dir, const std::string &script);
    // A script whose set 1 has this body; set 2 must never be reached.
    static std::string SimpleScript(const std::string &body, const std::string &header = "");
    // The script in root\medium\, with the files the test put there.
    void UseSimpleMedium(const std::string &body, const std::string &header = "");
    // Empties drive A:, the floppy drive of the test prefixes.
    static void ClearDriveA();

    std::string Installed(const std::string &relative) { return root + "\\dst\\" + relative; }

    std::string root;  // scratch directory of this test, the same in a death-test child
    std::unique_ptr<_setup_info> si;
};
