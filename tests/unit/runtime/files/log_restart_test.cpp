// The log file, the restart list with a file held open, and the silent mode
// of the message boxes.
#include "files_fixture.h"

#include "setupapi.h"
#include "setuprt.h"

#include <stdlib.h>

#include <string>
#include <thread>
#include <vector>

namespace {

using filestest::HasLine;
using filestest::Quoted;
using filestest::ReadText;
using filestest::ReadTranscript;
using filestest::RestartFrame;
using filestest::ScratchDir;
using filestest::TranscriptPath;
using filestest::WriteText;

class LogFile : public ::testing::Test {
protected:
    void TearDown() override { FCloseLogFile(); }

    ScratchDir scratch_;
    std::string log_ = scratch_.File("setup.log");
};

TEST_F(LogFile, HoldsTextActionsAndErrorsUntilClosed)
{
    OpenLogFile(log_.c_str(), 0);
    WriteToLogFile("Quorvane/32 2.0");
    std::string dir = scratch_.File("usr");
    CreateDir(dir.c_str(), 0);
    EercErrorHandler(104, 1, "GetRegKeyValue", NULL, NULL);
    EXPECT_EQ(1, FWriteToLogFile("no line end, ", 0));
    CloseLogFile();
    EXPECT_EQ(0, FWriteToLogFile("after closing", 1));
    EXPECT_EQ("Quorvane/32 2.0\r\ndir " + Quoted(dir) + "\r\nerror \"GetRegKeyValue\"\r\nno line end, ",
              ReadText(log_));
    EXPECT_TRUE(HasLine(ReadTranscript(), "log \"Quorvane/32 2.0\""));
}

TEST_F(LogFile, AppendKeepsTheEarlierTextAndOtherwiseItGoes)
{
    WriteText(log_, "first run\r\n");
    OpenLogFile(log_.c_str(), 1);
    WriteToLogFile("second run");
    CloseLogFile();
    EXPECT_EQ("first run\r\nsecond run\r\n", ReadText(log_));

    OpenLogFile(log_.c_str(), 0);
    CloseLogFile();
    EXPECT_EQ("", ReadText(log_));
}

using LogFileDeathTest = LogFile;

TEST_F(LogFileDeathTest, WritingWithoutALogOrOpeningWhereNoneCanBeEndsTheRun)
{
    EXPECT_EXIT(WriteToLogFile("nowhere"), ::testing::ExitedWithCode(2), "");
    EXPECT_EXIT(OpenLogFile(scratch_.File("missing\\setup.log").c_str(), 0), ::testing::ExitedWithCode(2), "");
}

// The delayed renames Windows performs at its next start, put back as they
// were, so the test leaves nothing for the next start of the prefix.
class PendingRenames {
public:
    PendingRenames() { existed_ = Read(saved_); }
    ~PendingRenames()
    {
        HKEY key;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
            return;
        if (existed_)
            RegSetValueExA(key, kValue, 0, REG_MULTI_SZ, reinterpret_cast<const BYTE *>(saved_.data()),
                           static_cast<DWORD>(saved_.size()));
        else
            RegDeleteValueA(key, kValue);
        RegCloseKey(key);
    }
    // Every name of the value, lower case, joined by '|'.
    static std::string Names()
    {
        std::string data;
        Read(data);
        for (char &c : data)
            c = c ? static_cast<char>(tolower(static_cast<unsigned char>(c))) : '|';
        return data;
    }

private:
    static bool Read(std::string &data)
    {
        DWORD size = 0;
        if (RegGetValueA(HKEY_LOCAL_MACHINE, kKey, kValue, RRF_RT_REG_MULTI_SZ, NULL, NULL, &size) != ERROR_SUCCESS)
            return false;
        data.resize(size);
        return RegGetValueA(HKEY_LOCAL_MACHINE, kKey, kValue, RRF_RT_REG_MULTI_SZ, NULL, &data[0], &size) ==
               ERROR_SUCCESS;
    }

    static constexpr const char *kKey = "System\\CurrentControlSet\\Control\\Session Manager";
    static constexpr const char *kValue = "PendingFileRenameOperations";
    std::string saved_;
    bool existed_ = false;
};

std::string Lower(std::string text)
{
    for (char &c : text)
        c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    return text;
}

// A handle that lets others read the file but not write or delete it.
class HeldOpen {
public:
    explicit HeldOpen(const std::string &path)
        : handle_(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL))
    {
    }
    ~HeldOpen() { CloseHandle(handle_); }

private:
    HANDLE handle_;
};

class RestartList : public ::testing::Test {
protected:
    void SetUp() override
    {
        WriteText(src_, "new");
        WriteText(dst_, "old");
        WriteText(answers_, "msgbox NO\n");
    }

    // The field after the target in the transcript's `restart` line; "" without one.
    static std::string NewCopyFor(const std::string &transcript, const std::string &target)
    {
        std::string prefix = "restart " + Quoted(target) + " \"";
        size_t at = transcript.find(prefix);
        if (at == std::string::npos)
            return "";
        at += prefix.size();
        std::string quoted = transcript.substr(at, transcript.find('"', at) - at), path;
        for (size_t i = 0; i < quoted.size(); i++)
            path += quoted[i] == '\\' ? quoted[++i] : quoted[i];
        return path;
    }

