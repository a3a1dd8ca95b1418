// Program Manager groups and items of the runtime, and the wrappers in front
// of them: folders and shortcut files of the Start menu.
#include "registration_fixture.h"

#include <objbase.h>
#include <shlobj.h>

#include <filesystem>

#include "setupapi.h"
#include "setuprt.h"

namespace {

using namespace regtest;

// Where the groups of all users are: the common Programs folder on NT, the
// Windows directory's Start menu on the 95 family.
std::string ProgramsFolder()
{
    char dir[MAX_PATH];
    if (ReportedPlatform() == PLATFORM_WIN95) {
        GetWindowsDirectoryA(dir, sizeof dir);
        return std::string(dir) + "\\Start Menu\\Programs";
    }
    SHGetFolderPathA(nullptr, CSIDL_COMMON_PROGRAMS, nullptr, SHGFP_TYPE_CURRENT, dir);
    return dir;
}

class Progman : public ::testing::Test {
protected:
    void SetUp() override { RemoveGroups(); }
    void TearDown() override { RemoveGroups(); }
    static void RemoveGroups()
    {
        std::error_code ignored;
        for (const char *group : {"RegTest Group", "RegTest_Slash"})
            std::filesystem::remove_all(ProgramsFolder() + "\\" + group, ignored);
    }
    static std::string Group() { return ProgramsFolder() + "\\RegTest Group\\"; }

