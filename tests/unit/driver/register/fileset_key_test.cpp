// The VersionInfo key of a file set, and keys made with an explicit owner and DACL.
#include "registration_fixture.h"
#include "register/register.h"

#include <sddl.h>

#include <regex>

namespace {

using namespace regtest;

const char kCompanyKey[] = "Software\\RegTest Works";
const char kVersionKey[] = "Software\\RegTest Works\\RegTest Keys\\VersionInfo";

class FileSetKey : public ::testing::Test {
protected:
    void SetUp() override { DeleteKeyTree(HKEY_LOCAL_MACHINE, kCompanyKey); }
    void TearDown() override
    {
        DeleteKeyTree(HKEY_LOCAL_MACHINE, kCompanyKey);
        FreeItems(*si);
    }

    RegValue Value(const char *name) { return ReadValue(HKEY_LOCAL_MACHINE, kVersionKey, name); }
    std::string KeyClass()
    {
        HKEY key;
        char key_class[64] = "";
        DWORD cch = sizeof key_class;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kVersionKey, 0, KEY_READ, &key) == ERROR_SUCCESS) {
            RegQueryInfoKeyA(key, key_class, &cch, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                             nullptr, nullptr);
            RegCloseKey(key);
        }
        return key_class;
    }

    ::testing::AssertionResult HasValue(const char *name, DWORD type, const std::string &data)
    {
        RegValue value = Value(name);
        if (!value.found)
            return ::testing::AssertionFailure() << name << " is missing";
        if (value.type != type || value.data != data)
            return ::testing::AssertionFailure() << name << ": type " << value.type << ", " << value.data.size()
                                                 << " bytes \"" << value.data.c_str() << "\"";
        return ::testing::AssertionSuccess();
    }

    std::unique_ptr<_setup_info> si = NewRecord(PLATFORM_NT, "C:\\usr");
};

TEST_F(FileSetKey, HoldsTheTenValuesWithTheirTypesAndByteCounts)
{
    _fileset_info &fs = AddFileSet(*si, "Base tools", "RegTest Keys");
    ASSERT_EQ(1, CreateFileSetKey(&fs, si.get()));

    EXPECT_TRUE(HasValue("FileSetName", REG_SZ, Sz("Base tools")));
    EXPECT_TRUE(HasValue("SoftwareType", REG_SZ, Sz("application")));
    EXPECT_EQ(12u, Value("SoftwareType").data.size());
    EXPECT_TRUE(HasValue("MajorVersion", REG_SZ, Sz("2")));
    EXPECT_TRUE(HasValue("MinorVersion", REG_SZ, Sz("0")));
    EXPECT_TRUE(HasValue("SubRelease", REG_SZ, Sz("1")));
    EXPECT_TRUE(HasValue("CpuPlatform", REG_SZ, Sz("i386")));
    EXPECT_TRUE(HasValue("SerialNumber", REG_DWORD, std::string(4, '\0')));
    EXPECT_TRUE(HasValue("DestinationPath", REG_SZ, Sz("C:\\usr")));

    // Today, as "Wed, Dec 06 95", and the time of day.
    SYSTEMTIME now;
    GetLocalTime(&now);
    char year[3];
    snprintf(year, sizeof year, "%02d", now.wYear % 100);
    RegValue date = Value("InstallDate");
    EXPECT_EQ(DWORD(REG_SZ), date.type);
    EXPECT_TRUE(std::regex_match(date.data, std::regex(std::string("[A-Z][a-z]{2}, [A-Z][a-z]{2} \\d\\d ") + year +
                                                       std::string(1, '\0'))))
        << date.data;
    RegValue time = Value("InstallTime");
    EXPECT_EQ(DWORD(REG_SZ), time.type);
    EXPECT_TRUE(std::regex_search(time.data, std::regex("^\\d\\d:\\d\\d:\\d\\d"))) << time.data;
    EXPECT_EQ('\0', time.data.back());
}

TEST_F(FileSetKey, EmptyVersionTextsAreOneByteValues)
{
    _fileset_info &fs = AddFileSet(*si, "Base tools", "RegTest Keys");
    fs.major_version[0] = fs.minor_version[0] = fs.release[0] = fs.cpu_type[0] = '\0';
    ASSERT_EQ(1, CreateFileSetKey(&fs, si.get()));
    for (const char *name : {"MajorVersion", "MinorVersion", "SubRelease", "CpuPlatform"})
        EXPECT_TRUE(HasValue(name, REG_SZ, std::string(1, '\0')));
}

const std::vector<std::string> kFileSetAces = {AceText(kAdministrators, KEY_ALL_ACCESS), AceText(kEveryone, KEY_READ)};

