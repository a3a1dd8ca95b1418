// What the modules do where a later system's call is missing: the older
// calls must give the answers the later ones give here.
#include "files_fixture.h"

#include "later_windows.h"

namespace {

using filestest::ScratchDir;
using filestest::ReadText;
using filestest::WriteText;

void ExpectSameAnswer(const std::string &path)
{
    WIN32_FILE_ATTRIBUTE_DATA later, older;
    ASSERT_TRUE(GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &later)) << path;
    ASSERT_TRUE(FileAttributesBySearch(path.c_str(), &older)) << path;
    EXPECT_EQ(later.dwFileAttributes, older.dwFileAttributes) << path;
    EXPECT_EQ(later.nFileSizeLow, older.nFileSizeLow) << path;
    EXPECT_EQ(later.nFileSizeHigh, older.nFileSizeHigh) << path;
    EXPECT_EQ(CompareFileTime(&later.ftLastWriteTime, &older.ftLastWriteTime), 0) << path;
}

TEST(OlderSystems, FileAttributesFromASearchMatchTheLaterQuery)
{
    ScratchDir scratch;
    WriteText(scratch.File("data.bin"), std::string(70000, 'x'));
    ExpectSameAnswer(scratch.File("data.bin"));
    ExpectSameAnswer(scratch.Path());

    WIN32_FILE_ATTRIBUTE_DATA data;
    ASSERT_TRUE(FileAttributesBySearch("C:\\", &data));
    EXPECT_TRUE(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_FALSE(FileAttributesBySearch(scratch.File("missing").c_str(), &data));
    EXPECT_FALSE(FileAttributesBySearch(scratch.File("*").c_str(), &data));
}

TEST(OlderSystems, ReplacingMoveDeletesTheEarlierFileFirst)
{
    ScratchDir scratch;
    std::string from = scratch.File("new.txt"), to = scratch.File("old.txt");
    WriteText(from, "new");
    WriteText(to, "old");
    EXPECT_FALSE(MoveFileByDeleting(from.c_str(), to.c_str(), 0));
    EXPECT_EQ(ReadText(to), "old");
    ASSERT_TRUE(MoveFileByDeleting(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING));
    EXPECT_EQ(ReadText(to), "new");
    EXPECT_EQ(GetFileAttributesA(from.c_str()), INVALID_FILE_ATTRIBUTES);

    WriteText(from, "later");
    EXPECT_FALSE(MoveFileByDeleting(from.c_str(), to.c_str(), MOVEFILE_DELAY_UNTIL_REBOOT));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CALL_NOT_IMPLEMENTED));
    EXPECT_EQ(ReadText(to), "new");
}

}  // namespace
