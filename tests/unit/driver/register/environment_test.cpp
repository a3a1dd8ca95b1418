// The search path and variables of a file set: the system environment in
// the registry on NT, the toolkit on the 95 family, and the App Paths
// search paths of programs.
#include "registration_fixture.h"
#include "register/register.h"

#include "setuprt.h"

namespace {

using namespace regtest;

class NtEnvironment : public ::testing::Test {
protected:
    void TearDown() override { FreeItems(*si); }

    void SetPath(DWORD type, const std::string &text)
    {
        HKEY key;
        ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, kEnvironmentKey, 0, KEY_SET_VALUE, &key));
        RegSetValueExA(key, "Path", 0, type, reinterpret_cast<const BYTE *>(text.c_str()),
                       static_cast<DWORD>(text.size() + 1));
        RegCloseKey(key);
    }
    RegValue Stored(const char *name) { return ReadValue(HKEY_LOCAL_MACHINE, kEnvironmentKey, name); }

    // The prefix's own values come back whatever the test does.
    SavedValue saved_path{HKEY_LOCAL_MACHINE, kEnvironmentKey, "Path"};
    SavedValue saved_home{HKEY_LOCAL_MACHINE, kEnvironmentKey, "REGTEST_HOME"};
    SavedValue saved_mode{HKEY_LOCAL_MACHINE, kEnvironmentKey, "REGTEST_MODE"};
    std::unique_ptr<_setup_info> si = NewRecord(PLATFORM_NT, "C:\\APP");
    _fileset_info &fs = AddFileSet(*si, "Base tools", "RegTest Env");
};

TEST_F(NtEnvironment, NewDirectoriesGoInFrontInReverseOrderOnce)
{
    SetPath(REG_SZ, "C:\\usr\\bin2;C:\\tools\\bin");
    AddPath(fs, "bin");
    AddPath(fs, "\\tools");
    AddPath(fs, "bin");
    AddPath(fs, "");  // names no directory: skipped
    EXPECT_EQ(1, CreateEnvironmentRegistry(&fs, si.get()));

    RegValue path = Stored("Path");
    EXPECT_EQ(DWORD(REG_EXPAND_SZ), path.type);
    EXPECT_EQ(Sz("\\tools;C:\\APP\\bin;C:\\usr\\bin2;C:\\tools\\bin"), path.data);
}

TEST_F(NtEnvironment, EntryWithADriveIsTakenAsItStands)
{
    SetPath(REG_SZ, "C:\\x");
    AddPath(fs, "D:\\tools");
    AddPath(fs, "e:bin");
    EXPECT_EQ(1, CreateEnvironmentRegistry(&fs, si.get()));
    EXPECT_EQ(Sz("e:bin;D:\\tools;C:\\x"), Stored("Path").data);
}

TEST_F(NtEnvironment, DirectoryAlreadyAnElementIsSkippedWhateverItsCaseOrTrailingBackslash)
{
    SetPath(REG_EXPAND_SZ, "C:\\x;c:\\app\\BIN\\;C:\\y");
    AddPath(fs, "bin");
    EXPECT_EQ(1, CreateEnvironmentRegistry(&fs, si.get()));
    EXPECT_EQ(Sz("C:\\x;c:\\app\\BIN\\;C:\\y"), Stored("Path").data);
}

TEST_F(NtEnvironment, ExpandedFormIsSearchedToo)
{
    SetEnvironmentVariableA("REGTEST_ROOT", "C:\\APP");
    SetPath(REG_EXPAND_SZ, "%REGTEST_ROOT%\\bin;C:\\x");
    AddPath(fs, "bin");
    AddPath(fs, "lib");
    EXPECT_EQ(1, CreateEnvironmentRegistry(&fs, si.get()));
    SetEnvironmentVariableA("REGTEST_ROOT", nullptr);

    RegValue path = Stored("Path");
    EXPECT_EQ(DWORD(REG_EXPAND_SZ), path.type);
    EXPECT_EQ(Sz("C:\\APP\\lib;%REGTEST_ROOT%\\bin;C:\\x"), path.data);
}

TEST_F(NtEnvironment, WithoutEntriesPathIsWrittenBackUnchangedAsExpandable)
{
    SetPath(REG_SZ, "C:\\x;C:\\y");
    EXPECT_EQ(1, CreateEnvironmentRegistry(&fs, si.get()));
    RegValue path = Stored("Path");
    EXPECT_EQ(DWORD(REG_EXPAND_SZ), path.type);
    EXPECT_EQ(Sz("C:\\x;C:\\y"), path.data);
}

