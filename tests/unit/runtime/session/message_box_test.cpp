// Boxes in interactive runs, closed by a helper thread as a user would.
#include "runtime_fixture.h"

namespace {

using rttest::BoxPresser;
using rttest::FrameTest;
using rttest::ReadLines;

class InteractiveBox : public FrameTest {};

TEST_F(InteractiveBox, ShowsOverTheFrameAndReturnsThePressedButton) {
    std::string transcript = scratch_.File("t.txt");
    ASSERT_GT(Start("/t \"" + transcript + "\""), 0);
    BoxPresser user("Interactive Box", IDNO);
    EXPECT_EQ(IDNO, DoMsgBox("Proceed?", "Interactive Box", MB_YESNO));
    user.Join();
    EXPECT_EQ(HwndFrame(), user.owner);
    EXPECT_NE(std::string::npos, user.texts.find("Proceed?"));
    EXPECT_EQ(std::vector<std::string>{"msgbox \"Proceed?\" \"Interactive Box\" 4 7"}, ReadLines(transcript));
}

TEST_F(InteractiveBox, StartupFailureNamesTheProblemAndTheUsage) {
    BoxPresser user("Setup", IDOK);
    EXPECT_EQ(0, Start("/t"));
    user.Join();
    EXPECT_NE(std::string::npos, user.texts.find("The option /t needs a file name.")) << user.texts;
    EXPECT_NE(std::string::npos, user.texts.find("Usage: setup [/q] [/a FILE] [/t FILE]\n\t[/r FILE] [/u LOG] [/?]")) << user.texts;
}

TEST_F(InteractiveBox, UsageBoxThenStopQuietly) {
    BoxPresser user("Setup", IDOK);
    EXPECT_EQ(-1, Start("/?"));
    user.Join();
    EXPECT_NE(std::string::npos, user.texts.find("/a FILE")) << user.texts;
    EXPECT_EQ(nullptr, HwndFrame());
}

}  // namespace
