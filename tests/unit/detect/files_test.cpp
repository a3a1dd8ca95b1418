// Files, directories, .INI sections and keys, version fields and the
// drivers of CONFIG.SYS.
#include "detect_fixture.h"

#include "msdetect.h"

#include <fstream>
#include <sstream>

using dettest::ScratchDir;
using dettest::WriteText;

TEST(FilesAndDirectories, DirectoriesAndFilesAreToldApart)
{
    ScratchDir scratch;
    std::string file = scratch.File("bin\\tool.exe");
    WriteText(file, "x");
    EXPECT_TRUE(DoesDirExist(scratch.Path().c_str()));
    EXPECT_TRUE(DoesDirExist((scratch.Path() + "\\bin\\").c_str()));
    EXPECT_TRUE(DoesDirExist("C:\\"));
    EXPECT_FALSE(DoesDirExist(file.c_str()));
    EXPECT_FALSE(DoesDirExist(scratch.File("absent").c_str()));
    EXPECT_FALSE(DoesDirExist(""));

    EXPECT_TRUE(DoesFileExist(file.c_str(), 0));
    EXPECT_FALSE(DoesFileExist((scratch.Path() + "\\bin").c_str(), 0));
    EXPECT_FALSE(DoesFileExist((scratch.Path() + "\\bin\\too|l.exe").c_str(), 0));
}

TEST(FilesAndDirectories, SizeOfAFileInBytes)
{
    ScratchDir scratch;
    std::string file = scratch.File("data.bin");
    WriteText(file, std::string(70000, 'd'));
    EXPECT_EQ(70000u, GetSizeOfFile(file.c_str()));
    WriteText(file, "");
    EXPECT_EQ(0u, GetSizeOfFile(file.c_str()));
    EXPECT_EQ(0u, GetSizeOfFile(scratch.File("absent.bin").c_str()));
    EXPECT_EQ(0u, GetSizeOfFile(scratch.Path().c_str()));
}

TEST(IniStructure, SectionsAndKeysExistEvenWhenEmpty)
{
    ScratchDir scratch;
    std::string ini = scratch.File("app.ini");
    WriteText(ini, "[Bare]\r\n[Paths]\r\nEmpty=\r\nData=C:\\usr\r\n");
    EXPECT_TRUE(DoesIniSectionExist(ini.c_str(), "Bare"));
    EXPECT_TRUE(DoesIniSectionExist(ini.c_str(), "paths"));
    EXPECT_FALSE(DoesIniSectionExist(ini.c_str(), "Path"));

    EXPECT_TRUE(DoesIniKeyExist(ini.c_str(), "Paths", "Empty"));
    EXPECT_TRUE(DoesIniKeyExist(ini.c_str(), "PATHS", "data"));
    EXPECT_FALSE(DoesIniKeyExist(ini.c_str(), "Paths", "Dat"));
    EXPECT_FALSE(DoesIniKeyExist(ini.c_str(), "Bare", "Data"));

    std::string absent = scratch.File("absent.ini");
    EXPECT_FALSE(DoesIniSectionExist(absent.c_str(), "Paths"));
    EXPECT_FALSE(DoesIniKeyExist(absent.c_str(), "Paths", "Data"));
}

TEST(IniStructure, ManySectionsAreAllSeen)
{
    // More names than the first answer of the profile functions holds.
    ScratchDir scratch;
    std::string ini = scratch.File("big.ini");
    std::ostringstream text;
    for (int i = 0; i < 200; i++)
        text << "[Section" << i << "]\r\nKey" << i << "=" << i << "\r\n";
    text << "[Last]\r\n";
    for (int i = 0; i < 200; i++)
        text << "LongKeyName" << i << "=x\r\n";
    WriteText(ini, text.str());
    EXPECT_TRUE(DoesIniSectionExist(ini.c_str(), "Section199"));
    EXPECT_TRUE(DoesIniSectionExist(ini.c_str(), "Last"));
    EXPECT_TRUE(DoesIniKeyExist(ini.c_str(), "Last", "LongKeyName199"));
}

