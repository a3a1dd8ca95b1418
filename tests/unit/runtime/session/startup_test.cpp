// Start-up: the frame's options and how a start fails.
#include "runtime_fixture.h"

namespace {

using rttest::FrameTest;
using rttest::ReadLines;
using rttest::WriteText;

class Startup : public FrameTest {};

// Quiet runs show no box, so failures can be tested without a user.
TEST_F(Startup, UnknownOptionFails) {
    EXPECT_EQ(0, Start("/q /x"));
    EXPECT_EQ(nullptr, HwndFrame());
    EXPECT_EQ(0, Start("/q stray"));
    EXPECT_EQ(0, Start("/x /q")) << "a /q after the fault still keeps the box away";
}

TEST_F(Startup, FileOptionsNeedTheirFileOnce) {
    EXPECT_EQ(0, Start("/q /t"));
    EXPECT_EQ(0, Start("/q /a"));
    EXPECT_EQ(0, Start("/q /t /q"));
    std::string transcript = scratch_.File("twice.txt");
    EXPECT_EQ(0, Start("/q /t \"" + transcript + "\" /t \"" + transcript + "\""));
}

TEST_F(Startup, UnreadableAnswerFileFailsBeforeTheTranscriptIsMade) {
    std::string transcript = scratch_.File("t.txt");
    EXPECT_EQ(0, Start("/a \"" + scratch_.File("missing.txt") + "\" /t \"" + transcript + "\""));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(transcript.c_str()));
    EXPECT_EQ(nullptr, HwndFrame());
}

TEST_F(Startup, FaultyAnswerFileFails) {
    const char *faulty[] = {
        "dialog 100\n",                       // no event
        "dialog abc CONTINUE\n",              // no template
        "dialog 300 CONTINUE EditTextOut\n",  // no '='
        "dialog 300 CONTINUE X=\"open\n",     // quote not closed
        "msgbox MAYBE\n",
        "msgbox\n",
        "pause 5\n",
    };
    std::string answers = scratch_.File("answers.txt");
    for (const char *text : faulty) {
        WriteText(answers, std::string("# header\n") + text);
        EXPECT_EQ(0, Start("/a \"" + answers + "\"")) << text;
    }
}

TEST_F(Startup, TranscriptThatCannotBeCreatedFails) {
    EXPECT_EQ(0, Start("/q /t \"" + scratch_.File("no\\such\\dir\\t.txt") + "\""));
}

TEST_F(Startup, UsageAsksToStopQuietlyWithoutAFrame) {
    std::string transcript = scratch_.File("t.txt");
    EXPECT_EQ(-1, Start("/q /? /t \"" + transcript + "\""));
    EXPECT_EQ(nullptr, HwndFrame());
    // The usage box went through the message-box path: answered and transcribed.
    std::vector<std::string> lines = ReadLines(transcript);
    ASSERT_EQ(1u, lines.size());
    EXPECT_EQ(0u, lines[0].find("msgbox \"Usage: setup [/q] [/a FILE] [/t FILE]\\n\\t[/r FILE] [/u LOG] [/?]\\n"));
}

TEST_F(Startup, OptionsAreCaseInsensitiveAndTakeDashes) {
    std::string transcript = scratch_.File("t.txt");
    ASSERT_GT(Start("-Q /T \"" + transcript + "\""), 0);
    DoMsgBox("quiet?", "Test", MB_YESNO);
    std::vector<std::string> lines = ReadLines(transcript);
    ASSERT_EQ(1u, lines.size());
    EXPECT_EQ("msgbox \"quiet?\" \"Test\" 4 6", lines[0]);
}

// A file name in quotes keeps its blanks; a quote left open runs to the end
// of the line, as Windows reads a command line.
TEST_F(Startup, QuotedFileNamesKeepTheirBlanks) {
    std::string transcript = scratch_.File("with blanks.txt");
    ASSERT_GT(Start("/q /t \"" + transcript), 0);
    DoMsgBox("open quote", "Test", MB_OK);
    EXPECT_EQ(std::vector<std::string>{"msgbox \"open quote\" \"Test\" 0 1"}, ReadLines(transcript));
}

TEST_F(Startup, RelativeFileNamesAreTakenFromTheCurrentDirectory) {
    char saved[MAX_PATH];
    GetCurrentDirectoryA(sizeof saved, saved);
    SetCurrentDirectoryA(scratch_.File("").c_str());
    int started = Start("/q /t relative.txt");
    SetCurrentDirectoryA(saved);
    ASSERT_GT(started, 0);
    FSetSymbolValue("StartupRelative", "1");
    EXPECT_EQ(std::vector<std::string>{"set \"StartupRelative\" \"1\""},
              ReadLines(scratch_.File("relative.txt")));
}

TEST_F(Startup, FrameStartsOnceAndAgainAfterTerminate) {
    ASSERT_GT(Start("/q"), 0);
    HWND first = HwndFrame();
    ASSERT_TRUE(IsWindow(first));
    EXPECT_EQ(0, Start("/q")) << "a second start while running";
    TerminateFrame();
    EXPECT_FALSE(IsWindow(first));
    EXPECT_EQ(nullptr, HwndFrame());
    ASSERT_GT(Start("/q"), 0);
    EXPECT_TRUE(IsWindow(HwndFrame()));
}

TEST_F(Startup, NewStartForgetsTheEarlierAnswers) {
    std::string answers = scratch_.File("answers.txt");
    WriteText(answers, "msgbox NO\n");
    ASSERT_GT(Start("/a \"" + answers + "\""), 0);
    TerminateFrame();
    ASSERT_GT(Start("/q"), 0);
    EXPECT_EQ(IDYES, DoMsgBox("again", "Test", MB_YESNO)) << "a /q run answers with the first button";
}

}  // namespace
