// scan_test.cpp - the scanner fills the file-set table from setup.inf.
#include "scan_fixture.h"
#include "script/script_checks.h"

#include <limits.h>
#include <stdlib.h>
#include <string.h>

static const char example_script[] = R"(; two-disk example
COMPANY [Example Works]
COMPRESSED
FLOPPY DISK IMAGE
FILESET [Setup files]
BEGIN
END 0
FILESET [Base tools]
EXPRESS
SOFTWARE [Example Tools]
MAJORVERSION [2]
MINORVERSION [0]
RELEASE [1]
CPUTYPE [i386]
ADDPATH [bin]
ENVIRONMENT [TOOLS_HOME] [C:\tools]
APPITEM bin\tool.exe bin\tool.ico [Tool] [-i]
BEGIN
D bin
F tool.ex_ bin\tool.exe
P view.ex_ bin\view.exe bin\view.ico [Viewer]
I readme.tx_ readme.txt bin\view.ico [Read me] [notepad.exe]
CHANGEDISK 2
F data.da_ bin\data.dat
END 90112
)";

static std::string WithLineEnding(const std::string &script, const std::string &ending)
{
    std::string converted;
    for (char ch : script)
        converted += ch == '\n' ? ending : std::string(1, ch);
    return converted;
}

// A complete set n: "set n" with "software n" and size n.
static std::string FileSet(int n)
{
    std::string number = std::to_string(n);
    return Lines({"FILESET [set " + number + "]", "SOFTWARE [software " + number + "]", "BEGIN",
                  "END " + number});
}

static std::string CompleteSets(int count)
{
    std::string script;
    for (int n = 0; n < count; n++)
        script += FileSet(n);
    return script;
}

class ExampleScanTest : public ScanTest, public ::testing::WithParamInterface<const char *> {};

TEST_P(ExampleScanTest, FillsTheRecordAndTheTable)
{
    Scan(WithLineEnding(example_script, GetParam()));

    EXPECT_EQ(si->num_file_sets, 2);
    EXPECT_STREQ(si->company_name, "Example Works");
    EXPECT_EQ(si->compressed_files, 1);
    EXPECT_EQ(si->image_type, IMAGE_FLOPPY);
    EXPECT_EQ(si->current_diskid, 1);
    EXPECT_EQ(si->begin, 0);

    EXPECT_STREQ(Set(0).name, "Setup files");
    EXPECT_EQ(Set(0).selected, 0);
    EXPECT_EQ(Set(0).express, 0);
    EXPECT_EQ(Set(0).starting_diskid, 1);
    EXPECT_EQ(Set(0).size, 0u);

    const _fileset_info &base = Set(1);
    EXPECT_STREQ(base.name, "Base tools");
    EXPECT_STREQ(base.software_name, "Example Tools");
    EXPECT_STREQ(base.major_version, "2");
    EXPECT_STREQ(base.minor_version, "0");
    EXPECT_STREQ(base.release, "1");
    EXPECT_STREQ(base.cpu_type, "i386");
    EXPECT_EQ(base.selected, 1);
    EXPECT_EQ(base.express, 1);
    EXPECT_EQ(base.starting_diskid, 1);
    EXPECT_EQ(base.size, 90112u);

    ASSERT_EQ(CountItems(base.path_items), 1);
    EXPECT_STREQ(base.path_items->path, "bin");
    EXPECT_EQ(base.cur_path_item, base.path_items);
    ASSERT_EQ(CountItems(base.environ_items), 1);
    EXPECT_STREQ(base.environ_items->var, "TOOLS_HOME");
    EXPECT_STREQ(base.environ_items->value, "C:\\tools");
    ASSERT_EQ(CountItems(base.app_items), 1);
    EXPECT_STREQ(base.app_items->name, "Tool");
    EXPECT_STREQ(base.app_items->app_exe_path, "bin\\tool.exe");
    EXPECT_STREQ(base.app_items->icon_path, "bin\\tool.ico");
    EXPECT_STREQ(base.app_items->app_args, "-i");
    EXPECT_EQ(base.app_items->sys_app, 0);
    // Program and info items come from the installer, not the scan.
    EXPECT_EQ(base.prog_items, nullptr);
    EXPECT_EQ(base.info_items, nullptr);
    EXPECT_TRUE(UntouchedAfterScanFields());
}