TEST_F(FileSetKey, NewKeyOnNtIsAskedForWithAdministratorsOwnerAndTwoAces)
{
    _fileset_info &fs = AddFileSet(*si, "Base tools", "RegTest Keys");
    KeyCreationSpy spy;
    ASSERT_EQ(1, CreateFileSetKey(&fs, si.get()));

    ASSERT_EQ(1u, spy.Calls().size());
    const KeyCreation &call = spy.Calls()[0];
    EXPECT_EQ(kVersionKey, call.path);
    EXPECT_EQ("FILESET INFO", call.key_class);
    ASSERT_TRUE(call.has_descriptor);
    EXPECT_EQ(kAdministrators, call.security.owner);
    EXPECT_EQ(kFileSetAces, call.security.aces);
    EXPECT_EQ("FILESET INFO", KeyClass());
}

TEST_F(FileSetKey, NewKeyOnNtKeepsItsDescriptor)
{
    if (!KeepsDescriptorsOfNewKeys())
        GTEST_SKIP() << "this Wine gives every new key its default descriptor; the descriptor asked for is "
                        "checked by NewKeyOnNtIsAskedForWithAdministratorsOwnerAndTwoAces";
    _fileset_info &fs = AddFileSet(*si, "Base tools", "RegTest Keys");
    ASSERT_EQ(1, CreateFileSetKey(&fs, si.get()));
    KeySecurity security = ReadKeySecurity(HKEY_LOCAL_MACHINE, kVersionKey);
    ASSERT_EQ(0u, security.error);
    EXPECT_EQ(kAdministrators, security.owner);
    EXPECT_EQ(kFileSetAces, security.aces);
}

TEST_F(FileSetKey, NewKeyOnThe95FamilyGetsTheDefaultSecurity)
{
    si->platform = PLATFORM_WIN95;
    _fileset_info &fs = AddFileSet(*si, "Base tools", "RegTest Keys");
    KeyCreationSpy spy;
    ASSERT_EQ(1, CreateFileSetKey(&fs, si.get()));
    ASSERT_EQ(1u, spy.Calls().size());
    EXPECT_FALSE(spy.Calls()[0].has_descriptor);
    EXPECT_EQ("FILESET INFO", KeyClass());
}

TEST_F(FileSetKey, ExistingKeyKeepsItsClassAndSecurityAndGetsNewValues)
{
    HKEY key;
    char other_class[] = "OTHER CLASS";
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, kVersionKey, 0, other_class, 0, KEY_ALL_ACCESS,
                                             nullptr, &key, nullptr));
    RegSetValueExA(key, "FileSetName", 0, REG_SZ, reinterpret_cast<const BYTE *>("old"), 4);
    RegCloseKey(key);
    KeySecurity before = ReadKeySecurity(HKEY_LOCAL_MACHINE, kVersionKey);

    _fileset_info &fs = AddFileSet(*si, "Base tools", "RegTest Keys");
    KeyCreationSpy spy;
    ASSERT_EQ(1, CreateFileSetKey(&fs, si.get()));

    EXPECT_TRUE(spy.Calls().empty());
    EXPECT_EQ("OTHER CLASS", KeyClass());
    KeySecurity after = ReadKeySecurity(HKEY_LOCAL_MACHINE, kVersionKey);
    EXPECT_EQ(before.owner, after.owner);
    EXPECT_EQ(before.aces, after.aces);
    EXPECT_TRUE(HasValue("FileSetName", REG_SZ, Sz("Base tools")));
}

TEST_F(FileSetKey, FileSetsOfOneSoftwareShareTheKeyAndTheLaterWins)
{
    _fileset_info &first = AddFileSet(*si, "Base tools", "RegTest Keys");
    _fileset_info &second = AddFileSet(*si, "More tools", "RegTest Keys");
    snprintf(second.major_version, sizeof second.major_version, "3");
    ASSERT_EQ(1, CreateFileSetKey(&first, si.get()));
    ASSERT_EQ(1, CreateFileSetKey(&second, si.get()));
    EXPECT_TRUE(HasValue("FileSetName", REG_SZ, Sz("More tools")));
    EXPECT_TRUE(HasValue("MajorVersion", REG_SZ, Sz("3")));
}

using FileSetKeyDeathTest = FileSetKey;

TEST_F(FileSetKeyDeathTest, KeyPathBeyondItsBufferStopsNamingTheFileSet)
{
    std::string company(200, 'C');
    snprintf(si->company_name, sizeof si->company_name, "%s", company.c_str());
    _fileset_info &fs = AddFileSet(*si, "Base tools", "A software name that makes the path too long");
    ForgetChildTranscript();
    EXPECT_EXIT(CreateFileSetKey(&fs, si.get()), ::testing::ExitedWithCode(1), "");
    EXPECT_NE(std::string::npos,
              ReadTranscript(true).find(FatalLine("The registration key of the file set Base tools is too long")));
    HKEY key;
    EXPECT_NE(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, ("Software\\" + company).c_str(), 0, KEY_READ, &key));
}

