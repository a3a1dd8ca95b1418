// Helpers of the shared-file tests: the quiet toolkit, WIN.INI of the prefix
// saved before each test and put back after it, a scratch directory, a
// scratch registry key, and two files with version resources.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "quiet_toolkit.h"

namespace sharedtest {

using unitcommon::ReadTranscript;

// A value of WIN.INI as Windows reads it; "<none>" when the key is missing.
std::string WinIniValue(const char *szSect, const char *szKey);
void SetWinIniValue(const char *szSect, const char *szKey, const std::string &value);
void RemoveWinIniSection(const char *szSect);

// The Windows directory with a trailing backslash, as the module builds paths.
std::string WindowsDir();
std::string SystemDir();

class SharedFileTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A path below the test's scratch directory (made on the way).
    std::string Scratch(const std::string &relative) const;
    // Copies the test file of version 1.0.0.2 ("old") or 1.0.0.10 ("new") to path.
    void PlaceVersionFile(const char *szWhich, const std::string &path);
    void MakeReadOnly(const std::string &path);
    // Sets the default value of HKCR\QuorvaneSharedTest\<name>; returns the key path.
    std::string RegisterPath(const char *szName, const std::string &path);
    // A file placed outside the scratch directory, removed after the test.
    void PlaceElsewhere(const char *szWhich, const std::string &path);

private:
    std::string scratch_;
    std::string savedWinIni_;
    bool hadWinIni_ = false;
    std::vector<std::string> elsewhere_;
};

}  // namespace sharedtest
