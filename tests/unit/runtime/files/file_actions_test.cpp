// Directories, copies, removals, backups, the writable checks and the file
// search, through the wrappers where they stand.
#include "files_fixture.h"

#include "setupapi.h"
#include "setuprt.h"

#include <string>

namespace {

using filestest::Exists;
using filestest::HasLine;
using filestest::IsDirectory;
using filestest::Quoted;
using filestest::ReadText;
using filestest::ReadTranscript;
using filestest::ScratchDir;
using filestest::WriteText;

// Sets or clears the read-only attribute for the life of the object, so the
// scratch directory can be removed afterwards.
class ReadOnly {
public:
    explicit ReadOnly(const std::string &path) : path_(path)
    {
        SetFileAttributesA(path_.c_str(), GetFileAttributesA(path_.c_str()) | FILE_ATTRIBUTE_READONLY);
    }
    ~ReadOnly() { SetFileAttributesA(path_.c_str(), FILE_ATTRIBUTE_NORMAL); }

private:
    std::string path_;
};

// A handle that lets others read the file but not write or delete it.
class HeldOpen {
public:
    explicit HeldOpen(const std::string &path)
        : handle_(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL))
    {
    }
    ~HeldOpen() { CloseHandle(handle_); }
    bool IsOpen() const { return handle_ != INVALID_HANDLE_VALUE; }

private:
    HANDLE handle_;
};

class Files : public ::testing::Test {
protected:
    ScratchDir scratch_;
};

TEST_F(Files, DirectoryIsMadeWithItsParentsAndRemoved)
{
    std::string deepest = scratch_.File("usr\\bin\\tools");
    CreateDir((deepest + "\\").c_str(), 0);
    ASSERT_TRUE(IsDirectory(deepest));
    std::string transcript = ReadTranscript();
    EXPECT_TRUE(HasLine(transcript, "dir " + Quoted(scratch_.File("usr"))));
    EXPECT_TRUE(HasLine(transcript, "dir " + Quoted(deepest)));

    CreateDir(deepest.c_str(), 0);  // already there
    RemoveDir(deepest.c_str(), 0);
    EXPECT_FALSE(Exists(deepest));
    EXPECT_TRUE(IsDirectory(scratch_.File("usr\\bin")));
    RemoveDir(deepest.c_str(), 0);  // gone already
}

TEST_F(Files, DirectoryThatCannotBeMadeOrRemovedFails)
{
    WriteText(scratch_.File("usr"), "a file in the way");
    EXPECT_EQ(0, FCreateDir(scratch_.File("usr\\bin").c_str(), 0));
    EXPECT_EQ(0, FCreateDir(scratch_.File("a|b").c_str(), 0));
    EXPECT_EQ(0, FRemoveDir(scratch_.Path().c_str(), 0));  // not empty
    EXPECT_TRUE(IsDirectory(scratch_.Path()));
}

TEST_F(Files, CopyReplacesButTheRuntimeKeepsWithoutTheBit)
{
    std::string src = scratch_.File("new.cfg"), dst = scratch_.File("qv.cfg");
    WriteText(src, "new");
    WriteText(dst, "old");
    EXPECT_EQ(1, FCopyOneFile(src.c_str(), dst.c_str(), 0, 0));
    EXPECT_EQ("old", ReadText(dst));

    CopyAFile(src.c_str(), dst.c_str(), 0, 0);
    EXPECT_EQ("new", ReadText(dst));
    EXPECT_TRUE(HasLine(ReadTranscript(), "copy " + Quoted(src) + " " + Quoted(dst)));
}

TEST_F(Files, AppendAddsTheBytesAtTheEnd)
{
    std::string part = scratch_.File("part2.txt"), whole = scratch_.File("whole.txt");
    WriteText(part, "two\r\n");
    CopyAFile(part.c_str(), whole.c_str(), 0, 1);
    CopyAFile(part.c_str(), whole.c_str(), 0, 1);
    EXPECT_EQ("two\r\ntwo\r\n", ReadText(whole));
    EXPECT_TRUE(HasLine(ReadTranscript(), "append " + Quoted(part) + " " + Quoted(whole)));
}

TEST_F(Files, FileIsNeverCopiedOrAppendedOntoItself)
{
    std::string file = scratch_.File("qv.cfg");
    WriteText(file, "same");
    EXPECT_EQ(0, FCopyOneFile(file.c_str(), file.c_str(), CMO_REPLACE_FILE, 1));
    EXPECT_EQ(0, FCopyOneFile(file.c_str(), file.c_str(), CMO_REPLACE_FILE, 0));
    EXPECT_EQ("same", ReadText(file));
    EXPECT_EQ(0, FCopyOneFile(scratch_.File("missing").c_str(), scratch_.File("x").c_str(), CMO_REPLACE_FILE, 0));
}

TEST_F(Files, ReadOnlyDestinationNeedsTheForceBit)
{
    std::string src = scratch_.File("new.cfg"), dst = scratch_.File("qv.cfg");
    WriteText(src, "new");
    WriteText(dst, "old");
    ReadOnly guard(dst);
    EXPECT_EQ(0, FCopyOneFile(src.c_str(), dst.c_str(), CMO_REPLACE_FILE, 0));
    EXPECT_EQ("old", ReadText(dst));
    EXPECT_EQ(1, FCopyOneFile(src.c_str(), dst.c_str(), CMO_REPLACE_FILE | CMO_FORCE, 0));
    EXPECT_EQ("new", ReadText(dst));
}

