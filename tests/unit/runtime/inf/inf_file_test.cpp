// Reading a setup-information file field by field: quotes, blanks, missing
// fields, keys, comments and the faults that refuse a file.
#include "inf_fixture.h"

#include <cstring>

#include "setupapi.h"
#include "setuprt.h"

namespace {

using InfFile = ScratchTest;
using InfFileDeathTest = ScratchTest;

// Field n of the keyed line; "<-1>" when the runtime refuses.
std::string Field(const char *sect, const char *key, int n)
{
    char buf[256];
    int length = CbGetInfSectionKeyField(sect, key, n, buf, sizeof buf);
    if (length == -1)
        return "<-1>";
    EXPECT_EQ(static_cast<size_t>(length), strlen(buf)) << sect << " " << key << " " << n;
    return buf;
}

const char kFileLine[] =
    "[Program Files]\n"
    "ledger = qv.ex_, , , , 1995-06-01-12-30-00, , , , , , qv.exe, , , , 48128, , , , 2.0.1.7\n";

TEST_F(InfFile, FileLineFieldsMeanWhatTheWrappersSay)
{
    ASSERT_TRUE(OpenInf(kFileLine));
    char buf[64];
    EXPECT_STREQ("qv.ex_", GetSectionKeyFilename("Program Files", "ledger", buf, sizeof buf));
    EXPECT_STREQ("1995-06-01-12-30-00", GetSectionKeyDate("Program Files", "ledger", buf, sizeof buf));
    EXPECT_STREQ("2.0.1.7", GetSectionKeyVersion("Program Files", "ledger", buf, sizeof buf));
    EXPECT_EQ(48128, GetSectionKeySize("Program Files", "ledger"));
    EXPECT_EQ("qv.exe", Field("Program Files", "ledger", 11));
    EXPECT_EQ("", Field("Program Files", "ledger", 2));
    EXPECT_EQ("", Field("Program Files", "ledger", 20));
}

TEST_F(InfFile, QuotedFieldsKeepCommasBlanksAndQuotes)
{
    ASSERT_TRUE(OpenInf("[Texts]\n"
                        "k = \"Quorvane, Inc.\",\"  padded  \", \"say \"\"hi\"\"\" , \"\", \"a=b\"\n"
                        "plain =   two  words  ,  trimmed\t,tab\tinside\n"));
    EXPECT_EQ("Quorvane, Inc.", Field("Texts", "k", 1));
    EXPECT_EQ("  padded  ", Field("Texts", "k", 2));
    EXPECT_EQ("say \"hi\"", Field("Texts", "k", 3));
    EXPECT_EQ("", Field("Texts", "k", 4));
    EXPECT_EQ("a=b", Field("Texts", "k", 5));
    EXPECT_EQ("two  words", Field("Texts", "plain", 1));
    EXPECT_EQ("trimmed", Field("Texts", "plain", 2));
    EXPECT_EQ("tab\tinside", Field("Texts", "plain", 3));
}

TEST_F(InfFile, OnlyTheFirstSeparatorMakesAKey)
{
    ASSERT_TRUE(OpenInf("[S]\n"
                        "path = C:\\a=b, x = y\n"
                        "\"key, quoted\" = value\n"
                        "one, two = three\n"
                        "empty =\n"));
    EXPECT_EQ("C:\\a=b", Field("S", "path", 1));
    EXPECT_EQ("x = y", Field("S", "path", 2));
    EXPECT_EQ("value", Field("S", "key, quoted", 1));
    EXPECT_EQ("<-1>", Field("S", "one", 1));  // a line without a key
    EXPECT_EQ("", Field("S", "empty", 1));
}

TEST_F(InfFile, KeysAndSectionsIgnoreCaseAndTheFirstKeyAnswers)
{
    ASSERT_TRUE(OpenInf("[Files]\n"
                        "Readme = first\n"
                        "README = second\n"
                        "[other]\n"
                        "x = 1\n"
                        "[ FILES ]\n"
                        "later = third\n"));
    EXPECT_EQ("first", Field("files", "readme", 1));
    EXPECT_EQ("third", Field("Files", "LATER", 1));
    EXPECT_EQ("1", Field("OTHER", "X", 1));
}

TEST_F(InfFile, CommentsBlankLinesAndLineEndsAreSkipped)
{
    ASSERT_TRUE(OpenInf("; a comment before any section\r\n"
                        "\r\n"
                        "[S]\r\n"
                        "   ; an indented comment\r\n"
                        "   \t\r\n"
                        "k = a;b, c\r\n"
                        "last = no line end"));
    EXPECT_EQ("a;b", Field("S", "k", 1));
    EXPECT_EQ("c", Field("S", "k", 2));
    EXPECT_EQ("no line end", Field("S", "last", 1));
}

TEST_F(InfFile, FieldIsCutToTheBufferAndItsFullLengthReturned)
{
    ASSERT_TRUE(OpenInf("[S]\nk = abcdefgh\n"));
    char buf[6];
    memset(buf, 0xA5, sizeof buf);
    EXPECT_EQ(8, CbGetInfSectionKeyField("S", "k", 1, buf, 5));
    EXPECT_STREQ("abcd", buf);
    EXPECT_EQ(static_cast<char>(0xA5), buf[5]) << "written past the buffer";
    EXPECT_EQ(8, CbGetInfSectionKeyField("S", "k", 1, nullptr, 0));
}

TEST_F(InfFile, MissingSectionKeyOrFieldNumberGiveMinusOne)
{
    ASSERT_TRUE(OpenInf("[S]\nk = a\n"));
    char buf[8] = "stale";
    EXPECT_EQ(-1, CbGetInfSectionKeyField("T", "k", 1, buf, sizeof buf));
    EXPECT_STREQ("", buf);
    EXPECT_EQ(-1, CbGetInfSectionKeyField("S", "j", 1, buf, sizeof buf));
    EXPECT_EQ(-1, CbGetInfSectionKeyField("S", "k", 0, buf, sizeof buf));
    EXPECT_EQ(-1, CbGetInfSectionKeyField("S", "", 1, buf, sizeof buf));
    EXPECT_EQ(-1, CbGetInfSectionKeyField("S", nullptr, 1, buf, sizeof buf));
    EXPECT_EQ(-1, CbGetInfSectionKeyField(nullptr, "k", 1, buf, sizeof buf));
}

struct Fault {
    std::string text;
    const char *fault;
};

TEST_F(InfFile, SyntaxErrorsRefuseTheFileAndCloseTheOpenOne)
{
    const Fault faults[] = {
        {"[S]\nk = \"unclosed, b\n", "a double quote is not closed"},
        {"[S\nk = a\n", "a section bracket is not closed"},
        {"[S]\nk = \"a\" b\n", "text after a quoted field"},
        {"[S] x\nk = a\n", "text after a section name"},
        {"[ ]\nk = a\n", "a section without a name"},
        {"[S]\n = a\n", "a key without a name"},
        {"k = a\n[S]\n", "a line outside a section"},
        {std::string("[S]\nk = a\0b\n", 12), "a zero byte"},
    };
    std::string path = root + "\\faulty.inf";
    for (const Fault &fault : faults) {
        SCOPED_TRACE(fault.fault);
        ASSERT_TRUE(OpenInf("[S]\nk = good\n"));
        WriteText(path, fault.text);
        size_t before = ReadTranscript().size();
        EXPECT_EQ(0, FOpenInf(path.c_str(), 1, 1));
        EXPECT_NE(std::string::npos, ReadTranscript().substr(before).find(std::string(": ") + fault.fault + ".\""));
        EXPECT_EQ("<-1>", Field("S", "k", 1));
    }
}

TEST_F(InfFile, WithoutCheckFaultyLinesAndTheLinesOfAFaultyHeaderAreLeftOut)
{
    WriteText(root + "\\lenient.inf", "[S]\n"
                                      "a = 1\n"
                                      "b = \"unclosed\n"
                                      "c = 3\n"
                                      "[T\n"
                                      "d = 4\n"
                                      "[U]\n"
                                      "e = 5\n");
    ASSERT_EQ(1, FOpenInf((root + "\\lenient.inf").c_str(), 0, 0));
    EXPECT_EQ("1", Field("S", "a", 1));
    EXPECT_EQ("<-1>", Field("S", "b", 1));
    EXPECT_EQ("3", Field("S", "c", 1));
    EXPECT_EQ("<-1>", Field("S", "d", 1));
    EXPECT_EQ("<-1>", Field("T", "d", 1));
    EXPECT_EQ("5", Field("U", "e", 1));
}

TEST_F(InfFile, SyntaxReportNamesFileLineAndFault)
{
    std::string path = root + "\\bad.inf";
    WriteText(path, "; vendor file\n[S]\nk = \"open\n");
    EXPECT_EQ(0, FOpenInf(path.c_str(), 1, 1));
    EXPECT_NE(std::string::npos,
              TranscriptSinceStart().find(MsgBoxLine(
                  "The setup information file " + path + " is faulty at line 3: a double quote is not closed.",
                  "Setup", MB_ICONHAND, IDOK)));

    std::string missing = root + "\\missing.inf";
    EXPECT_EQ(0, FOpenInf(missing.c_str(), 1, 1));
    EXPECT_NE(std::string::npos,
              TranscriptSinceStart().find(MsgBoxLine("The setup information file " + missing + " cannot be read.",
                                                     "Setup", MB_ICONHAND, IDOK)));
}

TEST_F(InfFile, WithoutAnOpenFileEverythingFails)
{
    EXPECT_FALSE(OpenInf("[S\n"));
    char buf[8];
    EXPECT_EQ(-1, CbGetInfSectionKeyField("S", "k", 1, buf, sizeof buf));
    EXPECT_EQ(0, FMakeListInfSectionField("L", "S", 1));
    EXPECT_EQ(0, FSetSymbolToListOfInfKeys("L", "S", 1));
    EXPECT_EQ(0, FAddSectionFilesToCopyList("S", root.c_str(), root.c_str()));
}

TEST_F(InfFileDeathTest, WrappersEndTheRunOnFailure)
{
    ASSERT_TRUE(OpenInf(kFileLine));
    char buf[64];
    EXPECT_EXIT(GetSectionKeyFilename("Program Files", "nothing", buf, sizeof buf),
                ::testing::ExitedWithCode(SETUP_ERROR_EXIT_CODE), "");
    EXPECT_EXIT(GetSectionKeySize("Nowhere", "ledger"), ::testing::ExitedWithCode(SETUP_ERROR_EXIT_CODE), "");
    WriteText(root + "\\faulty.inf", "[S]\nk = \"a\n");
    EXPECT_EXIT(ReadInfFile((root + "\\faulty.inf").c_str()), ::testing::ExitedWithCode(SETUP_ERROR_EXIT_CODE),
                "");
}

TEST_F(InfFileDeathTest, FieldLongerThanTheBufferShowsOverflow)
{
    ASSERT_TRUE(OpenInf(kFileLine));
    char buf[16];
    EXPECT_STREQ("2.0.1.7", GetSectionKeyVersion("Program Files", "ledger", buf, 8));
    ForgetChildTranscript();
    EXPECT_EXIT(GetSectionKeyVersion("Program Files", "ledger", buf, 7),
                ::testing::ExitedWithCode(SETUP_ERROR_EXIT_CODE), "");
    std::string transcript = ReadTranscript(true);
    EXPECT_NE(std::string::npos, transcript.find(MsgBoxLine("Buffer Overflow", "DU-Ruruz Error", 16, IDOK)));
    EXPECT_NE(std::string::npos, transcript.find("dialog 400 CONTINUE\n"));
}

}  // namespace