TEST_P(ExampleScanTest, SeekValueLeadsBackToTheLineAfterFileset)
{
    Scan(WithLineEnding(example_script, GetParam()));

    EXPECT_EQ(LineAt(Set(0).seek_value), "BEGIN");
    EXPECT_EQ(LineAt(Set(1).seek_value), "EXPRESS");
}

INSTANTIATE_TEST_SUITE_P(LineEndings, ExampleScanTest, ::testing::Values("\n", "\r\n"));

TEST_F(ScanTest, AnEmptyScriptHasNoSets)
{
    Scan("");
    EXPECT_EQ(si->num_file_sets, 0);
    EXPECT_EQ(si->current_diskid, 1);

    Scan(Lines({"", "   ", "\t"}));
    EXPECT_EQ(si->num_file_sets, 0);
}

TEST_F(ScanTest, KeywordsMatchAsCaseSensitivePrefixes)
{
    Scan(Lines({
        "FILESET [zero]", "EXPRESSLY", "ENDX 7",
        "FILESET [one]", "ENDING 9",
        "COMPRESSED", "NOT COMPRESSED", "CDROM IMAGES",
        "fileset [two]", "end 5", "compressed",
    }));
    EXPECT_EQ(si->num_file_sets, 2);
    EXPECT_EQ(Set(0).express, 1);
    EXPECT_EQ(Set(0).size, 7u);
    EXPECT_EQ(Set(1).size, 9u);
    EXPECT_EQ(si->compressed_files, 0);
    EXPECT_EQ(si->image_type, IMAGE_CDROM);
}

TEST_F(ScanTest, IndentedKeywordsAreRecognised)
{
    Scan(Lines({"  FILESET [a]", "\tBEGIN", " \t END 5", "\t\tCOMPRESSED", "   SINGLE DIR IMAGE"}));
    EXPECT_EQ(si->num_file_sets, 1);
    EXPECT_STREQ(Set(0).name, "a");
    EXPECT_EQ(Set(0).size, 5u);
    EXPECT_EQ(si->compressed_files, 1);
    EXPECT_EQ(si->image_type, IMAGE_SINGLE_DIR);
}

TEST_F(ScanTest, TenSetsAreAcceptedWithTheirPositions)
{
    // Long comments between the sets move every position well past the
    // stream's buffer.
    std::string script;
    for (int n = 0; n < MAX_FILE_SETS; n++)
        script += std::string(200, ';') + "\n" + FileSet(n);
    Scan(script);

    ASSERT_EQ(si->num_file_sets, MAX_FILE_SETS);
    for (int i = 0; i < MAX_FILE_SETS; i++) {
        SCOPED_TRACE("set " + std::to_string(i));
        EXPECT_EQ(LineAt(Set(i).seek_value), "SOFTWARE [software " + std::to_string(i) + "]");
        EXPECT_EQ(Set(i).selected, i == 1 ? 1 : 0);
    }
    EXPECT_TRUE(UntouchedAfterScanFields());
}

TEST_F(ScanTest, TheEleventhFilesetStops)
{
    FatalStopped stop = ScanStops(CompleteSets(MAX_FILE_SETS) + Lines({"FILESET [eleven]"}));
    EXPECT_EQ(stop.text, "MAX_FILE_SETS (10) exceed, redfined and re-reun");
    EXPECT_EQ(stop.title, "Fatal Error");
}

