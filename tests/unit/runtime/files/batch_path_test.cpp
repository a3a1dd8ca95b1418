// PrependToPath on a scratch AUTOEXEC.BAT.
#include "files_fixture.h"

#include "setupapi.h"
#include "setuprt.h"

#include <string>

namespace {

using filestest::HasLine;
using filestest::Quoted;
using filestest::ReadText;
using filestest::ReadTranscript;
using filestest::ScratchDir;
using filestest::WriteText;

class BatchPath : public ::testing::Test {
protected:
    // The batch file written from `text` with the directory put in front.
    std::string Prepended(const std::string &text, const char *dir = "C:\\usr\\bin")
    {
        WriteText(src_, text);
        PrependToPath(src_.c_str(), dst_.c_str(), dir, 0);
        return ReadText(dst_);
    }

    ScratchDir scratch_;
    std::string src_ = scratch_.File("AUTOEXEC.BAT");
    std::string dst_ = scratch_.File("AUTOEXEC.NEW");
};

TEST_F(BatchPath, DirectoryGoesInFrontOfThePathStatement)
{
    const std::string original = "@ECHO OFF\r\nPATH C:\\DOS;C:\\WINDOWS\r\nSET TEMP=C:\\TEMP\r\n";
    EXPECT_EQ("@ECHO OFF\r\nPATH C:\\usr\\bin;C:\\DOS;C:\\WINDOWS\r\nSET TEMP=C:\\TEMP\r\n", Prepended(original));
    EXPECT_EQ(original, ReadText(src_));
    EXPECT_TRUE(HasLine(ReadTranscript(), "prepend " + Quoted(src_) + " " + Quoted(dst_) + " \"C:\\\\usr\\\\bin\""));
}

TEST_F(BatchPath, EveryFormOfTheStatementIsFound)
{
    EXPECT_EQ("path=C:\\usr\\bin;C:\\DOS\r\n", Prepended("path=C:\\DOS\n"));
    EXPECT_EQ("SET PATH=C:\\usr\\bin;%PATH%;C:\\DOS\r\n", Prepended("SET PATH=%PATH%;C:\\DOS\r\n"));
    EXPECT_EQ("@PATH C:\\usr\\bin;C:\\DOS\r\n", Prepended("@PATH C:\\DOS"));
}

TEST_F(BatchPath, OnlyTheLastStatementChanges)
{
    EXPECT_EQ("PATH C:\\DOS\r\nREM PATH C:\\OLD\r\nPATH C:\\usr\\bin;C:\\WINDOWS\r\nPATHS\r\n",
              Prepended("PATH C:\\DOS\r\nREM PATH C:\\OLD\r\nPATH C:\\WINDOWS\r\nPATHS\r\n"));
}

TEST_F(BatchPath, DirectoryIsAddedOnce)
{
    EXPECT_EQ("PATH C:\\DOS;c:\\USR\\BIN\\\r\n", Prepended("PATH C:\\DOS;c:\\USR\\BIN\\\r\n"));
    EXPECT_EQ("PATH C:\\usr\\bin;C:\\usr\\bin2;C:\\DOS\r\n", Prepended("PATH C:\\usr\\bin2;C:\\DOS\r\n"));
}

TEST_F(BatchPath, PathLineIsMadeWhenThereIsNone)
{
    EXPECT_EQ("@ECHO OFF\r\nPATH C:\\usr\\bin;%PATH%\r\n", Prepended("@ECHO OFF\r\n"));
    // DOS reads no further than the end-of-file mark.
    EXPECT_EQ("@ECHO OFF\r\nPATH C:\\usr\\bin;%PATH%\r\n", Prepended("@ECHO OFF\r\n\x1A"));
    DeleteFileA(src_.c_str());
    PrependToPath(src_.c_str(), dst_.c_str(), "C:\\usr\\bin", 0);
    EXPECT_EQ("PATH C:\\usr\\bin;%PATH%\r\n", ReadText(dst_));
}

TEST_F(BatchPath, DirectoryThatWouldBreakTheLineIsRefused)
{
    WriteText(src_, "PATH C:\\DOS\r\n");
    for (const char *dir : {"C:\\a;C:\\b", "C:\\a\r\nDEL C:\\*.*", "", "\"C:\\a\""})
        EXPECT_EQ(0, FPrependToPath(src_.c_str(), dst_.c_str(), dir, 0)) << dir;
    EXPECT_EQ("", ReadText(dst_));
}

}  // namespace
