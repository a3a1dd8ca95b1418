// String results: environment, versions, .INI values, dates and file
// searches, and what happens when a result does not fit its buffer.
#include "detect_fixture.h"

#include "msdetect.h"
#include "setupapi.h"
#include "setuprt.h"

#include <cstdio>
#include <regex>

using dettest::GuardedBuffer;
using dettest::ScratchDir;
using dettest::WriteText;
using ::testing::ExitedWithCode;

namespace {

std::string OwnProgram()
{
    char path[MAX_PATH];
    GetModuleFileNameA(NULL, path, sizeof path);
    return path;
}

std::string SystemFile(const char *name)
{
    char dir[MAX_PATH];
    GetSystemDirectoryA(dir, sizeof dir);
    return std::string(dir) + "\\" + name;
}

}  // namespace

TEST(EnvironmentValues, VariableSetByTheProgramIsRead)
{
    SetEnvironmentVariableA("DETECT_TEST_VALUE", "C:\\usr\\bin");
    char buf[32];
    EXPECT_STREQ("C:\\usr\\bin", GetEnvVariableValue("DETECT_TEST_VALUE", buf, sizeof buf));
}

TEST(EnvironmentValues, MissingVariableGivesTheEmptyString)
{
    SetEnvironmentVariableA("DETECT_TEST_ABSENT", NULL);
    GuardedBuffer buf(16);
    EXPECT_STREQ("", GetEnvVariableValue("DETECT_TEST_ABSENT", buf.Get(), buf.Size()));
    EXPECT_TRUE(buf.CanaryIntact());
}

TEST(EnvironmentValues, ValueOneShorterThanTheBufferFits)
{
    SetEnvironmentVariableA("DETECT_TEST_SEVEN", "1234567");
    GuardedBuffer buf(8);
    EXPECT_STREQ("1234567", GetEnvVariableValue("DETECT_TEST_SEVEN", buf.Get(), buf.Size()));
    EXPECT_TRUE(buf.CanaryIntact());
}

TEST(RuntimeCopyRule, LongResultIsCutButItsFullLengthReported)
{
    SetEnvironmentVariableA("DETECT_TEST_TEN", "0123456789");
    GuardedBuffer buf(4);
    EXPECT_EQ(10u, CbGetEnvVariableValue("DETECT_TEST_TEN", buf.Get(), buf.Size()));
    EXPECT_STREQ("012", buf.Get());
    EXPECT_TRUE(buf.CanaryIntact());

    GuardedBuffer none(1);
    EXPECT_EQ(10u, CbGetEnvVariableValue("DETECT_TEST_TEN", none.Get(), 0));
    EXPECT_EQ(GuardedBuffer::kFill, static_cast<unsigned char>(none.Get()[0]));
}

TEST(FilesOnEnvironmentPaths, FirstDirectoryHoldingTheFileWins)
{
    ScratchDir scratch;
    WriteText(scratch.File("second\\tool.dll"), "2");
    WriteText(scratch.File("third\\tool.dll"), "3");
    scratch.File("first\\x");  // an existing directory without the file
    std::string list = scratch.Path() + "\\first;;" + scratch.Path() + "\\second\\;" +
                       scratch.Path() + "\\third";
    SetEnvironmentVariableA("DETECT_TEST_PATH", list.c_str());

    char buf[MAX_PATH];
    EXPECT_STREQ(scratch.File("second\\tool.dll").c_str(),
                 FindTargetOnEnvVar("tool.dll", "DETECT_TEST_PATH", buf, sizeof buf));
}

TEST(FilesOnEnvironmentPaths, FileNowhereOnThePathGivesTheEmptyString)
{
    ScratchDir scratch;
    SetEnvironmentVariableA("DETECT_TEST_PATH", scratch.Path().c_str());
    GuardedBuffer buf(MAX_PATH);
    EXPECT_STREQ("", FindTargetOnEnvVar("absent.dll", "DETECT_TEST_PATH", buf.Get(), buf.Size()));
    EXPECT_STREQ("", FindTargetOnEnvVar("absent.dll", "DETECT_TEST_NO_SUCH_VARIABLE", buf.Get(),
                                        buf.Size()));
}

TEST(FilesOnEnvironmentPaths, RelativeDirectoryGivesAFullPath)
{
    ScratchDir scratch;
    WriteText(scratch.File("lib\\tool.dll"), "x");
    char previous[MAX_PATH];
    GetCurrentDirectoryA(sizeof previous, previous);
    SetCurrentDirectoryA(scratch.Path().c_str());
    SetEnvironmentVariableA("DETECT_TEST_PATH", "lib");
    char buf[MAX_PATH];
    FindTargetOnEnvVar("tool.dll", "DETECT_TEST_PATH", buf, sizeof buf);
    SetCurrentDirectoryA(previous);
    EXPECT_STREQ(scratch.File("lib\\tool.dll").c_str(), buf);
}