TEST_F(ScanTest, SetLinesAfterTheTenthEndAreIgnored)
{
    Scan(CompleteSets(MAX_FILE_SETS) + Lines({
        "EXPRESS", "SOFTWARE [late]", "MAJORVERSION [9]", "ADDPATH [late]",
        "APPITEM late.exe late.ico [Late] []", "ENVIRONMENT [LATE] [1]",
        "BEGIN", "END 5", "COMPANY [Late Works]", "CDROM IMAGE",
    }));
    EXPECT_EQ(si->num_file_sets, MAX_FILE_SETS);
    EXPECT_STREQ(Set(9).software_name, "software 9");
    EXPECT_EQ(Set(9).size, 9u);
    EXPECT_EQ(si->begin, 0);
    // Script-wide lines still apply.
    EXPECT_STREQ(si->company_name, "Late Works");
    EXPECT_EQ(si->image_type, IMAGE_CDROM);
    EXPECT_TRUE(UntouchedAfterScanFields());
}

TEST_F(ScanTest, ASecondBeginInOneBlockStops)
{
    FatalStopped stop = ScanStops(Lines({"FILESET [a]", "BEGIN", "D bin", "BEGIN", "END 1"}));
    EXPECT_EQ(stop.text, "Corrupted setup files\n");
    EXPECT_EQ(stop.title, "Fatal Error");
}

TEST_F(ScanTest, BlocksAreCountedByTheirEndLines)
{
    Scan(Lines({
        "FILESET [no begin]", "END 5",
        "FILESET [a]", "ADDPATH [first]",
        "FILESET [b]", "ADDPATH [second]", "BEGIN", "END 6",
        "FILESET [open]", "SOFTWARE [Open]", "BEGIN",
    }));
    EXPECT_EQ(si->num_file_sets, 2);
    EXPECT_EQ(Set(0).size, 5u);
    // A FILESET line without END is filled again by the next one; its
    // list nodes stay.
    EXPECT_STREQ(Set(1).name, "b");
    EXPECT_EQ(LineAt(Set(1).seek_value), "ADDPATH [second]");
    EXPECT_EQ(CountItems(Set(1).path_items), 2);
    // The last block has no END: not counted, its header lines applied.
    EXPECT_STREQ(Set(2).name, "open");
    EXPECT_STREQ(Set(2).software_name, "Open");
    EXPECT_EQ(si->begin, 1);
}

TEST_F(ScanTest, NumbersAreReadAfterTheFirstBlank)
{
    Scan(Lines({
        "FILESET [a]", "END    90112",
        "FILESET [b]", "END 12abc",
        "FILESET [c]", "END abc",
        "FILESET [d]", "END ",
        "CHANGEDISK  3", "FILESET [e]", "BEGIN", "END 1",
        "CHANGEDISK 99999999999", "FILESET [f]", "BEGIN", "END 1",
    }) + "FILESET [last]\nEND 4096");
    ASSERT_EQ(si->num_file_sets, 7);
    EXPECT_EQ(Set(0).size, 90112u);
    EXPECT_EQ(Set(1).size, 12u);
    EXPECT_EQ(Set(2).size, 0u);
    EXPECT_EQ(Set(3).size, 0u);
    EXPECT_EQ(Set(4).starting_diskid, 3);
    EXPECT_EQ(Set(5).starting_diskid, INT_MAX);
    // The last line without a line feed is taken whole.
    EXPECT_EQ(Set(6).size, 4096u);
}

TEST_F(ScanTest, DiskNumbersCountThroughTheWholeScript)
{
    Scan(Lines({
        "FILESET [zero]", "BEGIN", "CHANGEDISK 2", "END 0",
        "FILESET [one]", "BEGIN", "END 1",
        "CHANGEDISK 3",
        "FILESET [two]", "BEGIN", "F a.da_ a.dat", "CHANGEDISK 4", "END 1",
        "FILESET [three]", "BEGIN", "END 1",
    }));
    EXPECT_EQ(Set(0).starting_diskid, 1);
    EXPECT_EQ(Set(1).starting_diskid, 2);
    EXPECT_EQ(Set(2).starting_diskid, 3);
    EXPECT_EQ(Set(3).starting_diskid, 4);
    EXPECT_EQ(si->current_diskid, 1);
}

