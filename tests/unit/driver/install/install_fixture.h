// install_fixture.h - a setup record as start-up leaves it, a medium in a
// scratch directory and the progress window, for the copy phase.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "death_test_child.h"
#include "log/log_lines.h"
#include "quiet_toolkit.h"
#include "base/setup_info.h"
#include "test_files.h"

using unitcommon::CHILD_RETURNED;
using unitcommon::ChildAnswers;
using unitcommon::Exists;
using unitcommon::FatalLine;
using unitcommon::ForgetChildTranscript;
using unitcommon::MsgBoxLine;
using unitcommon::ReadText;
using unitcommon::ReadTranscript;
using unitcommon::WriteText;

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

    // Set 1 keeps an installation log, as the software "Tools"; after
    // the medium is scanned.
    void LogSetOne();
    // The records of installed files in that log.
    std::vector<log_record> LoggedFiles();

    std::string Installed(const std::string &relative) { return root + "\\dst\\" + relative; }
    // The names in the destination directory, sorted: what a run leaves.
    std::vector<std::string> InstalledNames() const;

    std::string root;  // scratch directory of this test, the same in a death-test child
    std::unique_ptr<_setup_info> si;
};
