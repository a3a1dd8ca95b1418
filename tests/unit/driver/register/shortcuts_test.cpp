// Start-menu shortcut files of the 95 family, written by the driver into the
// folder that the group call made.
#include "registration_fixture.h"
#include "register/register.h"

#include <objbase.h>

namespace {

using namespace regtest;

const char kAppPaths[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";

class Shortcuts : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Start-up does this on the 95 family; the shortcut routines rely on it.
        CoInitialize(nullptr);
        snprintf(si->sys_dir, sizeof si->sys_dir, "%s\\windows", scratch.Path().c_str());
        ASSERT_TRUE(CreateDirectoryA(si->sys_dir, nullptr));
        for (const char *dir : {"\\Start Menu", "\\Start Menu\\Programs", "\\Start Menu\\Programs\\RegTest Links"})
            ASSERT_TRUE(CreateDirectoryA((std::string(si->sys_dir) + dir).c_str(), nullptr));
        DeleteAppPaths();
    }
    void TearDown() override
    {
        DeleteAppPaths();
        FreeItems(*si);
        CoUninitialize();
    }
    static void DeleteAppPaths()
    {
        for (const char *name : {"regview.exe", "regtool.exe", "regsys.exe"})
            DeleteKeyTree(HKEY_LOCAL_MACHINE, std::string(kAppPaths) + name);
    }

    std::string Folder() const { return std::string(si->sys_dir) + "\\Start Menu\\Programs\\RegTest Links\\"; }
    RegValue AppPath(const char *name) { return ReadValue(HKEY_LOCAL_MACHINE, std::string(kAppPaths) + name, "Path"); }
    // The name of the file as the file system keeps it.
    static std::string StoredName(const std::string &path)
    {
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA(path.c_str(), &found);
        if (search == INVALID_HANDLE_VALUE)
            return "";
        FindClose(search);
        return found.cFileName;
    }

    ScratchDir scratch;
    std::unique_ptr<_setup_info> si = NewRecord(PLATFORM_WIN95, "C:\\APP");
    _fileset_info &fs = AddFileSet(*si, "Base tools", "RegTest Links");
};

TEST_F(Shortcuts, ProgramItemPointsAtTheInstalledProgramAndGetsItsSearchPath)
{
    AddPath(fs, "bin");
    _ProgItems &item = AddProgItem(fs, "Viewer", "C:\\APP\\bin\\regview.exe", "bin\\view.ico");
    EXPECT_GE(CreateProgItemLink(si.get(), &fs, &item), 0);

    EXPECT_EQ("Viewer.LNK", StoredName(Folder() + "Viewer.LNK"));
    Shortcut link = LoadShortcut(Folder() + "Viewer.LNK");
    ASSERT_TRUE(link.loaded);
    EXPECT_EQ("C:\\APP\\bin\\regview.exe", link.target);
    EXPECT_EQ("", link.arguments);
    EXPECT_EQ("Viewer", link.description);
    EXPECT_EQ("C:\\APP\\bin\\view.ico", link.icon_file);
    EXPECT_EQ(0, link.icon_index);
    EXPECT_EQ("C:\\", link.work_dir);
    EXPECT_EQ(Sz("C:\\APP\\bin;"), AppPath("regview.exe").data);
}

TEST_F(Shortcuts, InformationItemOpensTheDocumentWithTheProgramAsWritten)
{
    AddPath(fs, "bin");
    _InfoItems &item = AddInfoItem(fs, "Read me", "C:\\viewer\\regview.exe", "C:\\APP\\readme.txt", "bin\\view.ico");
    EXPECT_GE(CreateInfoItemLink(si.get(), &fs, &item), 0);

    EXPECT_EQ("Read me.lnk", StoredName(Folder() + "Read me.lnk"));
    Shortcut link = LoadShortcut(Folder() + "Read me.lnk");
    ASSERT_TRUE(link.loaded);
    EXPECT_EQ("C:\\viewer\\regview.exe", link.target);
    EXPECT_EQ("C:\\APP\\readme.txt", link.arguments);
    EXPECT_EQ("Read me", link.description);
    EXPECT_EQ("C:\\APP\\bin\\view.ico", link.icon_file);
    EXPECT_EQ("C:\\", link.work_dir);
    EXPECT_FALSE(AppPath("regview.exe").found);
}

TEST_F(Shortcuts, ApplicationItemRunsFromTheDestinationWithItsArguments)
{
    AddPath(fs, "\\tools");
    _AppItems &item = AddAppItem(fs, "Tool", "bin\\regtool.exe", "bin\\tool.ico", "-i -v", 0);
    EXPECT_GE(CreateAppItemLink(si.get(), &fs, &item), 0);

    Shortcut link = LoadShortcut(Folder() + "Tool.lnk");
    ASSERT_TRUE(link.loaded);
    EXPECT_EQ("C:\\APP\\bin\\regtool.exe", link.target);
    EXPECT_EQ("-i -v", link.arguments);
    EXPECT_EQ("Tool", link.description);
    EXPECT_EQ("C:\\APP\\bin\\tool.ico", link.icon_file);
    EXPECT_EQ("C:\\", link.work_dir);
    EXPECT_EQ(Sz("\\tools;"), AppPath("regtool.exe").data);
}