TEST_F(ScanTest, TheSecondSetAndExpressSetsAreSelected)
{
    Scan(Lines({
        "FILESET [zero]", "EXPRESS", "END 0",
        "FILESET [one]", "END 0",
        "FILESET [two]", "END 0",
        "EXPRESS", "FILESET [three]", "END 0",
        "FILESET [four]", "EXPRESS", "END 0",
    }));
    const int selected[] = {1, 1, 0, 0, 1};
    const int express[] = {1, 0, 0, 1, 1};
    for (int i = 0; i < 5; i++) {
        SCOPED_TRACE("set " + std::to_string(i));
        EXPECT_EQ(Set(i).selected, selected[i]);
        EXPECT_EQ(Set(i).express, express[i]);
    }
}

TEST_F(ScanTest, HeaderLinesAfterAnEndBelongToTheNextSet)
{
    Scan(Lines({
        "FILESET [zero]", "END 0",
        "SOFTWARE [Next]", "ADDPATH [p1]",
        "FILESET [one]", "ADDPATH [p2]", "BEGIN", "ADDPATH [p3]",
        "SYSAPP \t sys.exe\t\tsys.ico  [My Tool] []",
        "APPITEM a.exe a.ico [A] [ -x  -y ]",
        "ENVIRONMENT [A] [1]", "ENVIRONMENT [B] []",
        "END 1",
    }));
    EXPECT_EQ(Set(0).path_items, nullptr);
    EXPECT_STREQ(Set(1).software_name, "Next");

    const _PathItems *path = Set(1).path_items;
    ASSERT_EQ(CountItems(path), 3);
    EXPECT_STREQ(path->path, "p1");
    EXPECT_STREQ(path->next->path, "p2");
    EXPECT_STREQ(path->next->next->path, "p3");
    EXPECT_EQ(Set(1).cur_path_item, path->next->next);

    const _AppItems *app = Set(1).app_items;
    ASSERT_EQ(CountItems(app), 2);
    EXPECT_STREQ(app->app_exe_path, "sys.exe");
    EXPECT_STREQ(app->icon_path, "sys.ico");
    EXPECT_STREQ(app->name, "My Tool");
    EXPECT_STREQ(app->app_args, "");
    EXPECT_EQ(app->sys_app, 1);
    EXPECT_STREQ(app->next->app_args, " -x  -y ");
    EXPECT_EQ(app->next->sys_app, 0);

    const _EnvironItems *env = Set(1).environ_items;
    ASSERT_EQ(CountItems(env), 2);
    EXPECT_STREQ(env->next->var, "B");
    EXPECT_STREQ(env->next->value, "");
}

TEST_F(ScanTest, LongValuesAreCutToTheirFieldsAndTerminated)
{
    const std::string long_value(300, 'v');
    const std::string args(400, 'a');
    Scan(Lines({
        "COMPANY [" + long_value + "]",
        "FILESET [a]",
        "SOFTWARE [" + long_value + "]",
        "ADDPATH [" + long_value + "]",
        "ENVIRONMENT [" + long_value + "] [x]",
        "ENVIRONMENT [x] [" + long_value + "]",
        "APPITEM " + long_value + " i [n] []",
        "APPITEM e " + long_value + " [n] []",
        "APPITEM e i [" + long_value + "] []",
        "APPITEM e i [n] [" + args + "]",
        "END 1",
    }));
    EXPECT_EQ(std::string(si->company_name), long_value.substr(0, 255));
    EXPECT_TRUE(Untouched(si->sys_dir, sizeof si->sys_dir));
    EXPECT_EQ(std::string(Set(0).software_name), long_value.substr(0, 255));
    EXPECT_TRUE(Untouched(Set(0).major_version, sizeof Set(0).major_version));

    ASSERT_EQ(CountItems(Set(0).path_items), 1);
    EXPECT_EQ(strlen(Set(0).path_items->path), 255u);
    const _EnvironItems *env = Set(0).environ_items;
    ASSERT_EQ(CountItems(env), 2);
    EXPECT_EQ(strlen(env->var), 255u);
    EXPECT_STREQ(env->value, "x");
    EXPECT_EQ(strlen(env->next->value), 255u);

    const _AppItems *app = Set(0).app_items;
    ASSERT_EQ(CountItems(app), 4);
    EXPECT_EQ(std::string(app->app_exe_path), long_value.substr(0, 259));
    EXPECT_STREQ(app->icon_path, "i");
    app = app->next;
    EXPECT_EQ(strlen(app->icon_path), 259u);
    app = app->next;
    EXPECT_EQ(strlen(app->name), 255u);
    // Arguments have a field of 512: a whole line's worth fits.
    EXPECT_EQ(std::string(app->next->app_args), args);
}

