// script_checks_test.cpp - what a script may ask of the machine, judged
// with the hostile cases seen and their look-alikes.
#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include "script/script_checks.h"
#include "base/setup_info.h"

namespace {

using Check = const char *(*)(const char *);

void ExpectRefused(Check check, std::initializer_list<const char *> texts, const char *reason)
{
    for (const char *text : texts) {
        const char *fault = check(text);
        EXPECT_TRUE(fault != nullptr && std::string(fault).find(reason) != std::string::npos)
            << text << " gave " << (fault ? fault : "no fault");
    }
}

void ExpectAccepted(Check check, std::initializer_list<const char *> texts)
{
    for (const char *text : texts)
        EXPECT_EQ(check(text), nullptr) << text << " gave " << check(text);
}

TEST(SourceChecks, OnlyARelativeNameInTheMediumIsTaken)
{
    ExpectAccepted(SourceFault, {"a.bin", "disk1\\a.bin", "sub/a.bin", ".\\a.bin", "..a", "a..", "COM10", "NULL.txt",
                                 "CONSOLE", "xcon", "LPT", "COM0"});
    ExpectRefused(SourceFault, {"..\\..\\..\\etc\\hostname", "sub\\..\\..\\x", "sub/../x", "..", "...\\x", ". .\\x"},
                  "leaves the medium's file directory");
    ExpectRefused(SourceFault, {"C:\\x", "c:x", "\\x", "/x", "\\\\server\\share\\x", "//server/share/x"},
                  "not a name in the medium's file directory");
    ExpectRefused(SourceFault, {"CON", "con.txt", "sub\\nul.dat", "Aux", "prn .txt", "COM1", "lpt9.bin", "CONOUT$"},
                  "names a device");
    ExpectRefused(SourceFault, {"a.bin:stream"}, "\":\"");
}

TEST(DestinationChecks, NothingLeavesTheInstallationDirectoryAndTheDriveStaysDropped)
{
    ExpectAccepted(DestinationFault, {"x.txt", "bin\\x.txt", "C:\\bin\\x.txt", "c:x.txt", "\\x.txt", "bin\\.\\x.txt"});
    ExpectRefused(DestinationFault, {"..\\x.txt", "bin\\..\\..\\windows\\x.txt", "C:..\\x.txt", "bin/../../x",
                                     "bin\\.. \\x.txt"},
                  "leaves the installation directory");
    ExpectRefused(DestinationFault, {"bin\\con\\x.txt", "NUL", "bin\\Com3.log", "C:\\lpt1"}, "names a device");
    ExpectRefused(DestinationFault, {"bin\\a:b", "C:\\x\\y:z"}, "\":\"");

    ExpectAccepted(DirectoryFault, {"bin", "bin\\sub", "consoles"});
    ExpectRefused(DirectoryFault, {"..\\dir", "bin\\..\\..", "..."}, "leaves the installation directory");
    ExpectRefused(DirectoryFault, {"C:\\dir", "dir:x"}, "\":\"");
    ExpectRefused(DirectoryFault, {"aux", "bin\\prn"}, "names a device");
}

// What the file system would refuse only when the copy is under way, after
// earlier files were installed, is refused with the script line instead.
TEST(PathChecks, AFileSystemRefusalComesAtScanTime)
{
    std::string longest(255, 'x'), too_long(256, 'x');
    ExpectAccepted(DestinationFault, {longest.c_str(), ("bin\\" + longest).c_str()});
    ExpectRefused(DestinationFault, {too_long.c_str(), ("bin\\" + too_long + "\\x").c_str()},
                  "longer than 255 characters");
    ExpectRefused(SourceFault, {too_long.c_str()}, "longer than 255 characters");
    ExpectRefused(DestinationFault, {"bin\\", "bin/", ".", "bin\\.", "C:"}, "names no file");
    ExpectRefused(SourceFault, {"disk1\\", "."}, "names no file");
    ExpectRefused(DirectoryFault, {"bin\\"}, "names no directory");
    ExpectRefused(SourceFault, {"\"a.txt\"", "a*.txt", "a?.txt", "a|b", "a<b", "a>b", "a\tb"},
                  "no file name can hold");
    ExpectRefused(DestinationFault, {"bin\\x?.txt", "x\x01.txt"}, "no file name can hold");
}

const char *RegistryNameFault(const char *name)
{
    return VariableNameFault(name, 0);
}
const char *BatchNameFault(const char *name)
{
    return VariableNameFault(name, 1);
}
const char *BatchValueFault(const char *value)
{
    return VariableValueFault(value, 1);
}
const char *RegistryValueFault(const char *value)
{
    return VariableValueFault(value, 0);
}
const char *BatchEntryFault(const char *entry)
{
    return SearchPathEntryFault(entry, 1);
}
const char *RegistryEntryFault(const char *entry)
{
    return SearchPathEntryFault(entry, 0);
}

TEST(EnvironmentChecks, VariableNamesAreNamesAndPathIsLeftToAddpath)
{
    for (Check check : {RegistryNameFault, BatchNameFault}) {
        ExpectAccepted(check, {"TOOLS_HOME", "PATHEXT", "MY_PATH", "x", "MY HOME", "PATH "});
        ExpectRefused(check, {""}, "has no name");
        ExpectRefused(check, {"A=B", "A\tB", "A%B", "\x01X", "X\x7F"}, "holds a \"=\"");
        ExpectRefused(check, {"PATH", "path", "Path"}, "ADDPATH");
    }
    // "SET  PATH=x" would set PATH itself.
    ExpectAccepted(RegistryNameFault, {" HOME", " PATH"});
    ExpectRefused(BatchNameFault, {" HOME", " PATH"}, "begins with a blank");
}

TEST(EnvironmentChecks, The95FamilyBatchFileGetsNothingTheInterpreterWouldAct)
{
    ExpectAccepted(BatchValueFault, {"C:\\tools", "C:\\a;D:\\b", "%WINDIR%\\x", "a b", ""});
    ExpectRefused(BatchValueFault, {"a|b", "x >c:\\autoexec.bat", "<in", "a&del x", "a\tb", "a\rb"},
                  "AUTOEXEC.BAT would act on");
    // The registry holds these as text: nothing runs them.
    ExpectAccepted(RegistryValueFault, {"a|b", "<x>&y", "a\tb"});
}

TEST(EnvironmentChecks, OneNonEmptyDirectoryPerSearchPathEntry)
{
    ExpectAccepted(RegistryEntryFault, {"bin", "\\tools", "C:\\tools", "C:\\Program Files\\x", "a|b"});
    ExpectAccepted(BatchEntryFault, {"bin", "C:\\tools"});
    // An empty entry adds nothing to Path; AUTOEXEC.BAT would get a line.
    ExpectAccepted(RegistryEntryFault, {""});
    ExpectRefused(BatchEntryFault, {""}, "is empty");
    for (Check check : {RegistryEntryFault, BatchEntryFault}) {
        ExpectRefused(check, {" ", " \t "}, "is empty");
        ExpectRefused(check, {"bin;C:\\x", ";", "bin;", "a\x1b"}, "one directory per ADDPATH line");
    }
    ExpectRefused(BatchEntryFault, {"bin|x", "bin>nul", "a<b", "a&b"}, "AUTOEXEC.BAT would act on");
}

std::string Cleaned(const char *name, size_t cb = 260)
{
    char out[300];
    memset(out, 'Z', sizeof out);
    if (!CleanFileName(out, cb, name))
        return "(refused)";
    EXPECT_LT(strlen(out), cb) << name;
    return out;
}

TEST(NameCleaning, GroupAndItemNamesBecomeOneFileNameInTheFolder)
{
    EXPECT_EQ(Cleaned("Example Tools"), "Example Tools");
    EXPECT_EQ(Cleaned("a/b:c*d?e\"f<g>h|i\\j"), "a_b_c_d_e_f_g_h_i_j");
    EXPECT_EQ(Cleaned("..\\..\\..\\x"), ".._.._.._x");
    EXPECT_EQ(Cleaned("tab\there\x1f"), "tab_here_");
    EXPECT_EQ(Cleaned("Tool."), "Tool.");
    EXPECT_EQ(Cleaned("CON"), "_CON");
    EXPECT_EQ(Cleaned("nul.txt"), "_nul.txt");
    EXPECT_EQ(Cleaned("Com1 "), "_Com1 ");
    EXPECT_EQ(Cleaned("Console"), "Console");
    for (const char *nothing : {"", ".", "..", "...", " ", ". ."})
        EXPECT_EQ(Cleaned(nothing), "(refused)") << "[" << nothing << "]";

    EXPECT_EQ(Cleaned("abc", 4), "abc");
    EXPECT_EQ(Cleaned("abcd", 4), "(refused)");
    EXPECT_EQ(Cleaned("con", 4), "(refused)");
    EXPECT_EQ(Cleaned("con", 5), "_con");

    ExpectAccepted(ShortcutNameFault, {"Tool", ".profile", "a..b", "Read/Write"});
    ExpectRefused(ShortcutNameFault, {"", "..", ". .", "."}, "empty or only dots and blanks");
    ExpectAccepted(GroupNameFault, {"Quorvane:32", "a..b"});
    ExpectRefused(GroupNameFault, {"", "..", " "}, "the group name is empty");
}

TEST(DoubleByteChecks, TrailBytesAreNoSeparatorsOrSpecialCharacters)
{
    // 0x81 0x5C and 0x81 0x7C are whole characters in a double-byte code
    // page; elsewhere they hold a backslash and a "|".
    if (IsDBCSLeadByte(0x81)) {
        EXPECT_EQ(SourceFault("\x81\x5C.."), nullptr);
        EXPECT_EQ(BatchEntryFault("\x81\x7C"), nullptr);
        EXPECT_EQ(Cleaned("\x81\x5C\x81\x7C"), "\x81\x5C\x81\x7C");
    } else {
        EXPECT_NE(SourceFault("\x81\x5C.."), nullptr);
        EXPECT_NE(BatchEntryFault("\x81\x7C"), nullptr);
        EXPECT_EQ(Cleaned("\x81\x5C\x81\x7C"), "\x81_\x81_");
    }
}

// A BMP file: the Windows 3 header, a grey palette for 8 bits and below,
// rows of zero bytes.
std::string Bitmap(long width, long height, unsigned bits, unsigned long compression = 0, unsigned long colours = 0)
{
    auto put = [](std::string &out, unsigned long value, int bytes) {
        for (int i = 0; i < bytes; i++)
            out += static_cast<char>((value >> (8 * i)) & 0xFF);
    };
    const unsigned long palette = colours ? colours : bits <= 8 ? 1ul << bits : 0;
    const unsigned long row = (static_cast<unsigned long>(width) * bits + 31) / 32 * 4;
    const unsigned long pixels = row * static_cast<unsigned long>(height < 0 ? -height : height);
    const unsigned long offset = 14 + 40 + 4 * palette;
    std::string file = "BM";
    put(file, offset + pixels, 4);
    put(file, 0, 4);
    put(file, offset, 4);
    for (unsigned long value : {40ul, static_cast<unsigned long>(width), static_cast<unsigned long>(height)})
        put(file, value, 4);
    put(file, 1, 2);
    put(file, bits, 2);
    for (unsigned long value : {compression, pixels, 2835ul, 2835ul, colours, 0ul})
        put(file, value, 4);
    file += std::string(4 * palette + pixels, '\0');
    return file;
}

const char *Judged(const std::string &file, long *width = nullptr, long *height = nullptr)
{
    long w = 0, h = 0;
    const char *fault =
        BannerBitmapFault(reinterpret_cast<const unsigned char *>(file.data()), file.size(), &w, &h);
    if (width)
        *width = w;
    if (height)
        *height = h;
    return fault;
}

TEST(BannerChecks, OnlyAWholeBitmapOfTheBannersSizeIsShown)
{
    long width = 0, height = 0;
    EXPECT_EQ(Judged(Bitmap(400, 120, 8), &width, &height), nullptr);
    EXPECT_EQ(width, 400);
    EXPECT_EQ(height, 120);
    for (unsigned bits : {1u, 4u, 24u, 32u})
        EXPECT_EQ(Judged(Bitmap(640, 200, bits)), nullptr) << bits;
    EXPECT_EQ(Judged(Bitmap(16, -16, 24)), nullptr);  // rows from the top down

    const std::string whole = Bitmap(400, 120, 8);
    const struct {
        std::string file;
        const char *reason;
    } refused[] = {
        {"", "not a bitmap"},
        {"GIF89a" + std::string(100, '\0'), "not a bitmap"},
        {whole.substr(0, whole.size() - 1), "cut short or damaged"},
        {whole.substr(0, 54), "cut short or damaged"},
        {Bitmap(641, 120, 8), "between 16 x 16 and 640 x 200"},
        {Bitmap(400, 201, 8), "between 16 x 16 and 640 x 200"},
        {Bitmap(400, -201, 8), "between 16 x 16 and 640 x 200"},
        {Bitmap(15, 120, 8), "between 16 x 16 and 640 x 200"},
        {Bitmap(400, 120, 8, 0, 257), "more colours"},
        {Bitmap(400, 120, 16, 3), "colour format"},
        {Bitmap(400, 120, 24, 4), "colour format"},
        {Bitmap(400, 120, 7), "colour format"},
        {std::string(BANNER_MAX_BYTES + 1, 'B'), "larger than 1 MB"},
    };
    for (const auto &c : refused) {
        const char *fault = Judged(c.file);
        EXPECT_TRUE(fault != nullptr && std::string(fault).find(c.reason) != std::string::npos)
            << c.reason << " gave " << (fault ? fault : "no fault");
    }
    // A header that says its pixels lie past the end of the file.
    std::string beyond = whole;
    beyond[10] = static_cast<char>(0xFF);
    beyond[11] = static_cast<char>(0xFF);
    EXPECT_NE(Judged(beyond), nullptr);
    // An OS/2 header.
    std::string core = whole;
    core[14] = 12;
    EXPECT_NE(Judged(core), nullptr);
}

TEST(BannerChecks, TheProductNameIsOneLineOfPlainText)
{
    ExpectAccepted(ProductNameFault, {"Pinecone Notes 3.1", "A & B", "x", "\xE9t\xE9 2.0"});
    ExpectRefused(ProductNameFault, {"", "   "}, "empty");
    ExpectRefused(ProductNameFault, {"a\tb", "a\rb", "a\x7f", "\x1b[31m"}, "control character");
    ExpectRefused(BannerFileFault, {"logo.gif", "bmp", "logo.bmp.exe"}, "not a .bmp file");
    ExpectAccepted(BannerFileFault, {"logo.bmp", "art\\Logo.BMP"});
}

}  // namespace
