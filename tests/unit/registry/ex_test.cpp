// The Ex family: named, typed values below a key of the caller.
#include "regdb_fixture.h"

#include "msregdb.h"
#include "regdb_binding.h"
#include "setupapi.h"

#include <string.h>

using regtest::GuardedBuffer;
using regtest::ReadTranscript;
using regtest::RegistryTest;

namespace {

// The scratch key opened for the test, as a caller of the Ex family holds it.
class OpenKey {
public:
    explicit OpenKey(const std::string &path)
    {
        EXPECT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_ALL_ACCESS, &hKey_));
    }
    ~OpenKey() { RegCloseKey(hKey_); }
    HKEY Get() const { return hKey_; }

private:
    HKEY hKey_ = NULL;
};

// True while the caller's handle still works.
bool HandleUsable(HKEY hKey)
{
    DWORD cSubKeys = 0;
    return RegQueryInfoKeyA(hKey, NULL, NULL, NULL, &cSubKeys, NULL, NULL, NULL, NULL, NULL, NULL,
                            NULL) == ERROR_SUCCESS;
}

}  // namespace

using ExFamily = RegistryTest;

TEST_F(ExFamily, KeysBelowTheCallersKeyLeaveItOpen)
{
    OpenKey parent(Key());
    CreateRegKeyEx(parent.Get(), "Tools\\Ledger");
    EXPECT_TRUE(KeyExists("Tools\\Ledger"));
    EXPECT_EQ(1, DoesRegKeyExistEx(parent.Get(), "Tools\\Ledger"));
    EXPECT_EQ(0, DoesRegKeyExistEx(parent.Get(), "Tools\\Journal"));
    // An empty path names the caller's key itself, which stays the caller's.
    EXPECT_EQ(1, DoesRegKeyExistEx(parent.Get(), ""));
    CreateRegKeyEx(parent.Get(), "");
    EXPECT_TRUE(HandleUsable(parent.Get()));
    EXPECT_TRUE(Reports().empty());
}

TEST_F(ExFamily, TypedValuesRoundTrip)
{
    MakeKey("Settings");
    OpenKey parent(Key());
    DWORD dwCount = 42;
    CreateRegKeyValueEx(parent.Get(), "Settings", "Count", REG_DWORD, &dwCount, sizeof dwCount);
    CreateRegKeyValueEx(HKEY_CLASSES_ROOT, Key("Settings").c_str(), "Name", REG_SZ, "Quorvane", 9);
    SetRegKeyValueEx(parent.Get(), "Settings", "Count", REG_DWORD, &(dwCount = 7), sizeof dwCount);

    DWORD dwType = REG_NONE, dwRead = 0;
    EXPECT_EQ(0, GetRegKeyValueEx(parent.Get(), "Settings", "Count", &dwType, &dwRead, sizeof dwRead));
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), dwType);
    EXPECT_EQ(7u, dwRead);

    GuardedBuffer name(16);
    EXPECT_EQ(0, GetRegKeyValueEx(parent.Get(), "Settings", "Name", &dwType, name.Get(), name.Size()));
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), dwType);
    EXPECT_STREQ("Quorvane", name.Get());
    EXPECT_TRUE(HandleUsable(parent.Get()));
    EXPECT_TRUE(Reports().empty());
}

TEST_F(ExFamily, TextWithoutItsZeroEndsWithinTheBuffer)
{
    CreateRegKeyValueEx(HKEY_CLASSES_ROOT, Key().c_str(), "Raw", REG_SZ, "ABCD", 4);
    GuardedBuffer buf(8);
    DWORD dwType = REG_NONE;
    EXPECT_EQ(0, GetRegKeyValueEx(HKEY_CLASSES_ROOT, Key().c_str(), "Raw", &dwType, buf.Get(), buf.Size()));
    EXPECT_STREQ("ABCD", buf.Get());
    EXPECT_TRUE(buf.CanaryIntact());
}

TEST_F(ExFamily, MissingKeyAnswers1010WithoutAMessage)
{
    GuardedBuffer buf(16);
    DWORD dwType = 0xA5A5A5A5;
    EXPECT_EQ(ERROR_BADKEY, GetRegKeyValueEx(HKEY_CLASSES_ROOT, Key("Nowhere").c_str(), "Value", &dwType,
                                             buf.Get(), buf.Size()));
    EXPECT_EQ(0xA5A5A5A5, dwType);
    EXPECT_TRUE(Reports().empty()) << Reports().front();
}