TEST_F(NtEnvironment, VariablesAreWrittenAsStringsWithTheirTerminators)
{
    AddVariable(fs, "REGTEST_HOME", "C:\\regtest");
    AddVariable(fs, "REGTEST_MODE", "");
    EXPECT_EQ(1, CreateEnvironmentRegistry(&fs, si.get()));

    RegValue home = Stored("REGTEST_HOME");
    EXPECT_EQ(DWORD(REG_SZ), home.type);
    EXPECT_EQ(Sz("C:\\regtest"), home.data);
    RegValue mode = Stored("REGTEST_MODE");
    EXPECT_EQ(DWORD(REG_SZ), mode.type);
    EXPECT_EQ(std::string(1, '\0'), mode.data);
}

using NtEnvironmentDeathTest = NtEnvironment;

TEST_F(NtEnvironmentDeathTest, MissingPathValueStops)
{
    ForgetChildTranscript();
    EXPECT_EXIT(
        {
            HKEY key;
            RegOpenKeyExA(HKEY_LOCAL_MACHINE, kEnvironmentKey, 0, KEY_SET_VALUE, &key);
            RegDeleteValueA(key, "Path");
            RegCloseKey(key);
            CreateEnvironmentRegistry(&fs, si.get());
        },
        ::testing::ExitedWithCode(1), "");
    EXPECT_NE(std::string::npos, ReadTranscript(true).find(FatalLine("Error Querying Path registry")));
}

// The system keeps a variable of 32,767 characters with its terminator.
TEST_F(NtEnvironmentDeathTest, PathNeverGrowsBeyondWhatTheSystemKeeps)
{
    AddPath(fs, "bin");  // C:\APP\bin and its separator: 11 characters
    const std::string fits = "C:\\" + std::string(32766 - 11 - 3, 'p');
    SetPath(REG_EXPAND_SZ, fits);
    EXPECT_EQ(1, CreateEnvironmentRegistry(&fs, si.get()));
    EXPECT_EQ(32766u, Stored("Path").data.size() - 1);

    const std::string too_long = fits + "q";
    for (bool expanded : {false, true}) {
        SCOPED_TRACE(expanded ? "expanded" : "stored");
        // The expanded form counts as well: it is what a process gets.
        SetEnvironmentVariableA("REGTEST_LONG", too_long.c_str());
        const std::string stored = expanded ? "%REGTEST_LONG%" : too_long;
        SetPath(REG_EXPAND_SZ, stored);
        ForgetChildTranscript();
        EXPECT_EXIT(CreateEnvironmentRegistry(&fs, si.get()), ::testing::ExitedWithCode(1), "");
        EXPECT_NE(std::string::npos,
                  ReadTranscript(true).find(FatalLine("The search path cannot take C:\\APP\\bin: Path would be "
                                                      "longer than 32766 characters. Path is left unchanged.")));
        EXPECT_EQ(Sz(stored), Stored("Path").data);
    }
    SetEnvironmentVariableA("REGTEST_LONG", nullptr);
}

// The 95 family: search-path entries and variables through the toolkit.
class Win95Environment : public BatchEnvironmentTest {
protected:
    void TearDown() override
    {
        BatchEnvironmentTest::TearDown();
        FreeItems(*si);
    }

    std::unique_ptr<_setup_info> si = NewRecord(PLATFORM_WIN95, "C:\\APP");
    _fileset_info &fs = AddFileSet(*si, "Base tools", "RegTest Env");
};

// A relative entry lies below the destination, as on NT.
TEST_F(Win95Environment, EntriesReachTheToolkitJoinedWithTheDestination)
{
    DeleteFileA("C:\\AUTOEXEC.BAT");
    AddPath(fs, "bin");
    AddPath(fs, "\\tools");
    AddVariable(fs, "REGTEST_HOME", "C:\\regtest");
    size_t before = ReadTranscript().size();
    EXPECT_EQ(1, SetEnvironmentVars(&fs, si.get()));

    EXPECT_EQ("SET PATH=%PATH%;C:\\APP\\bin;\\tools\r\nSET REGTEST_HOME=C:\\regtest\r\n",
              ReadText("C:\\AUTOEXEC.BAT"));
    EXPECT_EQ("envvar \"PATH\" \"C:\\\\APP\\\\bin\" 4096\n"
              "envvar \"PATH\" \"\\\\tools\" 4096\n"
              "envvar \"REGTEST_HOME\" \"C:\\\\regtest\" 1024\n",
              ReadTranscript().substr(before));
    char home[64] = "";
    GetEnvironmentVariableA("REGTEST_HOME", home, sizeof home);
    EXPECT_STREQ("C:\\regtest", home);
}

using Win95EnvironmentDeathTest = Win95Environment;

TEST_F(Win95EnvironmentDeathTest, VariableTheToolkitRefusesStopsNamingIt)
{
    AddVariable(fs, "REGTEST_HOME", "two\nlines");
    ForgetChildTranscript();
    EXPECT_EXIT(SetEnvironmentVars(&fs, si.get()), ::testing::ExitedWithCode(1), "");
    EXPECT_NE(std::string::npos,
              ReadTranscript(true).find(FatalLine("Error setting the environment variable REGTEST_HOME")));
}

