// The copy list: files added from sections and keys, costed, copied or
// expanded, listed, and the failures that stop a copy.
#include "inf_fixture.h"

#include "setupapi.h"
#include "setuprt.h"

namespace {

using CopyList = CopyTest;
using CopyListDeathTest = CopyTest;

std::string CopyLine(const std::string &source, const std::string &destination)
{
    return "copy " + Quoted(source) + " " + Quoted(destination) + "\n";
}

std::string ThisProgram()
{
    char path[MAX_PATH];
    GetModuleFileNameA(NULL, path, sizeof path);
    return path;
}

// The files of the dump, read back as the information file it is.
std::vector<std::string> DumpField(const std::string &path, int field)
{
    EXPECT_EQ(1, FOpenInf(path.c_str(), 1, 0));
    EXPECT_EQ(1, FMakeListInfSectionField("Dumped", "Copy List", field));
    return ListItems("Dumped");
}

TEST_F(CopyList, PlainAndCompressedSourcesAreInstalled)
{
    WriteText(Src("notes.txt"), "ledger notes");
    ASSERT_TRUE(OpenInf("[Program]\n" + FileLine("notes", "notes.txt") +
                        FileLine("", "readme.txt_", "docs\\readme.txt")));
    AddSectionFilesToCopyList("Program", src.c_str(), dst.c_str());
    CopyFilesInCopyList();

    EXPECT_EQ("ledger notes", ReadText(Dst("notes.txt")));
    EXPECT_EQ(readme, ReadText(Dst("docs\\readme.txt")));
    std::string transcript = TranscriptSinceStart();
    EXPECT_NE(std::string::npos, transcript.find(CopyLine(Src("notes.txt"), Dst("notes.txt"))));
    EXPECT_NE(std::string::npos, transcript.find(CopyLine(Src("readme.txt_"), Dst("docs\\readme.txt"))));

    // A finished copy empties the list.
    DumpCopyList((root + "\\dump.inf").c_str());
    EXPECT_EQ(0u, ReadText(root + "\\dump.inf").find("; copy list: 0 files\r\n"));
}

TEST_F(CopyList, InstalledFilesStayWritableAndReplaceReadOnlyOnes)
{
    WriteText(Src("ro.txt"), "new");
    WriteText(Dst("ro.txt"), "old");
    SetFileAttributesA(Src("ro.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    SetFileAttributesA(Dst("ro.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    ASSERT_TRUE(OpenInf("[Files]\n" + FileLine("ro", "ro.txt")));
    AddSectionKeyFileToCopyList("Files", "ro", src.c_str(), dst.c_str());
    EXPECT_EQ(GRC_OKAY, GrcCopyFilesInCopyList(HinstFrame()));

    EXPECT_EQ("new", ReadText(Dst("ro.txt")));
    EXPECT_FALSE(GetFileAttributesA(Dst("ro.txt").c_str()) & FILE_ATTRIBUTE_READONLY);
    SetFileAttributesA(Src("ro.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(CopyList, NewerInstalledVersionIsKeptUnlessTheFileIsSpecial)
{
    char version[32];
    CbGetVersionOfFile(ThisProgram().c_str(), version, sizeof version);
    ASSERT_STREQ("3.1.0.0", version);
    for (const char *name : {"older.exe", "special.exe", "newer.exe", "unversioned.exe"}) {
        WriteText(Src(name), "the new program");
        ASSERT_TRUE(CopyFileA(ThisProgram().c_str(), Dst(name).c_str(), FALSE)) << GetLastError();
    }
    ASSERT_TRUE(OpenInf("[Files]\n" + FileLine("older", "older.exe", "", "", "3.0.9.9") +
                        FileLine("special", "special.exe", "", "", "2.0.0.0") +
                        FileLine("newer", "newer.exe", "", "", "3.1.0.1") +
                        FileLine("unversioned", "unversioned.exe")));
    AddSectionKeyFileToCopyList("Files", "older", src.c_str(), dst.c_str());
    AddSpecialFileToCopyList("Files", "special", src.c_str(), dst.c_str());
    AddSectionKeyFileToCopyList("Files", "newer", src.c_str(), dst.c_str());
    AddSectionKeyFileToCopyList("Files", "unversioned", src.c_str(), dst.c_str());
    CopyFilesInCopyList();

    EXPECT_TRUE(ReadText(ThisProgram()) == ReadText(Dst("older.exe"))) << "the newer program was replaced";
    EXPECT_NE(std::string::npos, TranscriptSinceStart().find("keep " + Quoted(Dst("older.exe")) + "\n"));
    EXPECT_EQ("the new program", ReadText(Dst("special.exe")));
    EXPECT_EQ("the new program", ReadText(Dst("newer.exe")));
    EXPECT_EQ("the new program", ReadText(Dst("unversioned.exe")));
}

TEST_F(CopyList, LaterFileForTheSameDestinationTakesTheEarliersPlace)
{
    WriteText(Src("first.txt"), "first");
    WriteText(Src("second.txt"), "second");
    ASSERT_TRUE(OpenInf("[Files]\n" + FileLine("a", "first.txt", "same.txt") +
                        FileLine("b", "second.txt", "SAME.TXT")));
    AddSectionFilesToCopyList("Files", src.c_str(), dst.c_str());
    DumpCopyList((root + "\\dump.inf").c_str());
    EXPECT_EQ((std::vector<std::string>{Src("second.txt")}), DumpField(root + "\\dump.inf", 1));

    EXPECT_EQ(GRC_OKAY, GrcCopyFilesInCopyList(HinstFrame()));
    EXPECT_EQ("second", ReadText(Dst("same.txt")));
}

TEST_F(CopyList, LinesThatLeaveTheDirectoriesOrHaveNoFileAreRefused)
{
    WriteText(Src("good.txt"), "good");
    ASSERT_TRUE(OpenInf("[Bad]\n" + FileLine("up", "..\\evil.txt") + FileLine("drive", "C:\\evil.txt") +
                        FileLine("root", "\\evil.txt") + FileLine("deep", "sub\\..\\..\\evil.txt") +
                        FileLine("renameup", "good.txt", "..\\evil.txt") + FileLine("noname", "") +
                        FileLine("trailing", "sub\\") + FileLine("size", "good.txt", "", "12k") +
                        "[Mixed]\n" + FileLine("good", "good.txt") + FileLine("up", "..\\evil.txt")));
    for (const char *key : {"up", "drive", "root", "deep", "renameup", "noname", "trailing", "size", "missing"}) {
        SCOPED_TRACE(key);
        EXPECT_EQ(0, FAddSectionKeyFileToCopyList("Bad", key, src.c_str(), dst.c_str()));
    }
    EXPECT_EQ(0, FAddSectionFilesToCopyList("Mixed", src.c_str(), dst.c_str()));
    EXPECT_EQ(0, FAddSectionFilesToCopyList("Nowhere", src.c_str(), dst.c_str()));

    // Nothing of a refused section was added.
    ASSERT_EQ(1, FDumpCopyListToFile((root + "\\dump.inf").c_str()));
    EXPECT_EQ(0u, ReadText(root + "\\dump.inf").find("; copy list: 0 files\r\n"));
}

TEST_F(CopyList, DumpIsAnInformationFileListingEveryFile)
{
    // Quotes cannot be in a file name on the disk, but the listing must
    // still keep them apart.
    ASSERT_TRUE(OpenInf("[Files]\n" + FileLine("a", "\"a, \"\"quoted\"\".txt\"") +
                        FileLine("b", "readme.txt_", "readme.txt", "1234", "1.2.3.4")));
    AddSectionKeyFileToCopyList("Files", "a", src.c_str(), dst.c_str());
    AddSpecialFileToCopyList("Files", "b", src.c_str(), dst.c_str());
    std::string dump = root + "\\list.inf";
    DumpCopyList(dump.c_str());

    EXPECT_EQ(0u, ReadText(dump).find("; copy list: 2 files\r\n[Copy List]\r\n"));
    using Items = std::vector<std::string>;
    EXPECT_EQ((Items{Src("a, \"quoted\".txt"), Src("readme.txt_")}), DumpField(dump, 1));
    EXPECT_EQ((Items{Dst("a, \"quoted\".txt"), Dst("readme.txt")}), DumpField(dump, 2));
    EXPECT_EQ((Items{"", "1234"}), DumpField(dump, 3));
    EXPECT_EQ((Items{"", "1.2.3.4"}), DumpField(dump, 4));
    EXPECT_EQ((Items{"", "special"}), DumpField(dump, 5));
}

TEST_F(CopyList, ClearedListCopiesNothing)
{
    ASSERT_TRUE(OpenInf("[Files]\n" + FileLine("r", "readme.txt")));
    AddSectionFilesToCopyList("Files", src.c_str(), dst.c_str());
    ClearCopyList();
    EXPECT_EQ(GRC_OKAY, GrcCopyFilesInCopyList(HinstFrame()));
    EXPECT_FALSE(Exists(Dst("readme.txt")));
    EXPECT_EQ(0, GetCopyListCost(NULL, NULL, NULL));
}

// Drive C is item 3 of the per-drive lists.
TEST_F(CopyList, CostCountsWhatEachFileAddsPerDrive)
{
    ASSERT_EQ('C', toupper(dst[0]));
    WriteText(Dst("notes.txt"), std::string(1000, 'x'));
    ASSERT_TRUE(OpenInf("[Files]\n" + FileLine("notes", "notes.txt", "", "5000") +
                        FileLine("readme", "readme.txt_", "readme.txt") +
                        FileLine("smaller", "readme.txt", "big.txt")));
    WriteText(Dst("big.txt"), std::string(readme.size() + 500, 'x'));
    AddSectionFilesToCopyList("Files", src.c_str(), dst.c_str());

    long long expected = 4000 + static_cast<long long>(readme.size());
    EXPECT_EQ(expected, GetCopyListCost(NULL, "Cost", "Need"));
    std::vector<std::string> cost = ListItems("Cost"), need = ListItems("Need");
    ASSERT_EQ(26u, cost.size());
    ASSERT_EQ(26u, need.size());
    EXPECT_EQ(std::to_string(expected), cost[2]);
    EXPECT_EQ("0", cost[0]);
    EXPECT_EQ("0", need[2]);

    // The caller's extras count on their drives; beyond the free space they
    // are needed.
    SetSymbolValue("Extra", "");
    AddListItem("Extra", "");
    AddListItem("Extra", "7");
    AddListItem("Extra", "999999999999999");
    long long extra = 999999999999999LL;
    EXPECT_EQ(expected + 7 + extra, GetCopyListCost("Extra", "Cost", "Need"));
    cost = ListItems("Cost");
    need = ListItems("Need");
    EXPECT_EQ("7", cost[1]);
    EXPECT_EQ(std::to_string(expected + extra), cost[2]);
    long long missing = std::stoll(need[2]);
    EXPECT_GT(missing, 0);
    EXPECT_LE(missing, expected + extra);
}

TEST_F(CopyListDeathTest, CostWithoutAKnownSizeIsNegative)
{
    ASSERT_TRUE(OpenInf("[Files]\n" + FileLine("gone", "gone.txt") + FileLine("sized", "gone.txt", "", "10")));
    AddSectionKeyFileToCopyList("Files", "sized", src.c_str(), dst.c_str());
    EXPECT_EQ(10, LcbGetCopyListCost(NULL, NULL, NULL));
    SetSymbolValue("Extra", "ten");
    EXPECT_LT(LcbGetCopyListCost("Extra", NULL, NULL), 0);
    AddSectionKeyFileToCopyList("Files", "gone", src.c_str(), dst.c_str());
    EXPECT_LT(LcbGetCopyListCost(NULL, NULL, NULL), 0);
    EXPECT_EXIT(GetCopyListCost(NULL, NULL, NULL), ::testing::ExitedWithCode(SETUP_ERROR_EXIT_CODE), "");
}

TEST_F(CopyList, FailuresStopTheCopyNamingTheFile)
{
    ASSERT_TRUE(OpenInf("[Files]\n" + FileLine("gone", "gone.txt") + FileLine("damaged", "damaged.tx_", "kept.txt") +
                        FileLine("dir", "readme.txt", "adir")));
    AddSectionKeyFileToCopyList("Files", "gone", src.c_str(), dst.c_str());
    EXPECT_EQ(GRC_SOURCE_UNREADABLE, GrcCopyFilesInCopyList(HinstFrame()));
    EXPECT_NE(std::string::npos, TranscriptSinceStart().find(MsgBoxLine(
                                     "The file " + Src("gone.txt") + " cannot be read.", "Setup", MB_ICONHAND, IDOK)));

    // A compressed file cut short never replaces the installed one.
    std::string compressed = ReadText(Src("readme.txt_"));
    WriteText(Src("damaged.tx_"), compressed.substr(0, compressed.size() / 2));
    WriteText(Dst("kept.txt"), "installed before");
    ClearCopyList();
    AddSectionKeyFileToCopyList("Files", "damaged", src.c_str(), dst.c_str());
    EXPECT_EQ(GRC_SOURCE_DAMAGED, GrcCopyFilesInCopyList(HinstFrame()));
    EXPECT_NE(std::string::npos,
              TranscriptSinceStart().find(MsgBoxLine("The file " + Src("damaged.tx_") +
                                                         " is damaged and cannot be expanded.",
                                                     "Setup", MB_ICONHAND, IDOK)));
    EXPECT_EQ("installed before", ReadText(Dst("kept.txt")));

    CreateDirectoryA(Dst("adir").c_str(), NULL);
    ClearCopyList();
    AddSectionKeyFileToCopyList("Files", "dir", src.c_str(), dst.c_str());
    EXPECT_EQ(GRC_DESTINATION_UNWRITABLE, GrcCopyFilesInCopyList(HinstFrame()));
    EXPECT_NE(std::string::npos, TranscriptSinceStart().find(MsgBoxLine(
                                     "The file " + Dst("adir") + " cannot be written.", "Setup", MB_ICONHAND, IDOK)));

    // No temporary file is left beside the installed ones.
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(Dst("*.tmp").c_str(), &found);
    EXPECT_EQ(INVALID_HANDLE_VALUE, search) << found.cFileName;
    if (search != INVALID_HANDLE_VALUE)
        FindClose(search);
    // A failed copy keeps its list for a second attempt.
    DumpCopyList((root + "\\dump.inf").c_str());
    EXPECT_EQ(0u, ReadText(root + "\\dump.inf").find("; copy list: 1 files\r\n"));
}

TEST_F(CopyListDeathTest, FailedCopyThroughTheWrapperShowsTheFailureDialog)
{
    ASSERT_TRUE(OpenInf("[Files]\n" + FileLine("gone", "gone.txt")));
    AddSectionFilesToCopyList("Files", src.c_str(), dst.c_str());
    ForgetChildTranscript();
    EXPECT_EXIT(CopyFilesInCopyList(), ::testing::ExitedWithCode(SETUP_ERROR_EXIT_CODE), "");
    std::string transcript = ReadTranscript(true);
    size_t box = transcript.find(MsgBoxLine("The file " + Src("gone.txt") + " cannot be read.", "Setup", 16, IDOK));
    EXPECT_NE(std::string::npos, box);
    EXPECT_NE(std::string::npos, transcript.find("dialog 400 CONTINUE\n", box));
}

TEST_F(CopyListDeathTest, RefusedLineThroughTheWrapperEndsTheRun)
{
    ASSERT_TRUE(OpenInf("[Files]\n" + FileLine("up", "..\\up.txt")));
    EXPECT_EXIT(AddSectionKeyFileToCopyList("Files", "up", src.c_str(), dst.c_str()),
                ::testing::ExitedWithCode(SETUP_ERROR_EXIT_CODE), "");
    EXPECT_EXIT(AddSpecialFileToCopyList("Files", "none", src.c_str(), dst.c_str()),
                ::testing::ExitedWithCode(SETUP_ERROR_EXIT_CODE), "");
    EXPECT_EXIT(DumpCopyList((root + "\\no\\such\\dir\\dump.inf").c_str()),
                ::testing::ExitedWithCode(SETUP_ERROR_EXIT_CODE), "");
}

}  // namespace