using ExFamilyDeathTest = RegistryTest;

TEST_F(ExFamilyDeathTest, WritingBelowAMissingKeyFailsAtTheOpen)
{
    EXPECT_EXIT(CreateRegKeyValueEx(HKEY_CLASSES_ROOT, Key("Missing").c_str(), "Value", REG_SZ, "x", 2),
                ::testing::ExitedWithCode(SETUP_ERROR_EXIT_CODE), "");
    EXPECT_NE(std::string::npos, ReadTranscript(true).find("error \"CreateRegKeyValueEx:open\"\n"));
    EXPECT_FALSE(KeyExists("Missing"));

    EXPECT_EXIT(SetRegKeyValueEx(HKEY_CLASSES_ROOT, Key("Missing").c_str(), "Value", REG_SZ, "x", 2),
                ::testing::ExitedWithCode(SETUP_ERROR_EXIT_CODE), "");
    EXPECT_NE(std::string::npos, ReadTranscript(true).find("error \"SetRegKeyValueEx:open\"\n"));
}

TEST_F(ExFamilyDeathTest, MissingValueOfAnExistingKeyFails)
{
    EXPECT_EXIT(
        {
            char buf[16];
            GetRegKeyValueEx(HKEY_CLASSES_ROOT, Key().c_str(), "Absent", NULL, buf, sizeof buf);
        },
        ::testing::ExitedWithCode(SETUP_ERROR_EXIT_CODE), "");
    EXPECT_NE(std::string::npos, ReadTranscript(true).find("error \"GetRegKeyValueEx\"\n"));
}

TEST_F(ExFamilyDeathTest, ValueLongerThanTheBufferIsAnOverflow)
{
    CreateRegKeyValueEx(HKEY_CLASSES_ROOT, Key().c_str(), "Long", REG_BINARY, "123456789", 9);
    EXPECT_EXIT(
        {
            char buf[8];
            GetRegKeyValueEx(HKEY_CLASSES_ROOT, Key().c_str(), "Long", NULL, buf, sizeof buf);
        },
        ::testing::ExitedWithCode(SETUP_ERROR_EXIT_CODE), "");
    std::string transcript = ReadTranscript(true);
    EXPECT_NE(std::string::npos, transcript.find("msgbox \"Buffer Overflow\" \"DU-Ruruz Error\" 16 1\n"))
        << transcript;
    EXPECT_EQ(std::string::npos, transcript.find("error "));
}

TEST_F(ExFamilyDeathTest, TextThatLeavesNoRoomForItsZeroIsAnOverflow)
{
    CreateRegKeyValueEx(HKEY_CLASSES_ROOT, Key().c_str(), "Raw", REG_SZ, "ABCDEFGH", 8);
    EXPECT_EXIT(
        {
            char buf[8];
            GetRegKeyValueEx(HKEY_CLASSES_ROOT, Key().c_str(), "Raw", NULL, buf, sizeof buf);
        },
        ::testing::ExitedWithCode(SETUP_ERROR_EXIT_CODE), "");
    EXPECT_NE(std::string::npos,
              ReadTranscript(true).find("msgbox \"Buffer Overflow\" \"DU-Ruruz Error\" 16 1\n"));
}

TEST_F(ExFamilyDeathTest, MissingOptionalEntryPointIsRefusedNotCalled)
{
    CreateRegKeyValueEx(HKEY_CLASSES_ROOT, Key().c_str(), "Name", REG_SZ, "x", 2);
    EXPECT_EXIT(
        {
            regdb.lpfnRegQueryValueEx = NULL;
            char buf[16];
            GetRegKeyValueEx(HKEY_CLASSES_ROOT, Key().c_str(), "Name", NULL, buf, sizeof buf);
        },
        ::testing::ExitedWithCode(SETUP_ERROR_EXIT_CODE), "");
    std::string transcript = ReadTranscript(true);
    EXPECT_NE(std::string::npos,
              transcript.find("error \"GetRegKeyValueEx: ADVAPI32.DLL lacks RegQueryValueExA\"\n"))
        << transcript;
    EXPECT_NE(std::string::npos, transcript.find("dialog 400 CONTINUE\n"));
}
