// Unattended runs: the answer file (/a), quiet answers (/q) and the checks
// that end a run which cannot go on (exit code 3 and an abort line).
#include "runtime_fixture.h"

namespace {

using rttest::FrameTest;
using rttest::kTestDll;
using rttest::ReadLines;
using rttest::Symbol;
using rttest::WriteText;

class Unattended : public FrameTest {
protected:
    void SetUp() override {
        answers_ = scratch_.File("answers.txt");
        transcript_ = scratch_.File("transcript.txt");
    }

    // Starts an /a run with these answers and a transcript.
    int StartWithAnswers(const std::string &answers) {
        WriteText(answers_, answers);
        return Start("/a \"" + answers_ + "\" /t \"" + transcript_ + "\"");
    }
    int StartQuiet() { return Start("/q /t \"" + transcript_ + "\""); }

    static int Dialog(unsigned dialogTemplate, const char *procedure = "TestDlgProc") {
        return FDoDialogExt(HwndFrame(), kTestDll, dialogTemplate, procedure, kTestDll, 0, nullptr);
    }

    std::vector<std::string> Lines() const { return ReadLines(transcript_); }
    std::string LastLine() const {
        std::vector<std::string> lines = Lines();
        return lines.empty() ? "" : lines.back();
    }

    std::string answers_, transcript_;
};

TEST_F(Unattended, AnswerFileDrivesDialogsAndMessages) {
    ASSERT_GT(StartWithAnswers("# welcome\n"
                               "dialog 100 CONTINUE\n"
                               "\n"
                               "; destination, a value with a blank\n"
                               "dialog 300 CONTINUE EditTextOut=\"C:\\Program Files\" EditFocus=END\n"
                               "   msgbox no\r\n"
                               "dialog * BACK\n"
                               "msgbox 5\n"),
              0);
    EXPECT_EQ(1, Dialog(100));
    EXPECT_EQ("CONTINUE", Symbol("DLGEVENT"));
    EXPECT_EQ(1, Dialog(300));
    EXPECT_EQ("C:\\Program Files", Symbol("EditTextOut"));
    EXPECT_EQ(IDNO, DoMsgBox("Insufficient Disk space for minimum install", "Alert", 0));
    EXPECT_EQ(1, Dialog(6400));
    EXPECT_EQ("BACK", Symbol("DLGEVENT"));
    EXPECT_EQ(5, DoMsgBox("Retry?", "Test", MB_ABORTRETRYIGNORE));
    EXPECT_EQ((std::vector<std::string>{
                  "dialog 100 CONTINUE",
                  "set \"EditTextOut\" \"C:\\\\Program Files\"",
                  "set \"EditFocus\" \"END\"",
                  "dialog 300 CONTINUE",
                  "msgbox \"Insufficient Disk space for minimum install\" \"Alert\" 0 7",
                  "dialog 6400 BACK",
                  "msgbox \"Retry?\" \"Test\" 2 5",
              }),
              Lines());
    EXPECT_EQ(nullptr, FindWindowExA(nullptr, nullptr, "#32770", "Test 300")) << "no dialog is shown";
}

TEST_F(Unattended, QuotedValuesKeepDoubledQuotes) {
    ASSERT_GT(StartWithAnswers("dialog 300 CONTINUE EditTextOut=\"say \"\"hi\"\"\" Empty=\"\" Bare=\n"), 0);
    FSetSymbolValue("Bare", "before");
    EXPECT_EQ(1, Dialog(300));
    EXPECT_EQ("say \"hi\"", Symbol("EditTextOut"));
    EXPECT_EQ("", Symbol("Empty"));
    EXPECT_EQ("", Symbol("Bare"));
}

// An answer without values is a user pressing the button without typing:
// the outputs keep what the dialog showed, not what an earlier answer left.
TEST_F(Unattended, AnswerWithoutValuesKeepsWhatTheDialogShows) {
    ASSERT_GT(StartWithAnswers("dialog 300 CONTINUE EditTextOut=Q:\n"
                               "dialog 300 CONTINUE\n"
                               "dialog 800 BACK ButtonChecked=2\n"
                               "dialog 800 CONTINUE\n"
                               "dialog 800 CONTINUE ButtonChecked=2 Extra=x\n"),
              0);
    FSetSymbolValue("EditTextIn", "D:");
    EXPECT_EQ(1, Dialog(300, "FEditDlgProc"));
    EXPECT_EQ("Q:", Symbol("EditTextOut"));
    EXPECT_EQ(1, Dialog(300, "FEditDlgProc"));
    EXPECT_EQ("D:", Symbol("EditTextOut"));

    FSetSymbolValue("RadioDefault", "1");
    EXPECT_EQ(1, Dialog(800, "FRadioDlgProc"));
    EXPECT_EQ("2", Symbol("ButtonChecked"));
    EXPECT_EQ(1, Dialog(800, "FRadioDlgProc"));
    EXPECT_EQ("1", Symbol("ButtonChecked"));
    EXPECT_EQ(1, Dialog(800, "FRadioDlgProc"));
    EXPECT_EQ("2", Symbol("ButtonChecked"));
    std::vector<std::string> lines = Lines();
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ((std::vector<std::string>{"dialog 800 CONTINUE", "set \"ButtonChecked\" \"2\"", "set \"Extra\" \"x\"",
                                        "dialog 800 CONTINUE"}),
              std::vector<std::string>(lines.end() - 4, lines.end()))
        << "a value on the line is set once, without the shown one before it";
}

TEST_F(Unattended, MissingDialogFailsWithoutTakingAnAnswer) {
    ASSERT_GT(StartWithAnswers("dialog * CONTINUE\n"), 0);
    EXPECT_EQ(0, Dialog(999)) << "no such template";
    EXPECT_EQ(0, Dialog(100, "NoSuchDlgProc"));
    EXPECT_EQ(0, FDoDialogExt(HwndFrame(), "nosuchlib.dll", 100, "TestDlgProc", nullptr, 0, nullptr));
    EXPECT_EQ(1, Dialog(100));
    EXPECT_EQ(std::vector<std::string>{"dialog 100 CONTINUE"}, Lines());
}

TEST_F(Unattended, WrongTemplateEndsTheRun) {
    EXPECT_EXIT(
        {
            StartWithAnswers("dialog 100 CONTINUE\ndialog 300 CONTINUE\n");
            Dialog(100);
            Dialog(6400);
        },
        ::testing::ExitedWithCode(3), "");
    EXPECT_EQ((std::vector<std::string>{"dialog 100 CONTINUE", "abort \"expected dialog 300, got 6400\""}),
              Lines());
}

TEST_F(Unattended, WrongKindEndsTheRun) {
    EXPECT_EXIT(
        {
            StartWithAnswers("msgbox OK\n");
            Dialog(103);
        },
        ::testing::ExitedWithCode(3), "");
    EXPECT_EQ("abort \"expected msgbox, got dialog 103\"", LastLine());

    EXPECT_EXIT(
        {
            StartWithAnswers("dialog 103 CONTINUE\n");
            DoMsgBox("Change \"disk\"", "Change Disk", MB_OKCANCEL);
        },
        ::testing::ExitedWithCode(3), "");
    EXPECT_EQ("abort \"expected dialog 103, got msgbox \\\"Change \\\\\\\"disk\\\\\\\"\\\"\"", LastLine());
}

TEST_F(Unattended, ExhaustedAnswerFileEndsTheRun) {
    EXPECT_EXIT(
        {
            StartWithAnswers("dialog 100 CONTINUE\n# nothing more\n");
            Dialog(100);
            Dialog(103);
        },
        ::testing::ExitedWithCode(3), "");
    EXPECT_EQ("abort \"answer file exhausted at dialog 103\"", LastLine());

    EXPECT_EXIT(
        {
            StartWithAnswers("");
            DoMsgBox("Unsupported OS Platform", "Fatal Error", 16);
        },
        ::testing::ExitedWithCode(3), "");
    EXPECT_EQ("abort \"answer file exhausted at msgbox \\\"Unsupported OS Platform\\\"\"", LastLine());
}

TEST_F(Unattended, QuietRunCopiesInputsToOutputs) {
    ASSERT_GT(StartQuiet(), 0);
    FSetSymbolValue("EditTextIn", "D:\\data");
    EXPECT_EQ(1, Dialog(300, "FEditDlgProc"));
    EXPECT_EQ("D:\\data", Symbol("EditTextOut"));
    EXPECT_EQ("CONTINUE", Symbol("DLGEVENT"));

    FSetSymbolValue("RadioDefault", "2");
    EXPECT_EQ(1, Dialog(800, "FRadioDlgProc"));
    EXPECT_EQ("2", Symbol("ButtonChecked"));

    FSetSymbolValue("ButtonChecked", "untouched");
    EXPECT_EQ(1, Dialog(100));
    EXPECT_EQ("untouched", Symbol("ButtonChecked")) << "other procedures get no outputs";
    EXPECT_EQ((std::vector<std::string>{
                  "set \"EditTextIn\" \"D:\\\\data\"",
                  "set \"EditTextOut\" \"D:\\\\data\"",
                  "dialog 300 CONTINUE",
                  "set \"RadioDefault\" \"2\"",
                  "set \"ButtonChecked\" \"2\"",
                  "dialog 800 CONTINUE",
                  "set \"ButtonChecked\" \"untouched\"",
                  "dialog 100 CONTINUE",
              }),
              Lines());
}

TEST_F(Unattended, QuietRunPressesTheFirstButton) {
    ASSERT_GT(StartQuiet(), 0);
    const struct { unsigned style; int button; } boxes[] = {
        {MB_OK, IDOK},
        {MB_OKCANCEL, IDOK},
        {MB_ICONHAND, IDOK},
        {MB_ABORTRETRYIGNORE, IDABORT},
        {MB_YESNOCANCEL | MB_ICONQUESTION, IDYES},
        {MB_YESNO, IDYES},
        {MB_RETRYCANCEL, IDRETRY},
    };
    for (const auto &box : boxes) EXPECT_EQ(box.button, DoMsgBox("Box", "Test", box.style)) << box.style;
}

TEST_F(Unattended, SameDialogFiftyTimesInARowIsAnEndlessLoop) {
    EXPECT_EXIT(
        {
            StartQuiet();
            for (int i = 0; i < 50; ++i) Dialog(103);
            FSetSymbolValue("LoopPassed", "50");
            Dialog(103);
        },
        ::testing::ExitedWithCode(3), "");
    std::vector<std::string> lines = Lines();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ("set \"LoopPassed\" \"50\"", lines[lines.size() - 2]) << "fifty answers are allowed";
    EXPECT_EQ("abort \"endless loop: dialog 103 answered 50 times\"", lines.back());
}

TEST_F(Unattended, AlternatingDialogsStillLoop) {
    // Welcome and quit dialog taking turns make no progress either.
    std::string answers;
    for (int i = 0; i < 60; ++i) answers += "dialog 100 CANCEL\ndialog 200 CANCEL\n";
    EXPECT_EXIT(
        {
            StartWithAnswers(answers);
            for (int i = 0; i < 60; ++i) {
                Dialog(100);
                Dialog(200);
            }
        },
        ::testing::ExitedWithCode(3), "");
    EXPECT_EQ("abort \"endless loop: dialog 100 answered 50 times\"", LastLine());
}

TEST_F(Unattended, EngineActionBetweenAnswersIsProgress) {
    EXPECT_EXIT(
        {
            StartQuiet();
            for (int round = 0; round < 3; ++round) {
                for (int i = 0; i < 40; ++i) Dialog(103);
                EercErrorHandler(104, 1, "Step", nullptr, nullptr);
            }
            ExitProcess(0);
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_EQ("msgbox \"Step\" \"Setup Error\" 16 1", LastLine());
}

TEST_F(Unattended, SameMessageFiftyTimesInARowIsAnEndlessLoop) {
    EXPECT_EXIT(
        {
            StartQuiet();
            for (int i = 0; i < 60; ++i) DoMsgBox("Insert \"Disk 2\"", "Change Disk", MB_RETRYCANCEL);
        },
        ::testing::ExitedWithCode(3), "");
    EXPECT_EQ("abort \"endless loop: msgbox \\\"Insert \\\\\\\"Disk 2\\\\\\\"\\\" answered 50 times\"",
              LastLine());
}

}  // namespace
