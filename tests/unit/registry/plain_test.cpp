// The plain family: keys below HKEY_CLASSES_ROOT and their default value.
#include "regdb_fixture.h"

#include "msregdb.h"
#include "setupapi.h"

#include <string.h>

using regtest::GuardedBuffer;
using regtest::ReadTranscript;
using regtest::RegistryTest;

namespace {

// The default value as the system reads it, with its type and byte count.
struct StoredValue {
    DWORD type = REG_NONE;
    std::string data;
};

StoredValue ReadDefaultValue(const std::string &key)
{
    StoredValue value;
    HKEY hKey;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return value;
    char data[256];
    DWORD cb = sizeof data;
    if (RegQueryValueExA(hKey, NULL, NULL, &value.type, reinterpret_cast<BYTE *>(data), &cb) == ERROR_SUCCESS)
        value.data.assign(data, cb);
    RegCloseKey(hKey);
    return value;
}

}  // namespace

using PlainFamily = RegistryTest;

TEST_F(PlainFamily, CreateRegKeyMakesTheWholePath)
{
    EXPECT_EQ(0, DoesRegKeyExist(Key("Tool\\shell\\open").c_str()));
    CreateRegKey(Key("Tool\\shell\\open").c_str());
    EXPECT_TRUE(KeyExists("Tool\\shell\\open"));
    EXPECT_EQ(1, DoesRegKeyExist(Key("Tool\\shell\\open").c_str()));
    // Making it again is no failure.
    CreateRegKey(Key("Tool\\shell\\open").c_str());
    EXPECT_TRUE(Reports().empty());
}

TEST_F(PlainFamily, DefaultValueIsStoredAsTextWithItsZero)
{
    CreateRegKeyValue(Key("Quorvane.Ledger").c_str(), "Quorvane Ledger");
    StoredValue stored = ReadDefaultValue(Key("Quorvane.Ledger"));
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), stored.type);
    EXPECT_EQ(std::string("Quorvane Ledger", 16), stored.data);

    SetRegKeyValue(Key("Quorvane.Ledger").c_str(), "Ledger 2");
    char buf[64];
    EXPECT_STREQ("Ledger 2", GetRegKeyValue(Key("Quorvane.Ledger").c_str(), buf, sizeof buf));
    EXPECT_TRUE(Reports().empty());
}

TEST_F(PlainFamily, MissingKeyReadsAsEmptyWithoutAMessage)
{
    GuardedBuffer buf(16);
    EXPECT_EQ(buf.Get(), GetRegKeyValue(Key("Nowhere").c_str(), buf.Get(), buf.Size()));
    EXPECT_STREQ("", buf.Get());
    EXPECT_TRUE(buf.CanaryIntact());
    EXPECT_EQ(0, DoesRegKeyExist(Key("Nowhere").c_str()));
    EXPECT_FALSE(KeyExists("Nowhere"));
    EXPECT_TRUE(Reports().empty()) << Reports().front();
}

TEST_F(PlainFamily, KeyWithoutDefaultValueReadsAsEmpty)
{
    MakeKey("Bare");
    GuardedBuffer buf(16);
    EXPECT_STREQ("", GetRegKeyValue(Key("Bare").c_str(), buf.Get(), buf.Size()));
    EXPECT_TRUE(Reports().empty());
}

TEST_F(PlainFamily, ValueThatFillsTheBufferExactlyIsReturned)
{
    CreateRegKeyValue(Key("Seven").c_str(), "1234567");
    GuardedBuffer buf(8);
    EXPECT_STREQ("1234567", GetRegKeyValue(Key("Seven").c_str(), buf.Get(), buf.Size()));
    EXPECT_TRUE(buf.CanaryIntact());
}

TEST_F(PlainFamily, TextStoredWithoutItsZeroIsTerminated)
{
    HKEY hKey;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CLASSES_ROOT, Key().c_str(), 0, KEY_WRITE, &hKey));
    RegSetValueExA(hKey, NULL, 0, REG_SZ, reinterpret_cast<const BYTE *>("ABC"), 3);
    RegCloseKey(hKey);
    GuardedBuffer buf(8);
    EXPECT_STREQ("ABC", GetRegKeyValue(Key().c_str(), buf.Get(), buf.Size()));
}

using PlainFamilyDeathTest = RegistryTest;

TEST_F(PlainFamilyDeathTest, ValueLongerThanTheBufferIsAnOverflow)
{
    CreateRegKeyValue(Key("Eight").c_str(), "12345678");
    EXPECT_EXIT(
        {
            char buf[8];
            GetRegKeyValue(Key("Eight").c_str(), buf, sizeof buf);
        },
        ::testing::ExitedWithCode(SETUP_ERROR_EXIT_CODE), "");
    std::string transcript = ReadTranscript(true);
    size_t box = transcript.find("msgbox \"Buffer Overflow\" \"DU-Ruruz Error\" 16 1\n");
    ASSERT_NE(std::string::npos, box) << transcript;
    EXPECT_NE(std::string::npos, transcript.find("dialog 400 CONTINUE\n", box));
    EXPECT_EQ(std::string::npos, transcript.find("error "));
}

TEST_F(PlainFamilyDeathTest, FailedWriteIsReportedByItsLabel)
{
    // A key that refuses new values cannot take a default value.
    MakeKey("Locked");
    DenyRights("Locked", KEY_SET_VALUE);
    EXPECT_EXIT(SetRegKeyValue(Key("Locked").c_str(), "x"), ::testing::ExitedWithCode(SETUP_ERROR_EXIT_CODE), "");
    std::string transcript = ReadTranscript(true);
    size_t error = transcript.find("error \"SetRegKeyValue\"\n");
    ASSERT_NE(std::string::npos, error) << transcript;
    EXPECT_NE(std::string::npos, transcript.find("msgbox \"SetRegKeyValue\" \"Setup Error\" 16 1\n", error));
    EXPECT_NE(std::string::npos, transcript.find("dialog 400 CONTINUE\n", error));
}
