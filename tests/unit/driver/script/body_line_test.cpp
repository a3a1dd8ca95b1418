// body_line_test.cpp - lines of a file set's block taken apart, with the
// paths they make, before anything touches the disk.
#include "scan_fixture.h"

#include <limits.h>
#include <string.h>

#include "script/body_line.h"
#include "script/script_line.h"

namespace {

class BodyLineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        si.reset(new _setup_info);
        memset(si.get(), 0, sizeof *si);
        UseDirectories("C:\\usr", "A:\\FILES\\");
    }

    void UseDirectories(const std::string &dst_dir, const std::string &src_disk_dir)
    {
        snprintf(si->dst_dir, sizeof si->dst_dir, "%s", dst_dir.c_str());
        snprintf(si->src_disk_dir, sizeof si->src_disk_dir, "%s", src_disk_dir.c_str());
    }

    // The line as the installer has it after reading it.
    body_line Take(const std::string &text)
    {
        snprintf(si->input_line_buf, sizeof si->input_line_buf, "%s", text.c_str());
        si->line_ptr = skip_delimiters(si->input_line_buf);
        body_line line;
        TakeBodyLine(si.get(), &line);
        return line;
    }

    FatalStopped TakeStops(const std::string &text)
    {
        try {
            Take(text);
        } catch (const FatalStopped &stop) {
            return stop;
        }
        ADD_FAILURE() << "no fatal stop for: " << text;
        return FatalStopped{};
    }

    std::unique_ptr<_setup_info> si;
};

TEST_F(BodyLineTest, FileLinesGiveTheirPartsAndPaths)
{
    body_line line = Take("F\tb.dat\tbin\\b.cfg\n");
    EXPECT_EQ(line.kind, BODY_FILE);
    EXPECT_EQ(line.file_type, FILE_LINE_PLAIN);
    EXPECT_STREQ(si->unique_src_fname, "b.dat");
    EXPECT_STREQ(si->temp_src_path, "A:\\FILES\\b.dat");
    EXPECT_STREQ(si->dir, "bin\\");
    EXPECT_STREQ(si->fname, "b.cfg");
    EXPECT_STREQ(si->ext, ".cfg");
    EXPECT_STREQ(si->temp_dst_path, "C:\\usr\\bin\\b.cfg");

    // A drive in the destination is dropped.
    line = Take("P view.ex_ D:bin\\view.exe bin\\view.ico [Viewer]\n");
    EXPECT_EQ(line.file_type, FILE_LINE_PROGRAM);
    EXPECT_STREQ(si->temp_dst_path, "C:\\usr\\bin\\view.exe");
    EXPECT_STREQ(line.icon, "bin\\view.ico");
    EXPECT_STREQ(line.name, "Viewer");

    line = Take("I readme.tx_ readme.txt bin\\view.ico [Read me] [notepad.exe]\n");
    EXPECT_EQ(line.file_type, FILE_LINE_INFO);
    EXPECT_STREQ(si->temp_src_path, "A:\\FILES\\readme.tx_");
    EXPECT_STREQ(si->dir, "");
    EXPECT_STREQ(si->temp_dst_path, "C:\\usr\\readme.txt");
    EXPECT_STREQ(line.name, "Read me");
    EXPECT_STREQ(line.program, "notepad.exe");
}

TEST_F(BodyLineTest, OtherLinesGiveTheirKind)
{
    for (const char *text : {"; comment", "EXPRESSLY", "NOT COMPRESSED", "SOFTWARE [x]", "ENVIRONMENT"})
        EXPECT_EQ(Take(text).kind, BODY_PASSED_OVER) << text;
    EXPECT_EQ(Take("BEGIN\n").kind, BODY_BEGIN);
    EXPECT_EQ(Take("ENDING 5").kind, BODY_END);

    body_line line = Take("\tD bin\\sub\n");
    EXPECT_EQ(line.kind, BODY_DIRECTORY);
    EXPECT_STREQ(si->temp_dst_path, "C:\\usr\\bin\\sub");

    line = Take("CHANGEDISK 2\n");
    EXPECT_EQ(line.kind, BODY_CHANGEDISK);
    EXPECT_EQ(line.disk, 2);
    EXPECT_EQ(Take("CHANGEDISK 99999999999\n").disk, INT_MAX);
}