TEST_F(Files, RemoveDeletesAndAMissingFileIsNoFailure)
{
    std::string file = scratch_.File("old.dll");
    WriteText(file, "x");
    RemoveFile(file.c_str(), 0);
    EXPECT_FALSE(Exists(file));
    EXPECT_TRUE(HasLine(ReadTranscript(), "remove " + Quoted(file)));
    EXPECT_EQ(YNRC_DONE, YnrcRemoveFile(file.c_str(), 0));

    WriteText(file, "x");
    ReadOnly guard(file);
    EXPECT_EQ(YNRC_FAILED, YnrcRemoveFile(file.c_str(), 0));
    EXPECT_TRUE(Exists(file));
    EXPECT_EQ(YNRC_DONE, YnrcRemoveFile(file.c_str(), CMO_FORCE));
    EXPECT_FALSE(Exists(file));
}

TEST_F(Files, BackupRenamesInTheSameDirectoryOverAnOldBackup)
{
    std::string file = scratch_.File("AUTOEXEC.BAT"), backup = scratch_.File("AUTOEXEC.BAK");
    WriteText(file, "PATH C:\\DOS\r\n");
    WriteText(backup, "older backup");
    BackupFile(file.c_str(), "AUTOEXEC.BAK");
    EXPECT_FALSE(Exists(file));
    EXPECT_EQ("PATH C:\\DOS\r\n", ReadText(backup));
    EXPECT_TRUE(HasLine(ReadTranscript(), "backup " + Quoted(file) + " " + Quoted(backup)));

    RenameFile(backup.c_str(), "AUTOEXEC.BAT");
    EXPECT_EQ("PATH C:\\DOS\r\n", ReadText(file));
}

TEST_F(Files, BackupNameMustBeAPlainName)
{
    std::string file = scratch_.File("qv.ini");
    WriteText(file, "x");
    for (const char *name : {"..\\qv.bak", "C:qv.bak", "q?.bak", "", ".."})
        EXPECT_EQ(YNRC_FAILED, YnrcBackupFile(file.c_str(), name, 0)) << name;
    EXPECT_EQ(YNRC_FAILED, YnrcBackupFile(scratch_.File("missing.ini").c_str(), "qv.bak", 0));
    EXPECT_TRUE(Exists(file));
}

using FilesDeathTest = Files;

TEST_F(FilesDeathTest, FailedWrapperEndsTheRun)
{
    std::string file = scratch_.File("qv.ini");
    EXPECT_EXIT(BackupFile(file.c_str(), "qv.bak"), ::testing::ExitedWithCode(2), "");
    WriteText(scratch_.File("keep.txt"), "x");
    EXPECT_EXIT(RemoveDir(scratch_.Path().c_str(), 0), ::testing::ExitedWithCode(2), "");
}

TEST_F(Files, FileIsWritableUnlessReadOnlyOrHeld)
{
    std::string file = scratch_.File("qv.cfg");
    WriteText(file, "x");
    EXPECT_EQ(1, IsFileWritable(file.c_str()));
    EXPECT_EQ("x", ReadText(file));
    {
        ReadOnly guard(file);
        EXPECT_EQ(0, IsFileWritable(file.c_str()));
    }
    {
        HeldOpen held(file);
        ASSERT_TRUE(held.IsOpen());
        EXPECT_EQ(0, IsFileWritable(file.c_str()));
    }
    EXPECT_EQ(0, IsFileWritable(scratch_.File("missing").c_str()));
    EXPECT_EQ(0, IsFileWritable(scratch_.Path().c_str()));
}

TEST_F(Files, DirectoryIsWritableWhenAFileCanBeMadeThere)
{
    EXPECT_EQ(1, IsDirWritable(scratch_.Path().c_str()));
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(scratch_.File("*").c_str(), &found);
    int entries = 0;
    if (search != INVALID_HANDLE_VALUE) {
        do
            entries++;
        while (FindNextFileA(search, &found));
        FindClose(search);
    }
    EXPECT_EQ(2, entries) << "only . and .. after the check";

    std::string file = scratch_.File("qv.cfg");
    WriteText(file, "x");
    EXPECT_EQ(0, IsDirWritable(file.c_str()));
    EXPECT_EQ(0, IsDirWritable(scratch_.File("missing").c_str()));
    // The Linux file system's /proc, a directory where nothing can be made.
    EXPECT_EQ(0, IsDirWritable("Z:\\proc"));
}

TEST_F(Files, FileIsFoundWhereWindowsSearches)
{
    char path[MAX_PATH];
    char sys[MAX_PATH];
    GetSystemDirectoryA(sys, sizeof sys);
    std::string expected = std::string(sys) + "\\regedit.exe";
    if (!Exists(expected)) {
        GetWindowsDirectoryA(sys, sizeof sys);
        expected = std::string(sys) + "\\regedit.exe";
    }
    EXPECT_STRCASEEQ(expected.c_str(), FindFileUsingFileOpen("regedit.exe", path, sizeof path));

    std::string file = scratch_.File("qv.cfg");
    WriteText(file, "x");
    EXPECT_STRCASEEQ(file.c_str(), FindFileUsingFileOpen(file.c_str(), path, sizeof path));

    memset(path, 'x', sizeof path);
    EXPECT_STREQ("", FindFileUsingFileOpen("no_such_qv_file.dll", path, sizeof path));
}

TEST_F(FilesDeathTest, FoundPathLongerThanTheBufferEndsTheRun)
{
    std::string file = scratch_.File("qv.cfg");
    WriteText(file, "x");
    char path[16];
    EXPECT_EQ(FIND_ERROR, WFindFileUsingFileOpen(file.c_str(), path, sizeof path));
    EXPECT_STREQ("", path);
    EXPECT_EXIT(FindFileUsingFileOpen(file.c_str(), path, sizeof path), ::testing::ExitedWithCode(2), "");
}

}  // namespace