// CreateKeyFromPath: the search-path keys of programs.
const char kDeepKey[] = "Software\\RegTest Works\\Made\\Along\\The Path";

class KeyFromPath : public FileSetKey {};

TEST_F(KeyFromPath, NtKeyAlongANewPathIsAskedForWithTheUserAsOwnerAndTwoAces)
{
    std::string user = CurrentUserSid();
    ASSERT_FALSE(user.empty());
    KeyCreationSpy spy;
    HKEY key = CreateKeyFromPath(si.get(), HKEY_LOCAL_MACHINE, kDeepKey);
    ASSERT_NE(nullptr, key);
    EXPECT_EQ(ERROR_SUCCESS, RegSetValueExA(key, "Probe", 0, REG_SZ, reinterpret_cast<const BYTE *>("x"), 2));
    RegCloseKey(key);

    EXPECT_EQ(Sz("x"), ReadValue(HKEY_LOCAL_MACHINE, kDeepKey, "Probe").data);
    ASSERT_EQ(1u, spy.Calls().size());
    const KeyCreation &call = spy.Calls()[0];
    EXPECT_EQ(kDeepKey, call.path);
    EXPECT_EQ("", call.key_class);
    ASSERT_TRUE(call.has_descriptor);
    EXPECT_EQ(user, call.security.owner);
    EXPECT_EQ((std::vector<std::string>{AceText(user, KEY_ALL_ACCESS), AceText(kAdministrators, KEY_ALL_ACCESS)}),
              call.security.aces);
}

TEST_F(KeyFromPath, NtKeyKeepsItsDescriptor)
{
    if (!KeepsDescriptorsOfNewKeys())
        GTEST_SKIP() << "this Wine gives every new key its default descriptor; the descriptor asked for is "
                        "checked by NtKeyAlongANewPathIsAskedForWithTheUserAsOwnerAndTwoAces";
    HKEY key = CreateKeyFromPath(si.get(), HKEY_LOCAL_MACHINE, kDeepKey);
    ASSERT_NE(nullptr, key);
    RegCloseKey(key);
    std::string user = CurrentUserSid();
    KeySecurity security = ReadKeySecurity(HKEY_LOCAL_MACHINE, kDeepKey);
    ASSERT_EQ(0u, security.error);
    EXPECT_EQ(user, security.owner);
    EXPECT_EQ((std::vector<std::string>{AceText(user, KEY_ALL_ACCESS), AceText(kAdministrators, KEY_ALL_ACCESS)}),
              security.aces);
}

TEST_F(KeyFromPath, ExistingKeyIsOpenedWithItsValuesAndOnThe95FamilyWithoutADescriptor)
{
    HKEY key = CreateKeyFromPath(si.get(), HKEY_LOCAL_MACHINE, kDeepKey);
    ASSERT_NE(nullptr, key);
    RegSetValueExA(key, "Probe", 0, REG_SZ, reinterpret_cast<const BYTE *>("x"), 2);
    RegCloseKey(key);
    si->platform = PLATFORM_WIN95;
    KeyCreationSpy spy;
    key = CreateKeyFromPath(si.get(), HKEY_LOCAL_MACHINE, kDeepKey);
    ASSERT_NE(nullptr, key);
    RegCloseKey(key);
    ASSERT_EQ(1u, spy.Calls().size());
    EXPECT_FALSE(spy.Calls()[0].has_descriptor);
    EXPECT_EQ(Sz("x"), ReadValue(HKEY_LOCAL_MACHINE, kDeepKey, "Probe").data);
}

TEST_F(KeyFromPath, RefusedKeyShowsRegistryAccessErrorAndGivesNoKey)
{
    size_t before = ReadTranscript().size();
    EXPECT_EQ(nullptr, CreateKeyFromPath(si.get(), reinterpret_cast<HKEY>(0x1234), "Nowhere"));
    EXPECT_EQ("msgbox \"Registry access error\" \"Error\" 0 1\n", ReadTranscript().substr(before));
}

TEST(CurrentUserInfo, HoldsTheSidOfTheUserRunningTheInstaller)
{
    PTOKEN_USER user = GetCurrentUserInfo();
    ASSERT_NE(nullptr, user);
    char *sid = nullptr;
    ASSERT_TRUE(ConvertSidToStringSidA(user->User.Sid, &sid));
    EXPECT_EQ(CurrentUserSid(), sid);
    LocalFree(sid);
    LocalFree(user);
}

}  // namespace
