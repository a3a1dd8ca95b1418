// Recording (/r FILE): the answers a user gives, written so that /a gives
// them again, and the options it cannot go with.
#include "runtime_fixture.h"

namespace {

using rttest::BoxPresser;
using rttest::FrameTest;
using rttest::kTestDll;
using rttest::ReadLines;
using rttest::Symbol;

class Recording : public FrameTest {
protected:
    void SetUp() override { record_ = scratch_.File("answers.txt"); }

    // One dialog, left by the stand-in procedure with this event.
    static void Answer(unsigned dialogTemplate, const char *procedure, const char *event) {
        FSetSymbolValue("TestEvent", event);
        ASSERT_EQ(1, FDoDialogExt(HwndFrame(), kTestDll, dialogTemplate, procedure, kTestDll, 0, nullptr));
    }

    // The same steps in a recording run and in its replay: what the dialogs
    // and boxes leave, in order.
    static std::vector<std::string> Steps(bool interactive) {
        std::vector<std::string> seen;
        FSetSymbolValue("EditTextIn", "D:\\say \"hi\" there");
        FSetSymbolValue("ButtonChecked", "");
        Answer(300, "FEditDlgProc", "ENTER");
        seen.push_back(Symbol("DLGEVENT") + " " + Symbol("EditTextOut"));
        Answer(800, "FRadioDlgProc", "BACK");
        seen.push_back(Symbol("DLGEVENT") + " [" + Symbol("ButtonChecked") + "]");
        Answer(6400, "TestDlgProc", "CHK2");
        seen.push_back(Symbol("DLGEVENT"));
        {
            BoxPresser user(interactive ? "Change Disk" : "no box in a replay", IDCANCEL);
            seen.push_back(std::to_string(DoMsgBox("Please Insert DISK 2", "Change Disk", MB_OKCANCEL)));
        }
        return seen;
    }

    std::string record_;
};

TEST_F(Recording, AnswersGivenAreReplayedAlike) {
    ASSERT_GT(Start("/r \"" + record_ + "\""), 0);
    std::vector<std::string> given = Steps(true);
    EXPECT_EQ((std::vector<std::string>{"OK D:\\say \"hi\" there", "BACK []", "CHK2", "2"}), given);
    EXPECT_EQ((std::vector<std::string>{
                  "# Answers recorded by Setup; run setup /a with this file to give them again.",
                  "dialog 300 OK EditTextOut=\"D:\\say \"\"hi\"\" there\"",
                  "dialog 800 BACK ButtonChecked=\"\"",
                  "dialog 6400 CHK2",
                  "msgbox CANCEL",
              }),
              ReadLines(record_));
    TerminateFrame();

    ASSERT_GT(Start("/a \"" + record_ + "\""), 0);
    FSetSymbolValue("EditTextOut", "stale");
    EXPECT_EQ(given, Steps(false));
    TerminateFrame();

    // An earlier recording is no file of the user's: a new one replaces it.
    ASSERT_GT(Start("/r \"" + record_ + "\""), 0);
    EXPECT_EQ(1u, ReadLines(record_).size());
}

TEST_F(Recording, SilentBoxesAreNoAnswers) {
    ASSERT_GT(Start("/r \"" + record_ + "\""), 0);
    FSetSilent(1);
    EXPECT_EQ(IDOK, DoMsgBox("Silent", "Setup", MB_OKCANCEL));
    FSetSilent(0);
    EXPECT_EQ(1u, ReadLines(record_).size()) << "a box nobody saw is no answer";
}

TEST_F(Recording, RefusedWithAnswersOrQuietOrOverAnInput) {
    std::string transcript = scratch_.File("transcript.txt");
    rttest::WriteText(scratch_.File("given.txt"), "dialog 100 CONTINUE\n");
    for (const std::string &options : {"/q /r \"" + record_ + "\"",
                                       "/r \"" + record_ + "\" /a \"" + scratch_.File("given.txt") + "\""}) {
        EXPECT_EQ(0, Start(options)) << options;
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(record_.c_str())) << options;
    }
    const struct { std::string options, reason; } refused[] = {
        {"/r setup.inf", "setup.inf would overwrite the setup script."},
        {"/t \"" + transcript + "\" /r \"" + transcript + "\"", "would overwrite the transcript."},
        {"/u \"" + transcript + "\" /r \"" + transcript + "\"", "would overwrite the installation log."},
        {"/u \"" + transcript + "\" /t \"" + transcript + "\"", "would overwrite the installation log."},
        {"/r", "The option /r needs a file name."},
    };
    for (const auto &start : refused) {
        BoxPresser user("Setup", IDOK);
        EXPECT_EQ(0, Start(start.options)) << start.options;
        user.Join();
        EXPECT_NE(std::string::npos, user.texts.find(start.reason)) << user.texts;
    }
}

}  // namespace