    size_t transcript_start = ReadTranscript().size();
    std::string NewTranscript() const { return ReadTranscript().substr(transcript_start); }
};

TEST_F(Progman, GroupIsAFolderOfTheProgramsOfAllUsers)
{
    EXPECT_EQ(1, FCreateProgManGroup("RegTest Group", "", 1));
    EXPECT_TRUE(IsDirectory(Group()));
    EXPECT_EQ(1, FCreateProgManGroup("RegTest Group", "", 1));
    EXPECT_EQ("group \"RegTest Group\"\ngroup \"RegTest Group\"\n", NewTranscript());
}

TEST_F(Progman, GroupNameIsOneFolderWhateverItHolds)
{
    EXPECT_EQ(1, FCreateProgManGroup("RegTest/Slash", "", 1));
    EXPECT_TRUE(IsDirectory(ProgramsFolder() + "\\RegTest_Slash"));
    EXPECT_EQ(0, FCreateProgManGroup("..", "", 1));
    EXPECT_EQ(0, FCreateProgManGroup("", "", 1));
    EXPECT_EQ("group \"RegTest/Slash\"\n", NewTranscript());
}

TEST_F(Progman, OnlyAGroupThatExistsCanBeShown)
{
    EXPECT_EQ(0, FShowProgManGroup("RegTest Group", "1", 1));
    FCreateProgManGroup("RegTest Group", "", 1);
    EXPECT_EQ(1, FShowProgManGroup("RegTest Group", "1", 1));
    EXPECT_EQ(1, FShowProgManGroupEx("RegTest Group", 1, "1", 1));
}

TEST_F(Progman, ItemIsAShortcutWithProgramArgumentsIconAndWorkingDirectory)
{
    FCreateProgManGroup("RegTest Group", "", 1);
    const char item[] = "Tool,C:\\usr\\bin\\tool.ico,3,0,0,C:\\";
    EXPECT_EQ(1, FCreateProgManItem("RegTest Group", item, "C:\\usr\\bin\\tool.exe -i  -v", 1024));

    Shortcut link = LoadShortcut(Group() + "Tool.lnk");
    ASSERT_TRUE(link.loaded);
    EXPECT_EQ("C:\\usr\\bin\\tool.exe", link.target);
    EXPECT_EQ("-i  -v", link.arguments);
    EXPECT_EQ("Tool", link.description);
    EXPECT_EQ("C:\\usr\\bin\\tool.ico", link.icon_file);
    EXPECT_EQ(3, link.icon_index);
    EXPECT_EQ("C:\\", link.work_dir);
    EXPECT_EQ("group \"RegTest Group\"\n"
              "item \"RegTest Group\" \"Tool,C:\\\\usr\\\\bin\\\\tool.ico,3,0,0,C:\\\\\" "
              "\"C:\\\\usr\\\\bin\\\\tool.exe -i  -v\"\n",
              NewTranscript());
}

TEST_F(Progman, QuotedProgramKeepsItsBlanksAndFieldsMayBeLeftOut)
{
    EXPECT_EQ(1, FCreateProgManItem("RegTest Group", "Plain", "\"C:\\Program Files\\Reg Tool\\tool.exe\" /x", 1024));
    Shortcut link = LoadShortcut(Group() + "Plain.lnk");
    ASSERT_TRUE(link.loaded);
    EXPECT_EQ("C:\\Program Files\\Reg Tool\\tool.exe", link.target);
    EXPECT_EQ("/x", link.arguments);
    EXPECT_EQ("", link.work_dir);
    EXPECT_EQ("", link.icon_file);

    // The application command of the installer ends in a blank without arguments.
    EXPECT_EQ(1, FCreateProgManItem("RegTest Group", "Bare", "C:\\usr\\bare.exe ", 1024));
    link = LoadShortcut(Group() + "Bare.lnk");
    EXPECT_EQ("C:\\usr\\bare.exe", link.target);
    EXPECT_EQ("", link.arguments);
}

TEST_F(Progman, ItemOfTheSameNameIsReplaced)
{
    FCreateProgManItem("RegTest Group", "Tool", "C:\\old.exe", 1024);
    FCreateProgManItem("RegTest Group", "Tool", "C:\\new.exe", 1024);
    EXPECT_EQ("C:\\new.exe", LoadShortcut(Group() + "Tool.lnk").target);
}

TEST_F(Progman, ItemNameGetsUnderscoresForWhatAFileNameCannotHold)
{
    EXPECT_EQ(1, FCreateProgManItem("RegTest Group", "Read/Me: now?,,0,0,0,C:\\", "C:\\usr\\readme.exe", 1024));
    Shortcut link = LoadShortcut(Group() + "Read_Me_ now_.lnk");
    ASSERT_TRUE(link.loaded);
    EXPECT_EQ("Read/Me: now?", link.description);

    // As a file name, a device name would swallow the shortcut.
    EXPECT_EQ(1, FCreateProgManItem("RegTest Group", "nul", "C:\\usr\\null.exe", 1024));
    EXPECT_EQ("C:\\usr\\null.exe", LoadShortcut(Group() + "_nul.lnk").target);
}

TEST_F(Progman, ItemThatCannotBeMadeIsAFailure)
{
    EXPECT_EQ(0, FCreateProgManItem("RegTest Group", "..", "C:\\usr\\tool.exe", 1024));
    EXPECT_EQ(0, FCreateProgManItem("RegTest Group", "Tool", "", 1024));
    EXPECT_EQ(0, FCreateProgManItem("..", "Tool", "C:\\usr\\tool.exe", 1024));
    EXPECT_EQ(0, FCreateProgManItem("RegTest Group", std::string(300, 'n').c_str(), "C:\\usr\\tool.exe", 1024));
    EXPECT_EQ(0, FCreateProgManItem("RegTest Group", "Tool", ("C:\\" + std::string(300, 'p')).c_str(), 1024));
    EXPECT_EQ("", NewTranscript());
}

TEST_F(Progman, ComIsLeftAsTheCallerHadIt)
{
    // Not started by the caller: started and ended for the call.
    FCreateProgManItem("RegTest Group", "Tool", "C:\\usr\\tool.exe", 1024);
    HRESULT started = CoInitialize(nullptr);
    EXPECT_EQ(S_OK, started);
    // Started by the caller: still started after the call.
    FCreateProgManItem("RegTest Group", "Tool", "C:\\usr\\tool.exe", 1024);
    HRESULT again = CoInitialize(nullptr);
    EXPECT_EQ(S_FALSE, again);
    CoUninitialize();
    CoUninitialize();
    EXPECT_TRUE(IsFile(Group() + "Tool.lnk"));
}

// The wrappers.
TEST_F(Progman, WrapperJoinsTheFurtherFieldsAfterAComma)
{
    CreateProgmanGroup("RegTest Group", "", 1);
    ShowProgmanGroup("RegTest Group", 1, 1);
    CreateProgmanItem("RegTest Group", "Tool", "C:\\t.exe", "C:\\usr\\tool.ico,0,0,0,C:\\", 1024);
    CreateProgmanItem("RegTest Group", "Empty", "C:\\e.exe", "", 1024);
    CreateProgmanItem("RegTest Group", "None", "C:\\n.exe", nullptr, 1024);
    CreateProgmanItemEx("RegTest Group", 1, "Ex", "C:\\x.exe", "C:\\x.ico", 1024);
    EXPECT_EQ("group \"RegTest Group\"\n"
              "item \"RegTest Group\" \"Tool,C:\\\\usr\\\\tool.ico,0,0,0,C:\\\\\" \"C:\\\\t.exe\"\n"
              "item \"RegTest Group\" \"Empty\" \"C:\\\\e.exe\"\n"
              "item \"RegTest Group\" \"None\" \"C:\\\\n.exe\"\n"
              "item \"RegTest Group\" \"Ex,C:\\\\x.ico\" \"C:\\\\x.exe\"\n",
              NewTranscript());
    EXPECT_EQ("C:\\usr\\tool.ico", LoadShortcut(Group() + "Tool.lnk").icon_file);
}

using ProgmanDeathTest = Progman;

// A failed toolkit call ends the run through the failure dialog.
TEST_F(ProgmanDeathTest, WrapperFailureEndsThroughTheFailureDialog)
{
    ForgetChildTranscript();
    EXPECT_EXIT(CreateProgmanGroup("..", "", 1), ::testing::ExitedWithCode(SETUP_ERROR_EXIT_CODE), "");
    EXPECT_NE(std::string::npos, ReadTranscript(true).find("dialog 400 CONTINUE\n"));

    ForgetChildTranscript();
    EXPECT_EXIT(ShowProgmanGroup("RegTest Group", 1, 1), ::testing::ExitedWithCode(SETUP_ERROR_EXIT_CODE), "");
    EXPECT_NE(std::string::npos, ReadTranscript(true).find("dialog 400 CONTINUE\n"));
}

TEST_F(ProgmanDeathTest, ItemTooLongToJoinIsABadArgumentNotAShortenedItem)
{
    // Cut to fit, these fields would still make an item.
    std::string other = "C:\\x.ico,0,0,0,C:\\" + std::string(760, ',');
    ForgetChildTranscript();
    EXPECT_EXIT(CreateProgmanItem("RegTest Group", "Tool", "C:\\t.exe", other.c_str(), 1024),
                ::testing::ExitedWithCode(SETUP_ERROR_EXIT_CODE), "");
    std::string child = ReadTranscript(true);
    EXPECT_EQ(std::string::npos, child.find("item "));
    EXPECT_NE(std::string::npos, child.find("dialog 400 CONTINUE\n"));
}

// Run in the prefix that reports the Windows 95 family to this program.
TEST_F(Progman, W95PrefixKeepsGroupsInTheStartMenuOfTheWindowsDirectory)
{
    ASSERT_EQ(PLATFORM_WIN95, ReportedPlatform());
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, sizeof windows);
    NewFolderGuard start_menu(std::string(windows) + "\\Start Menu");
    std::string group = std::string(windows) + "\\Start Menu\\Programs\\RegTest Group\\";

    EXPECT_EQ(1, FCreateProgManGroup("RegTest Group", "", 1));
    EXPECT_TRUE(IsDirectory(group));
    EXPECT_EQ(1, FCreateProgManItem("RegTest Group", "Tool,C:\\usr\\tool.ico,0,0,0,C:\\", "C:\\usr\\tool.exe -i",
                                    1024));
    Shortcut link = LoadShortcut(group + "Tool.lnk");
    ASSERT_TRUE(link.loaded);
    EXPECT_EQ("C:\\usr\\tool.exe", link.target);
    EXPECT_EQ("-i", link.arguments);
}

}  // namespace
