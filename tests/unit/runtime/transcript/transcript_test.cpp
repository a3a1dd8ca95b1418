// The transcript: its line formats and escapes.
#include "runtime_fixture.h"

namespace {

using rttest::FrameTest;
using rttest::ReadLines;

class Transcript : public FrameTest {
protected:
    void StartWithTranscript(const std::string &options) {
        path_ = scratch_.File("transcript.txt");
        ASSERT_GT(Start(options + " /t \"" + path_ + "\""), 0);
    }
    std::vector<std::string> Lines() const { return ReadLines(path_); }

    std::string path_;
};

TEST_F(Transcript, ControlCharactersAreEscapedAndHighBytesKept) {
    StartWithTranscript("");
    FSetSymbolValue("Esc", "a\\b\"c\nd\te\rf\x01g\x1Fh\x7Fi\xE9j");
    ASSERT_EQ(1u, Lines().size());
    EXPECT_EQ("set \"Esc\" \"a\\\\b\\\"c\\nd\\te\\rf\\x01g\\x1Fh\\x7Fi\xE9j\"", Lines()[0]);
}

TEST_F(Transcript, SymbolChangesAreWrittenInOrder) {
    StartWithTranscript("");
    FSetSymbolValue("DriveStatusText", "");
    FAddListItem("DriveStatusText", "C:");
    FAddListItem("DriveStatusText", "90  KB");
    FReplaceListItem("DriveStatusText", 1, "D:");  // not a transcript event
    FRemoveSymbol("DriveStatusText");              // nor this
    EXPECT_EQ("set \"DriveStatusText\" \"\"\n"
              "add \"DriveStatusText\" \"C:\"\n"
              "add \"DriveStatusText\" \"90  KB\"\n",
              rttest::ReadText(path_));
}

TEST_F(Transcript, MessageBoxLineHasTextCaptionStyleAndButton) {
    StartWithTranscript("/q");
    EXPECT_EQ(IDOK, DoMsgBox("Please Insert DISK Labeled 2 \n into Drive A:", "Change Disk", MB_OKCANCEL));
    EXPECT_EQ(IDOK, DoMsgBox(nullptr, nullptr, 0));
    EXPECT_EQ((std::vector<std::string>{
                  "msgbox \"Please Insert DISK Labeled 2 \\n into Drive A:\" \"Change Disk\" 1 1",
                  "msgbox \"\" \"\" 0 1",
              }),
              Lines());
}

TEST_F(Transcript, ErrorReportIsWrittenThenShownAsSetupError) {
    StartWithTranscript("/q");
    EXPECT_EQ(IDOK, EercErrorHandler(104, 1, "GetRegKeyValue", nullptr, nullptr));
    EXPECT_EQ(IDOK, EercErrorHandler(104, 1, "CopyFile", "A:\\x.dll", nullptr));
    EXPECT_EQ((std::vector<std::string>{
                  "error \"GetRegKeyValue\"",
                  "msgbox \"GetRegKeyValue\" \"Setup Error\" 16 1",
                  "error \"CopyFile\"",
                  "msgbox \"CopyFile\\nA:\\\\x.dll\" \"Setup Error\" 16 1",
              }),
              Lines());
}

TEST_F(Transcript, StaysUsableAfterTheFrameEnds) {
    StartWithTranscript("/q");
    TerminateFrame();
    FSetSymbolValue("AfterEnd", "yes");
    EXPECT_EQ(std::vector<std::string>{"set \"AfterEnd\" \"yes\""}, Lines());
}

TEST_F(Transcript, NewStartWritesANewTranscript) {
    StartWithTranscript("/q");
    FSetSymbolValue("FirstRun", "1");
    TerminateFrame();
    ASSERT_GT(Start("/q"), 0);
    FSetSymbolValue("SecondRun", "1");
    EXPECT_EQ(std::vector<std::string>{"set \"FirstRun\" \"1\""}, Lines());
}

}  // namespace