TEST_F(ScanTest, AFilesetNameOf255CharactersIsKept)
{
    const std::string name(255, 'n');
    Scan(Lines({"FILESET [" + name + "]", "END 1"}));
    EXPECT_EQ(std::string(Set(0).name), name);
}

TEST_F(ScanTest, ALongerFilesetNameStops)
{
    for (size_t length : {256, 600}) {
        SCOPED_TRACE(length);
        FatalStopped stop = ScanStops(Lines({"FILESET [" + std::string(length, 'n') + "]", "END 1"}));
        EXPECT_EQ(stop.text, "File set name longer than 255 characters in setup.inf");
        EXPECT_EQ(stop.title, "Fatal Error");
    }
}

TEST_F(ScanTest, AFilesetLineWithoutItsNameStops)
{
    for (const char *line : {"FILESET", "FILESET [unclosed", "FILESET name]"}) {
        SCOPED_TRACE(line);
        FatalStopped stop = ScanStops(Lines({line, "END 1"}));
        EXPECT_EQ(stop.text, "Corrupted setup.inf file");
        EXPECT_EQ(stop.title, "Fatal Error");
    }
}

TEST_F(ScanTest, ALineLongerThan511CharactersIsReadInPieces)
{
    // 511 characters fill one read; the rest is a line of its own.
    Scan(Lines({
        "FILESET [a]", std::string(600, ';'), "END 1",
        ";" + std::string(510, 'x') + "COMPRESSED",
    }));
    EXPECT_EQ(si->num_file_sets, 1);
    EXPECT_EQ(Set(0).size, 1u);
    EXPECT_EQ(si->compressed_files, 1);
}

TEST_F(ScanTest, VerboseTraceNamesEachFileset)
{
    si->verbose = 1;
    ::testing::internal::CaptureStdout();
    Scan(Lines({"FILESET [Base tools]", "END 1"}));
    EXPECT_EQ(::testing::internal::GetCapturedStdout(),
              "Scanning for  FILESETs in setup_inf_file\n Base tools ...\n");

    si->verbose = 0;
    ::testing::internal::CaptureStdout();
    Scan(Lines({"FILESET [Base tools]", "END 1"}));
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
}

// Lines that lack a part the format requires.
class MalformedLineTest : public ScanTest, public ::testing::WithParamInterface<const char *> {};

TEST_P(MalformedLineTest, StopsInsideAFileSetBlock)
{
    for (const char *where : {"header", "body"}) {
        SCOPED_TRACE(where);
        std::string block = strcmp(where, "body") == 0 ? "BEGIN\n" : "";
        FatalStopped stop = ScanStops("FILESET [a]\n" + block + GetParam() + "\nEND 1\n");
        EXPECT_EQ(stop.text, "Corrupted setup.inf file");
        EXPECT_EQ(stop.title, "Fatal Error");
    }
}

