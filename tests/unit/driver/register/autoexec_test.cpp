// SetEnvVariable: the 95 family's environment in AUTOEXEC.BAT at the root of
// the Windows drive, and in the running process.
#include "registration_fixture.h"

#include "setuprt.h"

namespace {

using namespace regtest;

const char kBatch[] = "C:\\AUTOEXEC.BAT";
const char kBackup[] = "C:\\AUTOEXEC.BAK";

class Autoexec : public BatchEnvironmentTest {
protected:
    static std::string Variable(const char *name)
    {
        char value[32768] = "";
        GetEnvironmentVariableA(name, value, sizeof value);
        return value;
    }
    static int Count(const std::string &text, const std::string &part)
    {
        int count = 0;
        for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
            count++;
        return count;
    }

    size_t transcript_start = ReadTranscript().size();
};

TEST_F(Autoexec, SettingReplacesEverySetLineOfTheVariableAndKeepsTheRest)
{
    WriteText(kBatch, "@ECHO OFF\r\nset regtest_home=old\r\nSET REGTEST_HOMEX=keep\r\nPROMPT $p$g\r\n"
                      "  SET  REGTEST_HOME=older\r\n");
    EXPECT_EQ(1, SetEnvVariable("REGTEST_HOME", "C:\\regtest", 1024));
    EXPECT_EQ("@ECHO OFF\r\nSET REGTEST_HOME=C:\\regtest\r\nSET REGTEST_HOMEX=keep\r\nPROMPT $p$g\r\n"
              "SET REGTEST_HOME=C:\\regtest\r\n",
              ReadText(kBatch));
    EXPECT_EQ("C:\\regtest", Variable("REGTEST_HOME"));
    EXPECT_EQ("envvar \"REGTEST_HOME\" \"C:\\\\regtest\" 1024\n", ReadTranscript().substr(transcript_start));

    // A blank inside the name is part of it.
    WriteText(kBatch, "SET REGTEST HOME=old\r\nSET REGTEST=keep\r\n");
    EXPECT_EQ(1, SetEnvVariable("REGTEST HOME", "new", 1024));
    EXPECT_EQ("SET REGTEST HOME=new\r\nSET REGTEST=keep\r\n", ReadText(kBatch));
    EXPECT_EQ("new", Variable("REGTEST HOME"));
}

TEST_F(Autoexec, SettingWithoutALineAddsOneAndEndsEveryLineWithCrLf)
{
    WriteText(kBatch, "@ECHO OFF\nPROMPT $p$g");
    EXPECT_EQ(1, SetEnvVariable("REGTEST_HOME", "D:\\x y", 1024));
    EXPECT_EQ("@ECHO OFF\r\nPROMPT $p$g\r\nSET REGTEST_HOME=D:\\x y\r\n", ReadText(kBatch));

    DeleteFileA(kBatch);
    EXPECT_EQ(1, SetEnvVariable("REGTEST_HOME", "D:\\x y", 1024));
    EXPECT_EQ("SET REGTEST_HOME=D:\\x y\r\n", ReadText(kBatch));
}

TEST_F(Autoexec, DirectoryJoinsTheLastPathSettingOnce)
{
    WriteText(kBatch, "PATH=C:\\WINDOWS;C:\\DOS\r\nSET PATH=%PATH%;C:\\UTIL\r\n");
    EXPECT_EQ(1, SetEnvVariable("PATH", "C:\\APP\\bin", 4096));
    EXPECT_EQ(1, SetEnvVariable("PATH", "C:\\APP\\bin", 4096));
    EXPECT_EQ(1, SetEnvVariable("PATH", "c:\\app\\BIN\\", 4096));
    EXPECT_EQ("PATH=C:\\WINDOWS;C:\\DOS\r\nSET PATH=%PATH%;C:\\UTIL;C:\\APP\\bin\r\n", ReadText(kBatch));
    EXPECT_EQ(1, Count(Variable("PATH"), ";C:\\APP\\bin"));
    EXPECT_EQ(std::string(process_path) + ";C:\\APP\\bin", Variable("PATH"));
    EXPECT_EQ(3, Count(ReadTranscript().substr(transcript_start), " 4096\n"));
}

TEST_F(Autoexec, PathCommandGainsTheDirectoryWithOneSeparator)
{
    WriteText(kBatch, "path c:\\windows;c:\\dos; \r\n");
    EXPECT_EQ(1, SetEnvVariable("PATH", "bin", 4096));
    EXPECT_EQ("path c:\\windows;c:\\dos;bin\r\n", ReadText(kBatch));
}

TEST_F(Autoexec, DirectoryIsComparedWithWholeElements)
{
    WriteText(kBatch, "PATH=C:\\APP\\bin2;D:\\C:\\APP\\bin\r\n");
    EXPECT_EQ(1, SetEnvVariable("PATH", "C:\\APP\\bin", 4096));
    EXPECT_EQ("PATH=C:\\APP\\bin2;D:\\C:\\APP\\bin;C:\\APP\\bin\r\n", ReadText(kBatch));
}

TEST_F(Autoexec, WithoutAPathSettingTheNewLineKeepsThePathTheSystemSet)
{
    WriteText(kBatch, "@ECHO OFF\r\n");
    EXPECT_EQ(1, SetEnvVariable("PATH", "\\tools", 4096));
    EXPECT_EQ("@ECHO OFF\r\nSET PATH=%PATH%;\\tools\r\n", ReadText(kBatch));
}

TEST_F(Autoexec, SettingsThatWouldBreakTheFileAreRefusedAndChangeNothing)
{
    WriteText(kBatch, "@ECHO OFF\r\n");
    EXPECT_EQ(0, SetEnvVariable("REGTEST_HOME", "two\r\nlines", 1024));
    EXPECT_EQ(0, SetEnvVariable("REGTEST=HOME", "x", 1024));
    EXPECT_EQ(0, SetEnvVariable(" PATH", "x", 1024));
    EXPECT_EQ(0, SetEnvVariable("", "x", 1024));
    EXPECT_EQ(0, SetEnvVariable("PATH", "", 4096));
    EXPECT_EQ(0, SetEnvVariable("REGTEST_HOME", "x", 0));
    EXPECT_EQ(0, SetEnvVariable("REGTEST_HOME", nullptr, 1024));
    EXPECT_EQ("@ECHO OFF\r\n", ReadText(kBatch));
    EXPECT_EQ("", Variable("REGTEST_HOME"));
    EXPECT_EQ("", ReadTranscript().substr(transcript_start));
}

TEST_F(Autoexec, LineLongerThanTheInterpreterReadsIsRefusedAndChangesNothing)
{
    // "SET PATH=" and the list: one more directory brings the line to the
    // limit, the next one beyond it.
    const std::string line = "SET PATH=C:\\WINDOWS;" + std::string(ENV_LONGEST_BATCH_LINE - 20 - 6, 'p');
    WriteText(kBatch, "@ECHO OFF\r\n" + line + "\r\n");
    DeleteFileA(kBackup);
    EXPECT_EQ(1, SetEnvVariable("PATH", "C:\\a1", 4096));
    const std::string full = ReadText(kBatch);
    EXPECT_EQ("@ECHO OFF\r\n" + line + ";C:\\a1\r\n", full);
    EXPECT_EQ(size_t(ENV_LONGEST_BATCH_LINE), line.size() + 6);

    const std::string process_before = Variable("PATH");
    const std::string transcript_before = ReadTranscript();
    SetLastError(0);
    EXPECT_EQ(0, SetEnvVariable("PATH", "C:\\b", 4096));
    EXPECT_EQ(DWORD(ERROR_BUFFER_OVERFLOW), GetLastError());
    EXPECT_EQ(full, ReadText(kBatch));
    EXPECT_EQ(process_before, Variable("PATH"));
    EXPECT_EQ(transcript_before, ReadTranscript());
}

TEST_F(Autoexec, SettingGoesBeforeTheEndOfFileMark)
{
    // DOS stops reading at Ctrl+Z: a line after it would never run.
    WriteText(kBatch, "@ECHO OFF\r\n\x1A");
    EXPECT_EQ(1, SetEnvVariable("REGTEST_HOME", "C:\\regtest", 1024));
    EXPECT_EQ("@ECHO OFF\r\nSET REGTEST_HOME=C:\\regtest\r\n", ReadText(kBatch));
}

// The backup is made once a run: each run is a child process of its own.
using AutoexecDeathTest = Autoexec;

TEST_F(AutoexecDeathTest, BackupHoldsTheFileAsItWasBeforeTheRunChangedIt)
{
    const std::string original = "@ECHO OFF\r\nPATH=C:\\WINDOWS\r\n";
    WriteText(kBatch, original);
    DeleteFileA(kBackup);
    EXPECT_EXIT(
        {
            int done = SetEnvVariable("REGTEST_HOME", "C:\\regtest", 1024) + SetEnvVariable("PATH", "bin", 4096);
            exit(done == 2 ? 0 : 5);
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(original, ReadText(kBackup));
    EXPECT_EQ("@ECHO OFF\r\nPATH=C:\\WINDOWS;bin\r\nSET REGTEST_HOME=C:\\regtest\r\n", ReadText(kBatch));
}

TEST_F(AutoexecDeathTest, NoBackupWhenNothingChanges)
{
    WriteText(kBatch, "PATH=C:\\WINDOWS;C:\\APP\\bin\r\n");
    DeleteFileA(kBackup);
    EXPECT_EXIT(exit(SetEnvVariable("PATH", "C:\\APP\\bin", 4096) ? 0 : 5), ::testing::ExitedWithCode(0), "");
    EXPECT_FALSE(IsFile(kBackup));
}

}  // namespace
