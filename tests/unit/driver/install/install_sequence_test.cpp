// Install: the chosen file sets copied from a medium behind the progress
// window, then each one registered: key, environment, group and entries.
#include "../register/registration_fixture.h"
#include "script/scan.h"
#include "dialogs/dialogs.h"
#include "install/install.h"

#include <objbase.h>
#include <shlobj.h>

#include <filesystem>

namespace {

using namespace regtest;

const char kScript[] =
    "COMPANY [RegTest Works]\n"
    "NOT COMPRESSED\n"
    "SINGLE DIR IMAGE\n"
    "FILESET [Setup files]\nBEGIN\nEND 0\n"
    "FILESET [Core]\n"
    "EXPRESS\n"
    "SOFTWARE [RegTest Core]\n"
    "MAJORVERSION [2]\nMINORVERSION [0]\nRELEASE [1]\nCPUTYPE [i386]\n"
    "ADDPATH [bin]\n"
    "ENVIRONMENT [REGTEST_HOME] [C:\\regtest]\n"
    "APPITEM bin\\regcore.exe bin\\core.ico [Core Tool] []\n"
    "BEGIN\n"
    "D bin\n"
    "F core.exe bin\\regcore.exe\n"
    "P core.exe bin\\regview.exe bin\\core.ico [Core Viewer]\n"
    "I readme.txt readme.txt bin\\core.ico [Read me] [notepad.exe]\n"
    "END 100\n"
    "FILESET [Extras]\n"
    "SOFTWARE [RegTest Extras]\n"
    "BEGIN\n"
    "F extra.txt extra.txt\n"
    "END 10\n";

const char kCompanyKey[] = "Software\\RegTest Works";
const char kAppPaths[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";
const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

// Counts the announcements of a changed environment that reach a window of
// this program.
int g_environment_changes = 0;

LRESULT CALLBACK ListenerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SETTINGCHANGE && lParam && std::string(reinterpret_cast<const char *>(lParam)) == "Environment")
        g_environment_changes++;
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

// The classes of the gauge, as start-up registers it, and of the listener.
void RegisterClasses()
{
    static bool registered = false;
    if (registered)
        return;
    WNDCLASSA gauge = {};
    gauge.style = CS_SAVEBITS | CS_OWNDC | CS_HREDRAW | CS_VREDRAW;
    gauge.lpfnWndProc = DefWindowProcA;
    gauge.hInstance = GetModuleHandleA(nullptr);
    gauge.hbrBackground = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
    gauge.lpszClassName = "PercentClass";
    RegisterClassA(&gauge);
    WNDCLASSA listener = {};
    listener.lpfnWndProc = ListenerProc;
    listener.hInstance = GetModuleHandleA(nullptr);
    listener.lpszClassName = "RegTestListener";
    RegisterClassA(&listener);
    registered = true;
}

std::string ProgramsFolder(int platform)
{
    char dir[MAX_PATH];
    if (platform == PLATFORM_WIN95) {
        GetWindowsDirectoryA(dir, sizeof dir);
        return std::string(dir) + "\\Start Menu\\Programs";
    }
    SHGetFolderPathA(nullptr, CSIDL_COMMON_PROGRAMS, nullptr, SHGFP_TYPE_CURRENT, dir);
    return dir;
}

class InstallRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegisterClasses();
        Clean();
        listener = CreateWindowA("RegTestListener", "", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
        g_environment_changes = 0;
        medium = scratch.Path() + "\\medium\\";
        std::filesystem::create_directories(medium);
        std::filesystem::create_directories(scratch.Path() + "\\tmp");
        WriteText(medium + "setup.inf", kScript);
        WriteText(medium + "core.exe", "core");
        WriteText(medium + "readme.txt", "read me");
        WriteText(medium + "extra.txt", "extra");
    }
    void TearDown() override
    {
        DestroyWindow(listener);
        if (si && si->setup_inf_ptr)
            fclose(si->setup_inf_ptr);
        if (si)
            FreeItems(*si);
        Clean();
    }
    static void Clean()
    {
        DeleteKeyTree(HKEY_LOCAL_MACHINE, kCompanyKey);
        for (const char *name : {"regview.exe", "regcore.exe"})
            DeleteKeyTree(HKEY_LOCAL_MACHINE, std::string(kAppPaths) + name);
        for (const char *name : {"RegTest Works-RegTest Core", "RegTest Works-RegTest Extras"})
            DeleteKeyTree(HKEY_LOCAL_MACHINE, std::string(kUninstallKey) + name);
        std::error_code ignored;
        for (int platform : {PLATFORM_NT, PLATFORM_WIN95}) {
            for (const char *group : {"RegTest Core", "RegTest Extras"})
                std::filesystem::remove_all(ProgramsFolder(platform) + "\\" + group, ignored);
        }
    }

