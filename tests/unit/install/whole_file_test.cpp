// Installed files are written under a temporary name and take their own
// name only when whole: what a run cut short left, read-only media.
#include "install_fixture.h"

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

// A killed run left the beginning of the file under the temporary name:
// the next run removes it. A file of that name with other bytes is not the
// installer's and stays.
TEST_F(WholeFile, LeftoverOfARunCutShortGoesAndAnotherFileOfItsNameStays)
{
    const std::string big = Payload(300000);
    WriteText(Medium() + "big.txt", big);
    WriteText(Medium() + "other.txt", "other");
    UseSimpleMedium("F big.txt big.txt\nF other.txt other.txt\n");
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
    WriteText(Installed("notes.txt.~part"), notes.substr(0, 100));
    InstallFileSet(1, si.get());
    EXPECT_EQ(ReadText(Installed("notes.txt")), notes);
    EXPECT_EQ(InstalledNames(), std::vector<std::string>{"notes.txt"});
}

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