TEST_F(Shortcuts, SystemApplicationRunsFromTheSystemDirectoryWithTheIconOfTheDestination)
{
    AddPath(fs, "bin");
    _AppItems &item = AddAppItem(fs, "System tool", "regsys.exe", "bin\\tool.ico", "", 1);
    EXPECT_GE(CreateAppItemLink(si.get(), &fs, &item), 0);

    Shortcut link = LoadShortcut(Folder() + "System tool.lnk");
    ASSERT_TRUE(link.loaded);
    EXPECT_EQ(std::string(si->sys_dir) + "\\regsys.exe", link.target);
    EXPECT_EQ(std::string(si->sys_dir) + "\\", link.work_dir);
    EXPECT_EQ("C:\\APP\\bin\\tool.ico", link.icon_file);
    EXPECT_EQ(Sz("C:\\APP\\bin;"), AppPath("regsys.exe").data);
}

TEST_F(Shortcuts, SlashesBecomeUnderscoresInTheLinkPathButNotInTheDescription)
{
    _ProgItems &item = AddProgItem(fs, "Read/Write", "C:\\APP\\bin\\regview.exe", "bin\\view.ico");
    EXPECT_GE(CreateProgItemLink(si.get(), &fs, &item), 0);
    Shortcut link = LoadShortcut(Folder() + "Read_Write.LNK");
    ASSERT_TRUE(link.loaded);
    EXPECT_EQ("Read/Write", link.description);

    snprintf(fs.software_name, sizeof fs.software_name, "RegTest/Links");
    ASSERT_TRUE(CreateDirectoryA((std::string(si->sys_dir) + "\\Start Menu\\Programs\\RegTest_Links").c_str(), nullptr));
    EXPECT_GE(CreateProgItemLink(si.get(), &fs, &item), 0);
    EXPECT_TRUE(LoadShortcut(std::string(si->sys_dir) + "\\Start Menu\\Programs\\RegTest_Links\\Read_Write.LNK").loaded);
}

// The runtime made the group's folder from the same cleaned name.
TEST_F(Shortcuts, NamesAreCleanedLikeTheGroupFolderAndNeverClimbOutOfIt)
{
    snprintf(fs.software_name, sizeof fs.software_name, "RegTest:Links");
    const std::string folder = std::string(si->sys_dir) + "\\Start Menu\\Programs\\RegTest_Links\\";
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    _ProgItems &climbing = AddProgItem(fs, "..\\..\\..\\Evil", "C:\\APP\\bin\\regview.exe", "bin\\view.ico");
    EXPECT_GE(CreateProgItemLink(si.get(), &fs, &climbing), 0);
    _AppItems &device = AddAppItem(fs, "CON", "bin\\regtool.exe", "bin\\tool.ico", "", 0);
    EXPECT_GE(CreateAppItemLink(si.get(), &fs, &device), 0);

    EXPECT_TRUE(LoadShortcut(folder + ".._.._.._Evil.LNK").loaded);
    EXPECT_EQ("C:\\APP\\bin\\regtool.exe", LoadShortcut(folder + "_CON.lnk").target);
    EXPECT_FALSE(IsFile(std::string(si->sys_dir) + "\\Evil.LNK"));
}

TEST_F(Shortcuts, WriterChangesTheLinkPathInPlaceAndSetsNoArgumentsWithoutThem)
{
    char link[260];
    snprintf(link, sizeof link, "%sA/B.lnk", Folder().c_str());
    EXPECT_EQ(S_OK, CreateShortcutLink(si.get(), "C:\\APP\\a.exe", nullptr, link, "A/B", "C:\\APP\\a.ico", "C:\\"));
    EXPECT_EQ(Folder() + "A_B.lnk", link);
    Shortcut shortcut = LoadShortcut(link);
    ASSERT_TRUE(shortcut.loaded);
    EXPECT_EQ("", shortcut.arguments);
    EXPECT_EQ("C:\\APP\\a.exe", shortcut.target);
}

using ShortcutsDeathTest = Shortcuts;

TEST_F(ShortcutsDeathTest, LinkThatCannotBeSavedStops)
{
    snprintf(fs.software_name, sizeof fs.software_name, "No Such Group");
    _InfoItems &item = AddInfoItem(fs, "Read me", "C:\\viewer\\regview.exe", "C:\\APP\\readme.txt", "bin\\view.ico");
    ForgetChildTranscript();
    EXPECT_EXIT(CreateInfoItemLink(si.get(), &fs, &item), ::testing::ExitedWithCode(1), "");
    EXPECT_NE(std::string::npos, ReadTranscript(true).find(FatalLine("Link Save Failed")));
}

TEST_F(ShortcutsDeathTest, LinkPathBeyondItsBufferStopsNamingTheItem)
{
    std::string name(250, 'n');
    _AppItems &item = AddAppItem(fs, name.c_str(), "bin\\regtool.exe", "bin\\tool.ico", "", 0);
    ForgetChildTranscript();
    EXPECT_EXIT(CreateAppItemLink(si.get(), &fs, &item), ::testing::ExitedWithCode(1), "");
    EXPECT_NE(std::string::npos,
              ReadTranscript(true).find(FatalLine("The shortcut paths of " + name + " are too long")));
}

}  // namespace