TEST_P(MalformedLineTest, IsIgnoredOutsideAFileSetBlock)
{
    Scan(Lines({"FILESET [zero]", "BEGIN", "END 0", GetParam(), "FILESET [one]", "BEGIN", "END 1"}));
    EXPECT_EQ(si->num_file_sets, 2);
    EXPECT_EQ(Set(0).size, 0u);
    EXPECT_EQ(Set(1).size, 1u);
    EXPECT_EQ(Set(1).starting_diskid, 1);
    EXPECT_TRUE(Untouched(si->company_name, sizeof si->company_name));
    EXPECT_TRUE(Untouched(Set(1).software_name, sizeof Set(1).software_name));
    EXPECT_EQ(Set(1).path_items, nullptr);
    EXPECT_EQ(Set(1).environ_items, nullptr);
    EXPECT_EQ(Set(1).app_items, nullptr);
}

INSTANTIATE_TEST_SUITE_P(Lines, MalformedLineTest, ::testing::Values(
    "END", "END\t5", "CHANGEDISK", "CHANGEDISK\t2",
    "COMPANY Works", "COMPANY [Works", "SOFTWARE Tools]", "ADDPATH",
    "ENVIRONMENT [HOME]", "ENVIRONMENT HOME [x]",
    "APPITEM", "APPITEM tool.exe", "APPITEM tool.exe tool.ico",
    "APPITEM tool.exe tool.ico [Tool]", "APPITEM tool.exe tool.ico [] [-i]",
    "SYSAPP tool.exe tool.ico [Tool] [-i"));

// A line that would reach outside its place or damage the environment:
// where it stands in the script, and the reason its stop gives.
struct HostileLine {
    const char *line;
    const char *reason;
};

class HostileLineTest : public ScanTest, public ::testing::WithParamInterface<HostileLine> {};

TEST_P(HostileLineTest, StopsTheScanNamingTheLineWhereverItStandsInABlock)
{
    const std::string line = GetParam().line;
    const std::string head = Lines({"; hostile", "COMPANY [Works]", "FILESET [one]"});
    const std::pair<std::string, int> placings[] = {
        {head + Lines({"BEGIN", line, "END 1"}), 5},
        {head + Lines({line, "BEGIN", "END 1"}), 4},
        {head + Lines({"BEGIN", "END 1", "FILESET [two]", line, "BEGIN", "END 2"}), 7},
    };
    for (const auto &placing : placings) {
        SCOPED_TRACE(placing.first);
        FatalStopped stop = ScanStops(placing.first);
        const std::string named = "setup.inf line " + std::to_string(placing.second) + ": " + GetParam().reason;
        EXPECT_EQ(stop.text.substr(0, named.size()), named) << stop.text;
        EXPECT_EQ(stop.text.substr(stop.text.size() - line.size() - 2), ": " + line) << stop.text;
        EXPECT_EQ(stop.title, "Fatal Error");
    }
}

