// The dialog stack in interactive runs, with the stand-in dialog library:
// its procedures act on their own once the runtime waits (see testdlg/).
#include <cstdlib>

#include "runtime_fixture.h"

namespace {

using rttest::FrameTest;
using rttest::kTestDll;
using rttest::ReadLines;
using rttest::Symbol;

class DialogStack : public FrameTest {
protected:
    void SetUp() override {
        transcript_ = scratch_.File("transcript.txt");
        ASSERT_GT(Start("/t \"" + transcript_ + "\""), 0);
        for (const char *name : {"TestEvent", "TestWantHelp", "TestHelpShown", "TestHelpResult"})
            FRemoveSymbol(name);
    }

    static int Show(unsigned dialogTemplate, unsigned helpTemplate = 0) {
        return FDoDialogExt(HwndFrame(), kTestDll, dialogTemplate, "TestDlgProc", kTestDll, helpTemplate,
                            helpTemplate ? "TestHelpDlgProc" : nullptr);
    }

    // The window of the dialog that ran last, as its procedure recorded it.
    static HWND LastDialog() {
        unsigned long handle = std::strtoul(Symbol("TestHwnd").c_str(), nullptr, 10);
        return reinterpret_cast<HWND>(static_cast<UINT_PTR>(handle));
    }

    std::string DialogLines() const {
        std::string lines;
        for (const std::string &line : ReadLines(transcript_))
            if (line.rfind("dialog ", 0) == 0) lines += line + ";";
        return lines;
    }

    std::string transcript_;
};

TEST_F(DialogStack, DialogReadsSymbolsAndReportsItsEvent) {
    FSetSymbolValue("EditTextIn", "C:");
    FSetSymbolValue("TestEvent", "BACK");
    ASSERT_EQ(1, Show(300));
    EXPECT_EQ("BACK", Symbol("DLGEVENT"));
    HWND hdlg = LastDialog();
    ASSERT_TRUE(IsWindow(hdlg)) << "the dialog stays displayed";
    EXPECT_TRUE(IsWindowVisible(hdlg));
    EXPECT_EQ(HwndFrame(), GetWindow(hdlg, GW_OWNER));
    char text[32];
    GetDlgItemTextA(hdlg, 10, text, sizeof text);
    EXPECT_STREQ("C:", text);
    EXPECT_EQ("dialog 300 BACK;", DialogLines());
}

TEST_F(DialogStack, SameDialogOnTopIsStartedAgainNotStacked) {
    ASSERT_EQ(1, Show(100));
    HWND first = LastDialog();
    EXPECT_EQ("INIT", Symbol("TestLastStart"));
    FSetSymbolValue("TestEvent", "EXIT");
    ASSERT_EQ(1, Show(100));
    EXPECT_EQ("REINIT", Symbol("TestLastStart"));
    EXPECT_EQ(first, LastDialog());
    EXPECT_EQ("EXIT", Symbol("DLGEVENT"));
    FKillNDialogs(1);
    EXPECT_FALSE(IsWindow(first)) << "one pop removes it: it was stacked once";
}

TEST_F(DialogStack, NewDialogDisablesTheOneBelowUntilPopped) {
    ASSERT_EQ(1, Show(100));
    HWND below = LastDialog();
    ASSERT_EQ(1, Show(6400));
    HWND top = LastDialog();
    ASSERT_NE(below, top);
    EXPECT_FALSE(IsWindowEnabled(below));
    EXPECT_TRUE(IsWindowEnabled(top));

    EXPECT_TRUE(FKillNDialogs(1));
    EXPECT_FALSE(IsWindow(top));
    EXPECT_TRUE(IsWindowEnabled(below));

    // Showing the one below again now re-starts it.
    ASSERT_EQ(1, Show(100));
    EXPECT_EQ("REINIT", Symbol("TestLastStart"));
}

TEST_F(DialogStack, KillingMoreThanDisplayedSucceeds) {
    ASSERT_EQ(1, Show(100));
    HWND first = LastDialog();
    ASSERT_EQ(1, Show(103));
    HWND second = LastDialog();
    EXPECT_TRUE(FKillNDialogs(5));
    EXPECT_FALSE(IsWindow(first));
    EXPECT_FALSE(IsWindow(second));
    EXPECT_TRUE(FKillNDialogs(1)) << "nothing displayed";
    ASSERT_EQ(1, Show(100));
    EXPECT_EQ("INIT", Symbol("TestLastStart"));
    EXPECT_TRUE(FKillNDialogs(-1));
    EXPECT_FALSE(IsWindow(LastDialog()));
}

TEST_F(DialogStack, EventReportedDuringInitDialogIsTaken) {
    FSetSymbolValue("TestEvent", "INIT");
    ASSERT_EQ(1, Show(100));
    EXPECT_EQ("EARLY", Symbol("DLGEVENT"));
}

TEST_F(DialogStack, EnterInTheDialogReachesItsDefaultButton) {
    FSetSymbolValue("EditTextIn", "typed");
    FSetSymbolValue("TestEvent", "ENTER");
    ASSERT_EQ(1, Show(103));
    EXPECT_EQ("OK", Symbol("DLGEVENT"));
    EXPECT_EQ("typed", Symbol("EditTextOut"));
}

TEST_F(DialogStack, HelpDialogRunsModalOverTheDialog) {
    FSetSymbolValue("TestWantHelp", "1");
    ASSERT_EQ(1, Show(100, 900));
    EXPECT_EQ("1", Symbol("TestHelpResult"));
    EXPECT_EQ("1", Symbol("TestHelpShown"));

    FKillNDialogs(-1);
    FRemoveSymbol("TestHelpShown");
    ASSERT_EQ(1, Show(103));
    EXPECT_EQ("0", Symbol("TestHelpResult")) << "no help template";
    EXPECT_EQ("", Symbol("TestHelpShown"));
    EXPECT_FALSE(FDlgShowHelp(HwndFrame())) << "not a dialog of the stack";
}

TEST_F(DialogStack, QuitMessageEndsTheWaitAndStaysQueued) {
    FSetSymbolValue("TestEvent", "QUIT");
    ASSERT_EQ(1, Show(100));
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(5u, msg.wParam);
    EXPECT_EQ("", DialogLines()) << "no event was reported";
}

TEST_F(DialogStack, MissingPartsFail) {
    EXPECT_EQ(0, Show(999));
    EXPECT_EQ(0, FDoDialogExt(HwndFrame(), kTestDll, 100, "NoSuchDlgProc", kTestDll, 0, nullptr));
    EXPECT_EQ(0, FDoDialogExt(HwndFrame(), "nosuchlib.dll", 100, "TestDlgProc", nullptr, 0, nullptr));
    EXPECT_EQ(0, FDoDialogExt(HwndFrame(), nullptr, 100, "TestDlgProc", nullptr, 0, nullptr));
}

TEST_F(DialogStack, TerminateFrameRemovesAllDialogs) {
    ASSERT_EQ(1, Show(100));
    HWND hdlg = LastDialog();
    TerminateFrame();
    EXPECT_FALSE(IsWindow(hdlg));
}

}  // namespace