struct RefusedLine {
    std::string text;
    std::string message;
    std::string title;
};

class RefusedLineTest : public BodyLineTest, public ::testing::WithParamInterface<RefusedLine> {};

TEST_P(RefusedLineTest, StopsWithItsMessage)
{
    FatalStopped stop = TakeStops(GetParam().text);
    EXPECT_EQ(stop.text, GetParam().message);
    EXPECT_EQ(stop.title, GetParam().title);
}

const std::string kCorrupted = "Corrupted setup.inf file";
const std::string kLong(256, 'n');

INSTANTIATE_TEST_SUITE_P(
    Lines, RefusedLineTest,
    ::testing::Values(
        RefusedLine{"\n", kCorrupted, "Fatal Erro"}, RefusedLine{"   \n", kCorrupted, "Fatal Erro"},
        RefusedLine{"COMPANY [Elsewhere]\n", kCorrupted, "Fatal Erro"},
        RefusedLine{"ERASE a.txt\n", kCorrupted, "Fatal Erro"},
        RefusedLine{"FILESET [Inner]\n", kCorrupted, "Fatal Error"},
        RefusedLine{"CHANGEDISK\n", kCorrupted, "Fatal Error"}, RefusedLine{"D\n", kCorrupted, "Fatal Error"},
        RefusedLine{"F a.txt\n", kCorrupted, "Fatal Error"},
        RefusedLine{"P a.txt a.txt\n", kCorrupted, "Fatal Error"},
        RefusedLine{"P a.txt a.txt i.ico [Name\n", kCorrupted, "Fatal Error"},
        RefusedLine{"I a.txt a.txt i.ico [] [notepad.exe]\n", kCorrupted, "Fatal Error"},
        RefusedLine{"I a.txt a.txt i.ico [Doc] [notepad.exe\n", kCorrupted, "Fatal Error"},
        // Names and paths too long for their buffers are refused, never cut.
        RefusedLine{"F " + kLong + " a.txt\n", "Source file name too long: " + kLong, "Fatal Error"},
        RefusedLine{"F a.txt " + kLong + "\\a.txt\n", "Destination path too long: " + kLong + "\\a.txt",
                    "Fatal Error"}));

TEST_F(BodyLineTest, NamesAndPathsAtTheirLimitsAreKept)
{
    const std::string source(255, 's');
    Take("F " + source + " a.txt\n");
    EXPECT_EQ(si->unique_src_fname, source);

    // An item keeps the installed path in 260 bytes: "C:\usr\" and 252.
    const std::string destination(252, 'p');
    Take("P a.txt " + destination + " i.ico [n]\n");
    EXPECT_EQ(strlen(si->temp_dst_path), 259u);
    FatalStopped stop = TakeStops("P a.txt " + destination + "p i.ico [n]\n");
    EXPECT_EQ(stop.text, "Destination path too long: " + destination + "p");

    UseDirectories(std::string(259, 'd'), "A:\\FILES\\");
    const std::string directory(259, 'b');
    Take("D " + directory + "\n");
    EXPECT_EQ(strlen(si->temp_dst_path), 519u);
    stop = TakeStops("D " + directory + "b\n");
    EXPECT_EQ(stop.text, "Directory name too long: " + directory + "b");
}

// 0x81 leads a double-byte character in code page 932 and stands alone in
// a single-byte code page; the walk must follow the code page in use.
TEST_F(BodyLineTest, DoubleByteTrailBytesAreNoSeparators)
{
    body_line line = Take("P a.txt dir\\\x81\\x.exe \x81] [\x81]name]\n");
    if (IsDBCSLeadByte(0x81)) {
        EXPECT_STREQ(si->dir, "dir\\");
        EXPECT_STREQ(si->fname, "\x81\\x.exe");
        EXPECT_STREQ(line.name, "\x81]name");
    } else {
        EXPECT_STREQ(si->dir, "dir\\\x81\\");
        EXPECT_STREQ(si->fname, "x.exe");
        EXPECT_STREQ(line.name, "\x81");
    }
    EXPECT_STREQ(line.icon, "\x81]");
}

}  // namespace