INSTANTIATE_TEST_SUITE_P(Lines, HostileLineTest, ::testing::Values(
    HostileLine{"F a.bin ..\\x.txt", "the destination leaves the installation directory"},
    HostileLine{"F a.bin bin\\..\\..\\windows\\x.txt", "the destination leaves the installation directory"},
    HostileLine{"P\ta.bin\tC:..\\x.exe x.ico [X]", "the destination leaves the installation directory"},
    HostileLine{"F a.bin bin\\con\\x.txt", "the destination names a device"},
    HostileLine{"F ..\\..\\..\\etc\\hostname x.txt", "the source leaves the medium's file directory"},
    HostileLine{"F \\\\server\\share\\a.bin x.txt", "the source is not a name in the medium's file directory"},
    HostileLine{"I C:\\boot.ini x.txt x.ico [X] [notepad.exe]", "the source is not a name in the medium's file directory"},
    HostileLine{"F nul.dat x.txt", "the source names a device"},
    HostileLine{"D ..\\dir", "the directory leaves the installation directory"},
    HostileLine{"D LPT1", "the directory names a device"},
    HostileLine{"P a.bin x.exe x.ico [..]", "the shortcut name is empty or only dots and blanks"},
    HostileLine{"APPITEM x.exe x.ico [. .] []", "the shortcut name is empty or only dots and blanks"},
    HostileLine{"SYSAPP x.exe x.ico [...] []", "the shortcut name is empty or only dots and blanks"},
    HostileLine{"SOFTWARE [..]", "the group name is empty or only dots and blanks"},
    HostileLine{"SOFTWARE []", "the group name is empty or only dots and blanks"},
    HostileLine{"ENVIRONMENT [PATH] [C:\\vendor]", "the search path is changed by ADDPATH lines only"},
    HostileLine{"ENVIRONMENT [] [x]", "the variable has no name"},
    HostileLine{"ENVIRONMENT [A=B] [x]", "the variable name holds a \"=\""},
    HostileLine{"ADDPATH [ ]", "the search path entry is empty"},
    HostileLine{"ADDPATH [bin;C:\\x]", "the search path entry holds a \";\""}));

// The product's lines stand before the first FILESET line, where an
// installer that does not know them ignores them.
TEST_F(ScanTest, TheProductsNameAndBannerComeBeforeTheFirstSet)
{
    Scan(Lines({"; branded", "PRODUCT [Pinecone Notes 3.1]", "\tBANNER [art\\pinecone.BMP]", "COMPANY [Pinecone]",
                "FILESET [zero]", "BEGIN", "END 0", "FILESET [one]", "BEGIN",
                "PRODUCT.EX_ bin\\product.exe x.ico [Product]", "END 1"}));
    EXPECT_STREQ(si->product_name, "Pinecone Notes 3.1");
    EXPECT_STREQ(si->banner_file, "art\\pinecone.BMP");
    // Inside a block the same letters begin a P line, as they always did.
    EXPECT_EQ(si->num_file_sets, 2);

    const std::string longest(MAX_PRODUCT_NAME, 'n');
    Scan(Lines({"PRODUCT [first]", "PRODUCT [" + longest + "]", "FILESET [zero]", "END 0"}));
    EXPECT_EQ(std::string(si->product_name), longest);
}

TEST_F(ScanTest, AWrongProductOrBannerLineStopsNamingIt)
{
    const struct {
        std::string line;
        const char *reason;
    } cases[] = {
        {"PRODUCT []", "the product name is empty"},
        {"PRODUCT [  ]", "the product name is empty"},
        {"PRODUCT [Pinecone\tNotes]", "the product name holds a control character"},
        {"PRODUCT [" + std::string(MAX_PRODUCT_NAME + 1, 'n') + "]", "the product name is longer than 63 characters"},
        {"PRODUCT Pinecone", "the product name needs its \"[\" and \"]\""},
        {"PRODUCT [" + std::string(600, 'n'), "the product name needs its \"[\" and \"]\""},
        {"BANNER [..\\logo.bmp]", "the source leaves the medium's file directory"},
        {"BANNER [C:\\logo.bmp]", "the source is not a name in the medium's file directory"},
        {"BANNER [nul.bmp]", "the source names a device"},
        {"BANNER [logo.png]", "the banner is not a .bmp file"},
        {"BANNER logo.bmp", "the banner needs its file name in \"[\" and \"]\""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.line);
        FatalStopped stop = ScanStops(Lines({"COMPANY [Works]", c.line, "FILESET [zero]", "END 0"}));
        const std::string named = std::string("setup.inf line 2: ") + c.reason;
        EXPECT_EQ(stop.text.substr(0, named.size()), named) << stop.text;
        EXPECT_EQ(stop.title, "Fatal Error");
    }
    // After the first set an old installer would have shown its own name
    // on the screens before it: the line is refused rather than half taken.
    FatalStopped late = ScanStops(Lines({"FILESET [zero]", "BEGIN", "END 0", "PRODUCT [Late]", "FILESET [one]",
                                         "END 1"}));
    EXPECT_EQ(late.text, "setup.inf line 4: this line stands before the first FILESET line: PRODUCT [Late]");
}