    // The record as start-up and the dialogs leave it: the script scanned
    // from its private copy, the destination chosen.
    void StartUp(int platform, const std::string &dst_dir)
    {
        si = NewRecord(platform, dst_dir);
        snprintf(si->src_dir, sizeof si->src_dir, "%s", medium.c_str());
        SetSourceDrive(si.get());
        snprintf(si->temp_dir, sizeof si->temp_dir, "%s\\tmp", scratch.Path().c_str());
        snprintf(si->expand_path, sizeof si->expand_path, "%s\\expand.exe", si->sys_dir);
        ASSERT_NE(0u, GetTempFileNameA(si->temp_dir, "pex", 0, si->setup_inf_file));
        ASSERT_TRUE(CopyFileA((medium + "setup.inf").c_str(), si->setup_inf_file, FALSE));
        si->setup_inf_ptr = fopen(si->setup_inf_file, "rb");
        ASSERT_NE(nullptr, si->setup_inf_ptr);
        ScanForFileSets(si.get());
        ASSERT_EQ(3, si->num_file_sets);
    }

    std::string Dst() const { return si->dst_dir; }
    static bool HasKey(const char *software)
    {
        return ReadValue(HKEY_LOCAL_MACHINE, std::string(kCompanyKey) + "\\" + software + "\\VersionInfo",
                         "FileSetName")
            .found;
    }

    ScratchDir scratch;
    std::string medium;
    HWND listener = nullptr;
    std::unique_ptr<_setup_info> si;
    SavedValue saved_path{HKEY_LOCAL_MACHINE, kEnvironmentKey, "Path"};
    SavedValue saved_home{HKEY_LOCAL_MACHINE, kEnvironmentKey, "REGTEST_HOME"};
    size_t transcript_start = ReadTranscript().size();
};

TEST_F(InstallRun, ExpressInstallsAndRegistersTheExpressSetsWithProgramManagerItems)
{
    StartUp(PLATFORM_NT, scratch.Path() + "\\usr");
    si->installType = 1;
    si->file_set_list[2].selected = 1;  // express goes by the express flags alone
    Install(si.get());

    EXPECT_EQ(nullptr, si->hProgBarDlg);
    EXPECT_EQ("core", ReadText(Dst() + "\\bin\\regcore.exe"));
    EXPECT_FALSE(IsFile(Dst() + "\\extra.txt"));
    // The progress is a share of the express set alone: 15 of its 100 bytes,
    // not of the 110 that the checked sets would make.
    EXPECT_DOUBLE_EQ(15.0, si->percent_done);
    EXPECT_TRUE(HasKey("RegTest Core"));
    EXPECT_FALSE(HasKey("RegTest Extras"));

    RegValue path = ReadValue(HKEY_LOCAL_MACHINE, kEnvironmentKey, "Path");
    EXPECT_EQ(DWORD(REG_EXPAND_SZ), path.type);
    EXPECT_EQ(0u, path.data.find(Dst() + "\\bin;")) << path.data;
    EXPECT_EQ(Sz("C:\\regtest"), ReadValue(HKEY_LOCAL_MACHINE, kEnvironmentKey, "REGTEST_HOME").data);
    EXPECT_EQ(1, g_environment_changes);

    std::string fields = Dst() + "\\bin\\core.ico,0,0,0,C:\\";
    EXPECT_EQ("group \"RegTest Core\"\n"
              "item \"RegTest Core\" " + Quoted("Core Viewer," + fields) + " " + Quoted(Dst() + "\\bin\\regview.exe") + "\n"
              "item \"RegTest Core\" " + Quoted("Read me," + fields) + " " + Quoted("notepad.exe " + Dst() + "\\readme.txt") + "\n"
              "item \"RegTest Core\" " + Quoted("Core Tool," + fields) + " " + Quoted(Dst() + "\\bin\\regcore.exe ") + "\n",
              ReadTranscript().substr(transcript_start));
    Shortcut tool = LoadShortcut(ProgramsFolder(PLATFORM_NT) + "\\RegTest Core\\Core Tool.lnk");
    ASSERT_TRUE(tool.loaded);
    EXPECT_EQ(Dst() + "\\bin\\regcore.exe", tool.target);
    EXPECT_EQ(Dst() + "\\bin\\core.ico", tool.icon_file);
    EXPECT_EQ("C:\\", tool.work_dir);
    EXPECT_FALSE(ReadValue(HKEY_LOCAL_MACHINE, std::string(kAppPaths) + "regcore.exe", "Path").found);
}

