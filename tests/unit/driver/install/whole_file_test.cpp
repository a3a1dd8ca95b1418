// Installed files that replace earlier ones are written under a temporary
// name and take their own name only when whole; new ones are written in
// place, named in the log first: what a run cut short left, read-only media.
#include "install_fixture.h"
#include "install/install.h"

#include <string>
#include <vector>

namespace {

class WholeFile : public InstallTest {
protected:
    std::string Medium() { return root + "\\medium\\"; }
};

std::string Payload(size_t size)
{
    std::string text;
    for (size_t i = 0; text.size() < size; i++)
        text += "line " + std::to_string(i) + " of a long file\n";
    return text.substr(0, size);
}

// A run killed while replacing a file left its beginning under the
// temporary name: the next run removes it. A file of that name with other
// bytes is not the installer's and stays.
TEST_F(WholeFile, LeftoverOfARunCutShortGoesAndAnotherFileOfItsNameStays)
{
    const std::string big = Payload(300000);
    WriteText(Medium() + "big.txt", big);
    WriteText(Medium() + "other.txt", "other");
    UseSimpleMedium("F big.txt big.txt\nF other.txt other.txt\n");
    WriteText(Installed("big.txt"), "the earlier version");
    WriteText(Installed("other.txt"), "the earlier version");
    WriteText(Installed("big.txt.~part"), big.substr(0, 70000));
    WriteText(Installed("other.txt.~part"), "a file of the user's");
    InstallFileSet(1, si.get());
    EXPECT_EQ(ReadText(Installed("big.txt")), big);
    EXPECT_EQ(ReadText(Installed("other.txt")), "other");
    EXPECT_EQ(ReadText(Installed("other.txt.~part")), "a file of the user's");
    EXPECT_EQ(InstalledNames(), (std::vector<std::string>{"big.txt", "other.txt", "other.txt.~part"}));
}

TEST_F(WholeFile, LeftoverOfAnExpansionCutShortGoes)
{
    const std::string notes = ReadText(PayloadDir() + "/notes.txt");
    CreateDirectoryA(Medium().c_str(), NULL);
    ASSERT_TRUE(CopyFileA((PayloadDir() + "/notes.txt_").c_str(), (Medium() + "notes.txt_").c_str(), FALSE));
    UseSimpleMedium("F notes.txt_ notes.txt\n", "COMPRESSED\n");
    WriteText(Installed("notes.txt"), "the earlier version");
    WriteText(Installed("notes.txt.~part"), notes.substr(0, 100));
    InstallFileSet(1, si.get());
    EXPECT_EQ(ReadText(Installed("notes.txt")), notes);
    EXPECT_EQ(InstalledNames(), std::vector<std::string>{"notes.txt"});
}

FILETIME LastWriteTime(const std::string &path)
{
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data);
    return data.ftLastWriteTime;
}

// The uninstaller compares each file with its length and CRC-32 in the log,
// summed as the file is written: a file of one piece, of several, of none;
// and it leaves a file that was there before, which each family learns as
// it puts the new one in place. A new file is named as a part before its
// first byte, then as whole. The copy keeps the source's time of its last
// change, as CopyFileA does.
class LoggedFile : public WholeFile, public ::testing::WithParamInterface<bool> {};

TEST_P(LoggedFile, TheLogHoldsWhatWasInstalledAndTheCopyKeepsTheSourcesTime)
{
    if (GetParam())
        si->platform = PLATFORM_WIN95;
    const std::string big = Payload(2 * 256 * 1024 + 123);
    WriteText(Medium() + "a.txt", "alpha");
    WriteText(Medium() + "big.txt", big);
    WriteText(Medium() + "empty.txt", "");
    SYSTEMTIME day = {2001, 2, 0, 3, 4, 5, 6, 0};
    FILETIME when;
    ASSERT_TRUE(SystemTimeToFileTime(&day, &when));
    for (const char *name : {"a.txt", "big.txt"}) {
        HANDLE file = CreateFileA((Medium() + name).c_str(), FILE_WRITE_ATTRIBUTES, 0, NULL, OPEN_EXISTING, 0, NULL);
        ASSERT_TRUE(SetFileTime(file, NULL, NULL, &when));
        CloseHandle(file);
    }
    UseSimpleMedium("F a.txt a.txt\nF big.txt big.txt\nF empty.txt empty.txt\n");
    LogSetOne();
    WriteText(Installed("a.txt"), "from an earlier installation");
    InstallFileSet(1, si.get());

    EXPECT_EQ(ReadText(Installed("big.txt")), big);
    std::vector<log_record> files = LoggedFiles();
    ASSERT_EQ(files.size(), 5u);
    for (size_t i : {1, 3}) {
        EXPECT_TRUE(files[i].part && files[i].path == files[i + 1].path) << files[i].path;
        EXPECT_FALSE(files[i + 1].part);
    }
    files = {files[0], files[2], files[4]};
    const std::vector<size_t> sizes = {5, big.size(), 0};
    for (size_t i = 0; i < files.size(); i++) {
        SCOPED_TRACE(files[i].path);
        const std::string content = ReadText(files[i].path);
        EXPECT_EQ(files[i].size, sizes[i]);
        EXPECT_EQ(files[i].size, content.size());
        EXPECT_EQ(files[i].crc, Crc32(0, content.data(), content.size()));
        EXPECT_EQ(files[i].existed, i == 0);
    }
    for (const char *name : {"a.txt", "big.txt"}) {
        SCOPED_TRACE(name);
        const FILETIME installed = LastWriteTime(Installed(name));
        EXPECT_EQ(CompareFileTime(&when, &installed), 0);
    }
}

INSTANTIATE_TEST_SUITE_P(BothFamilies, LoggedFile, ::testing::Bool());

// A file from a CD-ROM comes over read-only; it must not stay so, or a
// second installation from the same disc cannot replace it.
TEST_F(WholeFile, ReadOnlySourceInstallsWritableAndInstallsAgain)
{
    WriteText(Medium() + "a.txt", "alpha");
    ASSERT_TRUE(SetFileAttributesA((Medium() + "a.txt").c_str(), FILE_ATTRIBUTE_READONLY));
    UseSimpleMedium("F a.txt a.txt\n");
    for (int run = 1; run <= 2; run++) {
        SCOPED_TRACE(run);
        EXPECT_EQ(InstallFileSet(1, si.get()), 1);
        EXPECT_EQ(ReadText(Installed("a.txt")), "alpha");
        EXPECT_EQ(GetFileAttributesA(Installed("a.txt").c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
    }
    EXPECT_EQ(InstalledNames(), std::vector<std::string>{"a.txt"});
    SetFileAttributesA((Medium() + "a.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
}

}  // namespace