TEST_F(ScanTest, LinesAreNumberedAsTheScriptHasThem)
{
    // A line read in pieces keeps one number; a carriage return is no part
    // of the text shown.
    FatalStopped stop = ScanStops(Lines({"; " + std::string(600, 'x'), "FILESET [one]", "BEGIN",
                                         "F a.bin ..\\x.txt", "END 1"},
                                        "\r\n"));
    EXPECT_EQ(stop.text, "setup.inf line 4: the destination leaves the installation directory: F a.bin ..\\x.txt");
}

TEST_F(ScanTest, BodyLinesOutsideABlockAreNeverCarriedOutAndPassUnjudged)
{
    Scan(Lines({"F a.bin ..\\x.txt", "D ..", "FILESET [zero]", "BEGIN", "END 0", "P a.bin x.exe x.ico [..]",
                "FILESET [one]", "BEGIN", "F a.bin bin\\x.txt", "END 1"}));
    EXPECT_EQ(si->num_file_sets, 2);
}

// NT keeps these in the registry, where nothing runs them; "SET  PATH=x"
// would set PATH, and an empty entry would still get its SET line.
TEST_F(ScanTest, The95FamilyRefusesWhatItsBatchFileWouldRunOrMisread)
{
    const std::pair<std::string, std::string> lines[] = {
        {"ENVIRONMENT [QV] [a|b]", "which AUTOEXEC.BAT would act on"},
        {"ADDPATH [bin>nul]", "which AUTOEXEC.BAT would act on"},
        {"ENVIRONMENT [QV] [x&del c:\\x]", "which AUTOEXEC.BAT would act on"},
        {"ENVIRONMENT [ PATH] [x]", "which AUTOEXEC.BAT would drop"},
        {"ADDPATH []", "the search path entry is empty"},
    };
    for (const auto &[line, reason] : lines) {
        SCOPED_TRACE(line);
        si->platform = PLATFORM_NT;
        Scan(Lines({"FILESET [one]", line, "END 1"}));
        si->platform = PLATFORM_WIN95;
        FatalStopped stop = ScanStops(Lines({"FILESET [one]", line, "END 1"}));
        EXPECT_NE(stop.text.find(reason + ": " + line), std::string::npos) << stop.text;
    }
}

// 0x81 leads a double-byte character in code page 932 and stands alone in
// a single-byte code page; the walk must follow the code page in use.
TEST_F(ScanTest, DoubleByteTrailBytesAreNoBrackets)
{
    Scan(Lines({"COMPANY \x81[ [Works\x81]s]", "FILESET [a]", "END 1"}));
    if (IsDBCSLeadByte(0x81))
        EXPECT_STREQ(si->company_name, "Works\x81]s");
    else
        EXPECT_STREQ(si->company_name, " [Works\x81");
}

TEST_F(ScanTest, DoubleByteCharactersAreNotSplitWhenCut)
{
    const std::string value = std::string(254, 'a') + "\x81\x40" + std::string(40, 'b');
    Scan(Lines({"FILESET [a]", "SOFTWARE [" + value + "]", "END 1"}));
    size_t kept = IsDBCSLeadByte(0x81) ? 254 : 255;
    EXPECT_EQ(std::string(Set(0).software_name), value.substr(0, kept));
}

#ifdef _WIN32
// The double-byte run is worth its name only in a double-byte code page.
TEST(DoubleByteCodePage, IsInForceWhenAsked)
{
    const char *expected = getenv("SETUP_EXPECT_ACP");
    if (!expected)
        GTEST_SKIP() << "not the double-byte run";
    EXPECT_EQ((UINT)atoi(expected), GetACP());
    EXPECT_TRUE(IsDBCSLeadByte(0x81));
}
#endif
