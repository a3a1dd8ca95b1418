// FValidDir and FParsePathIntoPieces on good and bad forms.
#include "files_fixture.h"

#include "setuprt.h"

#include <string>

namespace {

TEST(ValidDir, AcceptsDriveAndUncDirectories)
{
    for (const char *dir : {"C:\\", "c:\\usr", "C:\\usr\\", "D:\\Quorvane 2.0\\bin", "\\\\server\\share",
                            "\\\\server\\share\\", "\\\\server\\share\\apps\\qv"})
        EXPECT_TRUE(FValidDir(dir)) << dir;
}

TEST(ValidDir, RefusesRelativeMalformedAndForbiddenForms)
{
    for (const char *dir : {"", "C:", "C:usr", "usr\\bin", "\\usr", "1:\\usr", "C:\\usr\\\\bin", "C:\\a|b",
                            "C:\\a?", "C:\\a*", "C:\\a<b>", "C:\\a\"b", "C:\\a:b", "C:\\a/b", "C:\\a\tb",
                            "\\\\server", "\\\\server\\", "\\\\\\share", "\\\\server\\\\x"})
        EXPECT_FALSE(FValidDir(dir)) << dir;
    EXPECT_FALSE(FValidDir(NULL));
}

TEST(ValidDir, LongestDirectoryIsTwoBelowMaxPath)
{
    std::string dir = "C:\\" + std::string(MAX_PATH - 2 - 3, 'a');
    EXPECT_TRUE(FValidDir(dir.c_str()));
    dir += "a";
    EXPECT_FALSE(FValidDir(dir.c_str()));
}

struct Pieces {
    int ok;
    std::string volume, dir, file;
};

Pieces Parse(const char *path, unsigned cbVolume = MAX_PATH, unsigned cbDir = MAX_PATH, unsigned cbFile = MAX_PATH)
{
    char volume[MAX_PATH], dir[MAX_PATH], file[MAX_PATH];
    memset(volume, 0xA5, sizeof volume);
    memset(dir, 0xA5, sizeof dir);
    memset(file, 0xA5, sizeof file);
    int ok = FParsePathIntoPieces(path, volume, cbVolume, dir, cbDir, file, cbFile);
    return {ok, volume, dir, file};
}

TEST(ParsePath, SplitsVolumeDirectoryAndFile)
{
    Pieces p = Parse("C:\\usr\\bin\\qv.exe");
    EXPECT_EQ(1, p.ok);
    EXPECT_EQ("C:", p.volume);
    EXPECT_EQ("\\usr\\bin\\", p.dir);
    EXPECT_EQ("qv.exe", p.file);

    p = Parse("\\\\server\\share\\qv.ini");
    EXPECT_EQ(1, p.ok);
    EXPECT_EQ("\\\\server\\share", p.volume);
    EXPECT_EQ("\\", p.dir);
    EXPECT_EQ("qv.ini", p.file);

    p = Parse("D:\\usr\\");
    EXPECT_EQ(1, p.ok);
    EXPECT_EQ("\\usr\\", p.dir);
    EXPECT_EQ("", p.file);
}

TEST(ParsePath, InvalidPathEmptiesEveryPiece)
{
    for (const char *path : {"qv.exe", "C:qv.exe", "C:\\usr\\\\qv.exe", "C:\\us|r\\qv.exe", ""}) {
        Pieces p = Parse(path);
        EXPECT_EQ(0, p.ok) << path;
        EXPECT_EQ("", p.volume + p.dir + p.file) << path;
    }
}

TEST(ParsePath, PieceThatDoesNotFitFailsWithoutOverrun)
{
    // Exactly fitting pieces: the length plus the terminator.
    EXPECT_EQ(1, Parse("C:\\usr\\qv.exe", 3, 6, 7).ok);

    char file[8];
    memset(file, 0xA5, sizeof file);
    EXPECT_EQ(0, FParsePathIntoPieces("C:\\usr\\quorvane.exe", NULL, 0, NULL, 0, file, 7));
    EXPECT_EQ('\0', file[0]);
    EXPECT_EQ((char)0xA5, file[7]);

    EXPECT_EQ(0, Parse("C:\\usr\\qv.exe", 2).ok);
    EXPECT_EQ(0, Parse("C:\\usr\\qv.exe", 3, 5).ok);
}

TEST(ParsePath, NullBufferSkipsItsPiece)
{
    char file[32];
    ASSERT_EQ(1, FParsePathIntoPieces("\\\\server\\share\\apps\\qv.dll", NULL, 0, NULL, 0, file, sizeof file));
    EXPECT_STREQ("qv.dll", file);
}

}  // namespace