TEST(VersionFields, FieldsAreNumberedFromOne)
{
    EXPECT_EQ(2, GetVersionNthField("2.10.300.4000", 1));
    EXPECT_EQ(10, GetVersionNthField("2.10.300.4000", 2));
    EXPECT_EQ(300, GetVersionNthField("2.10.300.4000", 3));
    EXPECT_EQ(4000, GetVersionNthField("2.10.300.4000", 4));
}

TEST(VersionFields, AbsentFieldsAreZero)
{
    EXPECT_EQ(0, GetVersionNthField("2.10.300.4000", 5));
    EXPECT_EQ(0, GetVersionNthField("2.10.300.4000", 0));
    EXPECT_EQ(0, GetVersionNthField("3", 2));
    EXPECT_EQ(0, GetVersionNthField("", 1));
    EXPECT_EQ(0, GetVersionNthField("1..3", 2));
    EXPECT_EQ(3, GetVersionNthField("1..3", 3));
    EXPECT_EQ(0, GetVersionNthField(NULL, 1));
}

// CONFIG.SYS at the root of the Windows drive, put back as it was.
class ConfigSys : public ::testing::Test {
protected:
    void SetUp() override
    {
        char windows[MAX_PATH];
        GetWindowsDirectoryA(windows, sizeof windows);
        path_ = std::string(windows, 3) + "CONFIG.SYS";
        std::ifstream existing(path_, std::ios::binary);
        hadFile_ = existing.is_open();
        if (hadFile_)
            saved_ << existing.rdbuf();
    }
    void TearDown() override
    {
        if (hadFile_)
            WriteText(path_, saved_.str());
        else
            DeleteFileA(path_.c_str());
    }
    void Write(const std::string &text) { WriteText(path_, text); }

    std::string path_;
    bool hadFile_ = false;
    std::ostringstream saved_;
};

TEST_F(ConfigSys, DriversOnDeviceLinesAreFound)
{
    Write("FILES=40\r\n"
          "DEVICE=C:\\DOS\\HIMEM.SYS /TESTMEM:OFF\r\n"
          "  device = c:\\dos\\setver.exe\r\n"
          "DEVICEHIGH /L:1,12 =C:\\DOS\\ANSI.SYS\r\n"
          "devicehigh size=1A0 c:\\dos\\display.sys con=(ega,,1)\r\n"
          "REM DEVICE=C:\\MOUSE\\MOUSE.SYS\r\n"
          "DEVICES=C:\\DOS\\EMM386.EXE\r\n");
    EXPECT_TRUE(IsDriverInConfig("himem.sys"));
    EXPECT_TRUE(IsDriverInConfig("HIMEM"));
    EXPECT_TRUE(IsDriverInConfig("C:\\DOS\\HIMEM.SYS"));
    EXPECT_TRUE(IsDriverInConfig("SETVER.EXE"));
    EXPECT_TRUE(IsDriverInConfig("ansi.sys"));
    EXPECT_TRUE(IsDriverInConfig("DISPLAY.SYS"));
    EXPECT_FALSE(IsDriverInConfig("MOUSE.SYS"));
    EXPECT_FALSE(IsDriverInConfig("EMM386.EXE"));
    EXPECT_FALSE(IsDriverInConfig("/TESTMEM:OFF"));
    EXPECT_FALSE(IsDriverInConfig("SIZE=1A0"));
    EXPECT_FALSE(IsDriverInConfig("1A0"));
    EXPECT_FALSE(IsDriverInConfig("CON=(EGA,,1)"));
    EXPECT_FALSE(IsDriverInConfig("HIMEM.SY"));
}

TEST_F(ConfigSys, NoConfigSysLoadsNoDriver)
{
    DeleteFileA(path_.c_str());
    EXPECT_FALSE(IsDriverInConfig("HIMEM.SYS"));
    Write("DEVICE=\r\nDEVICE\r\n");
    EXPECT_FALSE(IsDriverInConfig("HIMEM.SYS"));
    EXPECT_FALSE(IsDriverInConfig(""));
}
