// Path checks and file existence.
#include "runtime_fixture.h"

namespace {

TEST(ValidPath, AcceptsDrivesUncAndRelativePaths) {
    for (const char *path : {"C:", "c:\\", "C:\\usr\\bin", "D:relative", "\\\\server\\share",
                             "\\\\server\\share\\dir\\file.txt", "usr\\bin", "\\usr", "file.txt", "a b\\c d"})
        EXPECT_TRUE(FValidPath(path)) << path;
}

TEST(ValidPath, RefusesMalformedPaths) {
    for (const char *path : {"", "1:\\", "C:\\a:b", ":", "C::", "\\\\", "\\\\server", "\\\\server\\",
                             "\\\\\\share", "C:\\a<b", "C:\\a>b", "C:\\\"a\"", "C:\\a|b", "C:\\*.*",
                             "C:\\a?", "C:\\a\tb", "C:\\a\x01"})
        EXPECT_FALSE(FValidPath(path)) << path;
    EXPECT_FALSE(FValidPath(nullptr));
}

TEST(ValidPath, LengthIsBelowMaxPath) {
    std::string path = "C:\\" + std::string(MAX_PATH - 4, 'a');
    EXPECT_TRUE(FValidPath(path.c_str())) << "MAX_PATH - 1 characters";
    path += 'a';
    EXPECT_FALSE(FValidPath(path.c_str()));
}

TEST(DoesFileExist, FindsFilesButNotDirectories) {
    rttest::ScratchDir scratch;
    std::string file = scratch.File("present.txt");
    rttest::WriteText(file, "x");
    EXPECT_TRUE(FDoesFileExist(file.c_str(), 0));
    EXPECT_FALSE(FDoesFileExist(scratch.File("absent.txt").c_str(), 0));
    EXPECT_FALSE(FDoesFileExist(scratch.File("").c_str(), 0));
    EXPECT_FALSE(FDoesFileExist("", 0));
    EXPECT_FALSE(FDoesFileExist(nullptr, 0));
}

}  // namespace
