// The wrapper layer over the real runtime, started quietly with a transcript.
#include "setupapi.h"
#include "setuprt.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "quiet_toolkit.h"

namespace {

using unitcommon::ReadTranscript;

const auto *const environment = ::testing::AddGlobalTestEnvironment(new unitcommon::QuietToolkit("toolkit_test"));

}  // namespace

TEST(ToolkitStart, SecondStartIsRefused)
{
    EXPECT_EQ(0, InitSetupToolkit("/q"));
}

TEST(ToolkitStart, StartDirectoryEndsInOneBackslash)
{
    size_t len = strlen(szCurDir);
    ASSERT_GT(len, 1u);
    EXPECT_EQ('\\', szCurDir[len - 1]);
    EXPECT_NE('\\', szCurDir[len - 2]);
}

TEST(EventWords, ClassifiedByTheirFirstTwoLetters)
{
    EXPECT_EQ(EVENT_CONTINUE, EventWordSum("CONTINUE"));
    EXPECT_EQ(EVENT_CONTINUE, EventWordSum("CO"));
    EXPECT_EQ(EVENT_BACK, EventWordSum("BACK"));
    EXPECT_EQ(EVENT_CANCEL, EventWordSum("CANCEL"));
    EXPECT_EQ(EVENT_EXIT, EventWordSum("EXIT"));
    EXPECT_EQ(0, EventWordSum(""));
    EXPECT_NE(EVENT_CONTINUE, EventWordSum("CHK1"));
}

TEST(Symbols, ValuesAndListsRoundTrip)
{
    char buf[16];
    SetSymbolValue("Drive", "C:");
    EXPECT_STREQ("C:", GetSymbolValue("Drive", buf, sizeof buf));

    SetSymbolValue("Sets", "");
    AddListItem("Sets", "Base tools");
    AddListItem("Sets", "Samples");
    EXPECT_EQ(2, GetListLength("Sets"));
    EXPECT_STREQ("Samples", GetListItem("Sets", 2, buf, sizeof buf));
    ReplaceListItem("Sets", 1, "Core");
    EXPECT_STREQ("Core", GetListItem("Sets", 1, buf, sizeof buf));

    RemoveSymbol("Sets");
    EXPECT_EQ(0, GetListLength("Sets"));
    EXPECT_NE(std::string::npos, ReadTranscript().find("add \"Sets\" \"Samples\"\n"));
}

TEST(Dialogs, PopWithoutDialogSucceeds)
{
    UIPop(1);
    UIPopAll();
    SUCCEED();
}

TEST(Dialogs, QuietRunAnswersContinueWithInputAsOutput)
{
    char event[16];
    SetSymbolValue("EditTextIn", "D:\\");
    UIStartDlg("mscuistf.dll", 103, "FEditDlgProc", 0, NULL, event, 15);
    EXPECT_STREQ("CONTINUE", event);
    char out[64];
    EXPECT_STREQ("D:\\", GetSymbolValue("EditTextOut", out, sizeof out));
    UIPop(1);
}

using ToolkitDeathTest = ::testing::Test;

TEST_F(ToolkitDeathTest, ValueLongerThanBufferShowsOverflowThenFails)
{
    EXPECT_EXIT(
        {
            char small[4];
            SetSymbolValue("Long", "ABCD");
            GetSymbolValue("Long", small, sizeof small);
        },
        ::testing::ExitedWithCode(SETUP_ERROR_EXIT_CODE), "");
    std::string transcript = ReadTranscript(true);
    EXPECT_NE(std::string::npos, transcript.find("msgbox \"Buffer Overflow\" \"DU-Ruruz Error\" 16 1\n"));
    EXPECT_NE(std::string::npos, transcript.find("dialog 400 CONTINUE\n"));
}

TEST_F(ToolkitDeathTest, ValueThatFitsExactlyIsReturned)
{
    char buf[5];
    SetSymbolValue("Four", "ABCD");
    EXPECT_STREQ("ABCD", GetSymbolValue("Four", buf, sizeof buf));
}

TEST_F(ToolkitDeathTest, ListItemOutsideTheListFails)
{
    SetSymbolValue("Pair", "");
    AddListItem("Pair", "one");
    AddListItem("Pair", "two");
    char buf[16];
    EXPECT_EXIT(GetListItem("Pair", 0, buf, sizeof buf), ::testing::ExitedWithCode(2), "");
    EXPECT_EXIT(GetListItem("Pair", 3, buf, sizeof buf), ::testing::ExitedWithCode(2), "");
}

TEST_F(ToolkitDeathTest, EmptySymbolNameFails)
{
    char buf[16];
    EXPECT_EXIT(GetSymbolValue("", buf, sizeof buf), ::testing::ExitedWithCode(2), "");
    EXPECT_EXIT(GetListLength(NULL), ::testing::ExitedWithCode(2), "");
}

TEST_F(ToolkitDeathTest, QuitMessageWhilePumpingFails)
{
    EXPECT_EXIT(
        {
            PostQuitMessage(0);
            OurYield();
        },
        ::testing::ExitedWithCode(2), "");
}