TEST_F(InstallRun, CustomInstallsAndRegistersTheCheckedSets)
{
    StartUp(PLATFORM_NT, scratch.Path() + "\\usr");
    si->installType = 2;
    si->file_set_list[1].selected = 0;
    si->file_set_list[2].selected = 1;
    Install(si.get());

    EXPECT_EQ("extra", ReadText(Dst() + "\\extra.txt"));
    EXPECT_FALSE(IsFile(Dst() + "\\bin\\regcore.exe"));
    EXPECT_FALSE(HasKey("RegTest Core"));
    EXPECT_TRUE(HasKey("RegTest Extras"));
    EXPECT_EQ("group \"RegTest Extras\"\n", ReadTranscript().substr(transcript_start));
    EXPECT_TRUE(IsDirectory(ProgramsFolder(PLATFORM_NT) + "\\RegTest Extras"));
}

TEST_F(InstallRun, NothingChosenStillMakesTheDestinationAndRegistersNothing)
{
    StartUp(PLATFORM_NT, scratch.Path() + "\\usr");
    si->installType = 2;
    si->file_set_list[1].selected = 0;
    Install(si.get());

    EXPECT_TRUE(IsDirectory(Dst()));
    EXPECT_FALSE(HasKey("RegTest Core"));
    EXPECT_EQ("", ReadTranscript().substr(transcript_start));
    EXPECT_EQ(0, g_environment_changes);
}

using InstallRunDeathTest = InstallRun;

TEST_F(InstallRunDeathTest, DestinationWhoseParentIsMissingStops)
{
    StartUp(PLATFORM_NT, scratch.Path() + "\\missing\\usr");
    ForgetChildTranscript();
    EXPECT_EXIT(Install(si.get()), ::testing::ExitedWithCode(1), "");
    EXPECT_NE(std::string::npos, ReadTranscript(true).find(FatalLine("Unable to create dir " + Dst())));
    EXPECT_FALSE(IsDirectory(Dst()));
}

// Run in the prefix that reports the Windows 95 family to this program.
TEST_F(InstallRun, W95PrefixMakesShortcutsInTheGroupFolderAndSearchPaths)
{
    ASSERT_EQ(PLATFORM_WIN95, ReportedPlatform());
    SavedFile saved_batch("C:\\AUTOEXEC.BAT");
    SavedFile saved_backup("C:\\AUTOEXEC.BAK");
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, sizeof windows);
    NewFolderGuard start_menu(std::string(windows) + "\\Start Menu");
    CoInitialize(nullptr);  // as start-up does on the 95 family
    StartUp(PLATFORM_WIN95, scratch.Path() + "\\usr");
    Install(si.get());
    CoUninitialize();

    std::string group = ProgramsFolder(PLATFORM_WIN95) + "\\RegTest Core\\";
    Shortcut viewer = LoadShortcut(group + "Core Viewer.LNK");
    ASSERT_TRUE(viewer.loaded);
    EXPECT_EQ(Dst() + "\\bin\\regview.exe", viewer.target);
    Shortcut readme = LoadShortcut(group + "Read me.lnk");
    ASSERT_TRUE(readme.loaded);
    EXPECT_EQ(Dst() + "\\readme.txt", readme.arguments);
    Shortcut tool = LoadShortcut(group + "Core Tool.lnk");
    ASSERT_TRUE(tool.loaded);
    EXPECT_EQ(Dst() + "\\bin\\regcore.exe", tool.target);

    for (const char *program : {"regview.exe", "regcore.exe"})
        EXPECT_EQ(Sz(Dst() + "\\bin;"), ReadValue(HKEY_LOCAL_MACHINE, std::string(kAppPaths) + program, "Path").data);
    EXPECT_TRUE(HasKey("RegTest Core"));
    std::string transcript = ReadTranscript().substr(transcript_start);
    // Joined with the destination, as on NT; the transcript doubles each backslash.
    std::string bin;
    for (char ch : Dst() + "\\bin")
        bin += ch == '\\' ? std::string("\\\\") : std::string(1, ch);
    EXPECT_NE(std::string::npos, transcript.find("envvar \"PATH\" \"" + bin + "\" 4096\n")) << transcript;
    EXPECT_NE(std::string::npos, transcript.find("envvar \"REGTEST_HOME\" \"C:\\\\regtest\" 1024\n"));
    EXPECT_EQ(std::string::npos, transcript.find("item "));
    EXPECT_EQ(0, g_environment_changes);
}

}  // namespace