    PendingRenames renames_;
    ScratchDir scratch_;
    std::string src_ = scratch_.File("qv.dll.new");
    std::string dst_ = scratch_.File("qv.dll");
    std::string answers_ = scratch_.File("answers.txt");
};

TEST_F(RestartList, FileInUseIsReplacedAtTheNextStartOfWindows)
{
    {
        HeldOpen held(dst_);
        CopyAFile(src_.c_str(), dst_.c_str(), 0, 0);
    }
    EXPECT_EQ("old", ReadText(dst_));
    EXPECT_EQ(0, RestartListEmpty());
    std::string newCopy = NewCopyFor(ReadTranscript(), dst_);
    ASSERT_NE("", newCopy);
    EXPECT_EQ("new", ReadText(newCopy));
    std::string names = PendingRenames::Names();
    EXPECT_NE(std::string::npos, names.find(Lower(newCopy))) << names;
    EXPECT_NE(std::string::npos, names.find(Lower(dst_))) << names;
}

TEST_F(RestartList, FileInUseIsRemovedAtTheNextStartOfWindows)
{
    {
        HeldOpen held(dst_);
        EXPECT_EQ(YNRC_AT_RESTART, YnrcRemoveFile(dst_.c_str(), 0));
    }
    EXPECT_EQ("old", ReadText(dst_));
    EXPECT_TRUE(HasLine(ReadTranscript(), "restart " + Quoted(dst_)));
    EXPECT_NE(std::string::npos, PendingRenames::Names().find(Lower(dst_)));
}

TEST_F(RestartList, NewCopyWaitsInTheRestartDirectory)
{
    std::string waiting = scratch_.File("waiting\\room");
    SetRestartDir(waiting.c_str());
    {
        HeldOpen held(dst_);
        CopyAFile(src_.c_str(), dst_.c_str(), 0, 0);
    }
    std::string newCopy = NewCopyFor(ReadTranscript(), dst_);
    EXPECT_EQ(Lower(waiting), Lower(newCopy.substr(0, newCopy.find_last_of('\\'))));
    EXPECT_EQ(0, FSetRestartDir("C:\\a|b"));
}

using RestartListDeathTest = RestartList;

TEST_F(RestartListDeathTest, EmptyListNeedsNoRestartAndAsksNothing)
{
    EXPECT_EXIT(
        {
            RestartFrame("/a \"" + answers_ + "\" /t \"" + TranscriptPath(true) + "\"");
            exit(10 + RestartListEmpty() * 2 + ExitExecRestart());
        },
        ::testing::ExitedWithCode(13), "");
    EXPECT_EQ(std::string::npos, ReadTranscript(true).find("msgbox"));
}

TEST_F(RestartListDeathTest, UserWhoSaysNoGetsNoRestart)
{
    EXPECT_EXIT(
        {
            RestartFrame("/a \"" + answers_ + "\" /t \"" + TranscriptPath(true) + "\"");
            HeldOpen held(dst_);
            CopyAFile(src_.c_str(), dst_.c_str(), 0, 0);
            exit(10 + ExitExecRestart());
        },
        ::testing::ExitedWithCode(10), "");
    std::string transcript = ReadTranscript(true);
    size_t box = transcript.find("msgbox \"These files are in use");
    ASSERT_NE(std::string::npos, box) << transcript;
    std::string line = transcript.substr(box, transcript.find('\n', box) - box);
    EXPECT_NE(std::string::npos, line.find(Quoted(dst_).substr(1, Quoted(dst_).size() - 2))) << line;
    EXPECT_NE(std::string::npos, line.find("\"Restart Windows\" 36 7")) << line;
    EXPECT_EQ(std::string::npos, transcript.find("reboot"));
}

using MessageBoxDeathTest = ::testing::Test;

// Ends the process with 98 as soon as a box with this caption is on the screen.
void FailWhenShown(const char *caption)
{
    std::thread([caption] {
        for (int tries = 0; tries < 500; tries++) {
            if (FindWindowA("#32770", caption))
                ExitProcess(98);
            Sleep(10);
        }
    }).detach();
}

TEST_F(MessageBoxDeathTest, SilentModeAnswersTheFirstButtonWithoutShowing)
{
    EXPECT_EXIT(
        {
            RestartFrame("/t \"" + TranscriptPath(true) + "\"");  // an interactive run
            if (SetSilentMode(1) != 0 || SetSilentMode(1) != 1)
                exit(97);
            FailWhenShown("Silent Box");
            exit(DoMsgBox("Replace the older version?", "Silent Box", MB_YESNO));
        },
        ::testing::ExitedWithCode(IDYES), "");
    EXPECT_TRUE(HasLine(ReadTranscript(true), "msgbox \"Replace the older version?\" \"Silent Box\" 4 6"));
}

}  // namespace