TEST(IniValues, ValuesAreFoundWhateverTheCaseOfTheirNames)
{
    ScratchDir scratch;
    std::string ini = scratch.File("app.ini");
    WriteText(ini, "[Paths]\r\nData=C:\\usr\\data\r\nEmpty=\r\n[Other]\r\nData=elsewhere\r\n");
    char buf[64];
    EXPECT_STREQ("C:\\usr\\data", GetIniKeyString(ini.c_str(), "Paths", "Data", buf, sizeof buf));
    EXPECT_STREQ("C:\\usr\\data", GetIniKeyString(ini.c_str(), "PATHS", "data", buf, sizeof buf));
    EXPECT_STREQ("elsewhere", GetIniKeyString(ini.c_str(), "Other", "Data", buf, sizeof buf));
}

TEST(IniValues, MissingValuesGiveTheEmptyString)
{
    ScratchDir scratch;
    std::string ini = scratch.File("app.ini");
    WriteText(ini, "[Paths]\r\nEmpty=\r\n");
    GuardedBuffer buf(16);
    EXPECT_STREQ("", GetIniKeyString(ini.c_str(), "Paths", "Empty", buf.Get(), buf.Size()));
    EXPECT_STREQ("", GetIniKeyString(ini.c_str(), "Paths", "Absent", buf.Get(), buf.Size()));
    EXPECT_STREQ("", GetIniKeyString(ini.c_str(), "Absent", "Empty", buf.Get(), buf.Size()));
    EXPECT_STREQ("", GetIniKeyString(scratch.File("absent.ini").c_str(), "Paths", "Empty", buf.Get(),
                                     buf.Size()));
    EXPECT_TRUE(buf.CanaryIntact());
}

TEST(IniValues, FileNameAloneMeansTheWindowsDirectory)
{
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, sizeof windows);
    std::string ini = std::string(windows) + "\\detect_test.ini";
    WriteText(ini, "[Settings]\r\nMode=express\r\n");
    char buf[32];
    GetIniKeyString("detect_test.ini", "Settings", "Mode", buf, sizeof buf);
    DeleteFileA(ini.c_str());
    EXPECT_STREQ("express", buf);
}

TEST(IniValues, LongValueIsReportedAtItsFullLength)
{
    ScratchDir scratch;
    std::string ini = scratch.File("long.ini");
    std::string value(700, 'v');
    WriteText(ini, "[S]\r\nK=" + value + "\r\n");
    GuardedBuffer small(16);
    EXPECT_EQ(700u, CbGetIniKeyString(ini.c_str(), "S", "K", small.Get(), small.Size()));
    EXPECT_EQ(std::string(15, 'v'), small.Get());
    EXPECT_TRUE(small.CanaryIntact());

    std::vector<char> whole(701);
    EXPECT_EQ(value, GetIniKeyString(ini.c_str(), "S", "K", whole.data(), 701));
}

TEST(FileVersions, VersionResourceGivesFourFields)
{
    char buf[32];
    EXPECT_STREQ("2.0.17.4", GetVersionOfFile(OwnProgram().c_str(), buf, sizeof buf));

    GetVersionOfFile(SystemFile("kernel32.dll").c_str(), buf, sizeof buf);
    EXPECT_TRUE(std::regex_match(buf, std::regex("[0-9]+\\.[0-9]+\\.[0-9]+\\.[0-9]+"))) << buf;
    EXPECT_GE(GetVersionNthField(buf, 1), 5);
}

TEST(FileVersions, FileWithoutVersionGivesTheEmptyString)
{
    ScratchDir scratch;
    std::string text = scratch.File("plain.txt");
    WriteText(text, "no resources here");
    GuardedBuffer buf(32);
    EXPECT_STREQ("", GetVersionOfFile(text.c_str(), buf.Get(), buf.Size()));
    EXPECT_STREQ("", GetVersionOfFile(scratch.File("absent.dll").c_str(), buf.Get(), buf.Size()));
}

TEST(FileDates, LastWriteTimeIsGivenInLocalTime)
{
    ScratchDir scratch;
    std::string file = scratch.File("dated.txt");
    WriteText(file, "x");
    SYSTEMTIME local = {1994, 7, 5, 15, 13, 5, 9, 0};
    FILETIME localTime, utc;
    ASSERT_TRUE(SystemTimeToFileTime(&local, &localTime));
    ASSERT_TRUE(LocalFileTimeToFileTime(&localTime, &utc));
    HANDLE handle = CreateFileA(file.c_str(), FILE_WRITE_ATTRIBUTES, 0, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, handle) << GetLastError();
    BOOL set = SetFileTime(handle, NULL, NULL, &utc);
    CloseHandle(handle);
    ASSERT_TRUE(set) << GetLastError();

    char date[20];
    EXPECT_STREQ("1994-07-15-13-05-09", GetDateOfFile(file.c_str(), date, sizeof date));
    EXPECT_EQ(1994, GetYearFromDate(date));
    EXPECT_EQ(7, GetMonthFromDate(date));
    EXPECT_EQ(15, GetDayFromDate(date));
    EXPECT_EQ(13, GetHourFromDate(date));
    EXPECT_EQ(5, GetMinuteFromDate(date));
    EXPECT_EQ(9, GetSecondFromDate(date));
}

