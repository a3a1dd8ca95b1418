// Helpers of the registry tests: the quiet toolkit's transcript, and a
// scratch key below HKEY_CLASSES_ROOT per test, made and removed with the
// system's own registry functions.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "guarded_buffer.h"
#include "quiet_toolkit.h"

namespace regtest {

using unitcommon::GuardedBuffer;
using unitcommon::ReadTranscript;

// The transcript's "error" and "msgbox" lines since the fixture began.
std::vector<std::string> ReportsSince(size_t offset);

// Each test works in HKCR\QuorvaneRegDbTest\<suite>.<test>, fresh at the
// start and removed at the end. Paths given to the helpers are relative to it.
class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // "QuorvaneRegDbTest\\Suite.Test\\relative", below HKEY_CLASSES_ROOT.
    std::string Key(const std::string &relative = "") const;
    void MakeKey(const std::string &relative);
    bool KeyExists(const std::string &relative) const;
    // Takes the rights away from everyone until the test ends.
    void DenyRights(const std::string &relative, DWORD rights);
    // The error and message-box lines this test made so far.
    std::vector<std::string> Reports() const { return ReportsSince(transcriptStart_); }

private:
    std::string root_;
    std::vector<std::string> denied_;
    size_t transcriptStart_ = 0;
};

}  // namespace regtest