TEST_F(Win95EnvironmentDeathTest, SearchPathLineBeyondTheInterpreterStopsSayingSo)
{
    const std::string line = "SET PATH=" + std::string(ENV_LONGEST_BATCH_LINE - 9 - 2, 'p');
    WriteText("C:\\AUTOEXEC.BAT", line + "\r\n");
    AddPath(fs, "bin");
    ForgetChildTranscript();
    EXPECT_EXIT(SetEnvironmentVars(&fs, si.get()), ::testing::ExitedWithCode(1), "");
    EXPECT_NE(std::string::npos,
              ReadTranscript(true).find(FatalLine(
                  "Error adding bin to the search path: its line in AUTOEXEC.BAT would be longer than the 1023 "
                  "characters that the command interpreter reads. AUTOEXEC.BAT and the environment are left as "
                  "they were.")));
    EXPECT_EQ(line + "\r\n", ReadText("C:\\AUTOEXEC.BAT"));
}

// App Paths: the search path of each program on the 95 family.
const char kAppPaths[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";

class SearchPath : public ::testing::Test {
protected:
    void SetUp() override { DeleteKeys(); }
    void TearDown() override
    {
        DeleteKeys();
        FreeItems(*si);
    }
    static void DeleteKeys()
    {
        for (const char *name : {"REGTOOL.EXE", "regtool", "regtool2.exe", "regtool3.exe"})
            DeleteKeyTree(HKEY_LOCAL_MACHINE, std::string(kAppPaths) + name);
    }
    RegValue AppPath(const char *name) { return ReadValue(HKEY_LOCAL_MACHINE, std::string(kAppPaths) + name, "Path"); }

    std::unique_ptr<_setup_info> si = NewRecord(PLATFORM_WIN95, "C:\\APP");
    _fileset_info &fs = AddFileSet(*si, "Base tools", "RegTest Env");
};

TEST_F(SearchPath, EveryEntryEndsInASemicolonAndOnlyRelativeOnesAreJoinedToTheDestination)
{
    AddPath(fs, "bin");
    AddPath(fs, "\\tools");
    AddPath(fs, "D:\\lib");
    EXPECT_EQ(1, SetSearchPath(si.get(), &fs, "C:\\APP\\bin\\REGTOOL.EXE"));
    RegValue path = AppPath("REGTOOL.EXE");
    EXPECT_EQ(DWORD(REG_SZ), path.type);
    EXPECT_EQ(Sz("C:\\APP\\bin;\\tools;D:\\lib;"), path.data);
    EXPECT_FALSE(ReadValue(HKEY_LOCAL_MACHINE, std::string(kAppPaths) + "REGTOOL.EXE", "").found);
}

TEST_F(SearchPath, KeyIsNamedByTheLastComponentOfTheProgram)
{
    AddPath(fs, "bin");
    SetSearchPath(si.get(), &fs, "C:\\APP\\bin\\regtool");
    SetSearchPath(si.get(), &fs, "A:regtool2.exe");
    SetSearchPath(si.get(), &fs, "C:/APP/regtool3.exe");
    for (const char *name : {"regtool", "regtool2.exe", "regtool3.exe"})
        EXPECT_EQ(Sz("C:\\APP\\bin;"), AppPath(name).data) << name;
}

TEST_F(SearchPath, ExistingListIsReplaced)
{
    AddPath(fs, "bin");
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, (std::string(kAppPaths) + "REGTOOL.EXE").c_str(), 0,
                                             nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr));
    RegSetValueExA(key, "Path", 0, REG_SZ, reinterpret_cast<const BYTE *>("D:\\old;"), 8);
    RegCloseKey(key);
    SetSearchPath(si.get(), &fs, "C:\\APP\\REGTOOL.EXE");
    EXPECT_EQ(Sz("C:\\APP\\bin;"), AppPath("REGTOOL.EXE").data);
}

TEST_F(SearchPath, WithoutEntriesNothingIsWritten)
{
    EXPECT_EQ(1, SetSearchPath(si.get(), &fs, "C:\\APP\\REGTOOL.EXE"));
    HKEY key;
    EXPECT_NE(ERROR_SUCCESS,
              RegOpenKeyExA(HKEY_LOCAL_MACHINE, (std::string(kAppPaths) + "REGTOOL.EXE").c_str(), 0, KEY_READ, &key));
}

using SearchPathDeathTest = SearchPath;

TEST_F(SearchPathDeathTest, KeyPathBeyondItsBufferStopsNamingTheProgram)
{
    AddPath(fs, "bin");
    std::string program = "C:\\APP\\" + std::string(220, 'x') + ".exe";
    ForgetChildTranscript();
    EXPECT_EXIT(SetSearchPath(si.get(), &fs, program.c_str()), ::testing::ExitedWithCode(1), "");
    EXPECT_NE(std::string::npos, ReadTranscript(true).find(FatalLine("Cannot register the search path of " + program)));
}

}  // namespace
