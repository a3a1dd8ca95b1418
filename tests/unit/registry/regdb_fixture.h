// Helpers of the registry tests: the quiet toolkit's transcript, and a
// scratch key below HKEY_CLASSES_ROOT per test, made and removed with the
// system's own registry functions.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace regtest {

// The whole transcript of this process, or of the last death-test child.
std::string ReadTranscript(bool child = false);

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

// A buffer filled with 0xA5 and followed by a canary byte.
class GuardedBuffer {
public:
    explicit GuardedBuffer(unsigned size);
    char *Get() { return bytes_.data(); }
    unsigned Size() const { return static_cast<unsigned>(bytes_.size() - 1); }
    bool CanaryIntact() const { return static_cast<unsigned char>(bytes_.back()) == 0x5A; }

private:
    std::vector<char> bytes_;
};

}  // namespace regtest