TEST(FileDates, MissingFileHasNoDate)
{
    ScratchDir scratch;
    GuardedBuffer date(20);
    EXPECT_STREQ("", GetDateOfFile(scratch.File("absent.txt").c_str(), date.Get(), date.Size()));
    EXPECT_EQ(0, GetYearFromDate(date.Get()));
    EXPECT_EQ(0, GetSecondFromDate(date.Get()));
}

TEST(FilesInTrees, FileIsFoundAtAnyDepth)
{
    ScratchDir scratch;
    WriteText(scratch.File("a\\notes.txt"), "x");
    WriteText(scratch.File("b\\c\\d\\target.dat"), "x");
    char buf[MAX_PATH];
    // File names do not depend on case.
    EXPECT_STRCASEEQ(scratch.File("b\\c\\d\\target.dat").c_str(),
                     FindFileInTree("TARGET.DAT", scratch.Path().c_str(), buf, sizeof buf));
}

TEST(FilesInTrees, FileInTheDirectoryItselfComesBeforeDeeperOnes)
{
    ScratchDir scratch;
    WriteText(scratch.File("a\\target.dat"), "deep");
    WriteText(scratch.File("target.dat"), "top");
    char buf[MAX_PATH];
    EXPECT_STREQ(scratch.File("target.dat").c_str(),
                 FindFileInTree("target.dat", (scratch.Path() + "\\").c_str(), buf, sizeof buf));
}

TEST(FilesInTrees, MissingFileOrDirectoryGivesTheEmptyString)
{
    ScratchDir scratch;
    scratch.File("a\\b\\x");
    scratch.File("target.dat\\x");  // a directory of that name is no match
    GuardedBuffer buf(MAX_PATH);
    EXPECT_STREQ("", FindFileInTree("target.dat", scratch.Path().c_str(), buf.Get(), buf.Size()));
    EXPECT_STREQ("", FindFileInTree("target.dat", scratch.File("absent").c_str(), buf.Get(), buf.Size()));
}

using TextResultDeathTest = ::testing::Test;

TEST_F(TextResultDeathTest, ResultAsLongAsTheBufferShowsOverflowThenFails)
{
    EXPECT_EXIT(
        {
            SetEnvironmentVariableA("DETECT_TEST_EIGHT", "12345678");
            char buf[8];
            GetEnvVariableValue("DETECT_TEST_EIGHT", buf, sizeof buf);
        },
        ExitedWithCode(SETUP_ERROR_EXIT_CODE), "");
    std::string transcript = dettest::ReadTranscript(true);
    size_t box = transcript.find("msgbox \"Buffer Overflow\" \"DU-Ruruz Error\" 16 1\n");
    size_t dialog = transcript.find("dialog 400 CONTINUE\n");
    ASSERT_NE(std::string::npos, box) << transcript;
    ASSERT_NE(std::string::npos, dialog) << transcript;
    EXPECT_LT(box, dialog);
}

TEST_F(TextResultDeathTest, EveryStringResultChecksItsLength)
{
    ScratchDir scratch;
    std::string file = scratch.File("dir\\target.dat");
    WriteText(file, "x");
    std::string ini = scratch.File("app.ini");
    WriteText(ini, "[S]\r\nK=value\r\n");
    SetEnvironmentVariableA("DETECT_TEST_PATH", scratch.File("dir").c_str());
    char buf[8];
    EXPECT_EXIT(GetVersionOfFile(OwnProgram().c_str(), buf, sizeof buf),
                ExitedWithCode(SETUP_ERROR_EXIT_CODE), "");
    EXPECT_EXIT(FindTargetOnEnvVar("target.dat", "DETECT_TEST_PATH", buf, sizeof buf),
                ExitedWithCode(SETUP_ERROR_EXIT_CODE), "");
    EXPECT_EXIT(GetIniKeyString(ini.c_str(), "S", "K", buf, 5), ExitedWithCode(SETUP_ERROR_EXIT_CODE), "");
    EXPECT_EXIT(GetDateOfFile(file.c_str(), buf, sizeof buf), ExitedWithCode(SETUP_ERROR_EXIT_CODE), "");
    EXPECT_EXIT(FindFileInTree("target.dat", scratch.Path().c_str(), buf, sizeof buf),
                ExitedWithCode(SETUP_ERROR_EXIT_CODE), "");
}

TEST_F(TextResultDeathTest, NoRoomEvenForTheEmptyStringFails)
{
    char buf[1] = {'x'};
    EXPECT_EXIT(GetEnvVariableValue("DETECT_TEST_ABSENT", buf, 0), ExitedWithCode(SETUP_ERROR_EXIT_CODE), "");
}
