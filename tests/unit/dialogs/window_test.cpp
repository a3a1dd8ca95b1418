// The dialogs as the runtime shows them: what each user action reports and
// what the edit dialog leaves in its symbols. Needs a display.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls.h"
#include "dialog_window.h"
#include "setuprt.h"
#include "simulated_user.h"

namespace {

std::string RunEditDialog(const char *textIn, const char *focus, std::vector<UserStep> steps)
{
    FSetSymbolValue("EditTextIn", textIn);
    FSetSymbolValue("EditFocus", focus);
    FSetSymbolValue("EditTextOut", "stale");
    return RunDialog(103, "FEditDlgProc", std::move(steps));
}

TEST_F(DialogWindow, EditDialogPutsTheCaretWhereEditFocusAsks)
{
    // At the end, typing extends the text; otherwise it replaces it.
    EXPECT_EQ(RunEditDialog("C:\\old", "END", {TypeChars("\\more"), Click(IDOK)}), "CONTINUE");
    EXPECT_EQ(Symbol("EditTextOut"), "C:\\old\\more");
    FKillNDialogs(1);
    EXPECT_EQ(RunEditDialog("C:\\old", "ALL", {TypeChars("D:"), Click(IDOK)}), "CONTINUE");
    EXPECT_EQ(Symbol("EditTextOut"), "D:");
}

TEST_F(DialogWindow, EditDialogLeavesItsTextWithEveryEvent)
{
    struct Case {
        UserStep action;
        const char *event;
    };
    const Case cases[] = {
        {PressKey(VK_RETURN), "CONTINUE"},
        {Click(IDC_EXIT), "EXIT"},
        {PressKey(VK_ESCAPE), "EXIT"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.event);
        EXPECT_EQ(RunEditDialog("", "END", {TypeChars("E:\\src"), c.action}), c.event);
        EXPECT_EQ(Symbol("EditTextOut"), "E:\\src");
        FKillNDialogs(1);
    }
}

TEST_F(DialogWindow, EditTextNeverFillsTheDriversBuffer)
{
    // The driver reads the text into 255 bytes and takes a full buffer for
    // an overflow that ends the run.
    const std::string tooLong(300, 'x');
    EXPECT_EQ(RunEditDialog(tooLong.c_str(), "END", {TypeChars("y"), Click(IDOK)}), "CONTINUE");
    EXPECT_EQ(Symbol("EditTextOut"), std::string(254, 'x'));
}

TEST_F(DialogWindow, EditDialogStartedAgainOnTopTakesTheNewText)
{
    EXPECT_EQ(RunEditDialog("A:\\", "END", {Click(IDOK)}), "CONTINUE");
    EXPECT_EQ(RunEditDialog("B:\\", "END", {TypeChars("x"), Click(IDOK)}), "CONTINUE");
    EXPECT_EQ(Symbol("EditTextOut"), "B:\\x");
}

TEST_F(DialogWindow, ButtonsAndKeysReportTheirEvents)
{
    struct Case {
        unsigned id;
        const char *proc;
        UserStep action;
        const char *event;
    };
    const Case cases[] = {
        // Enter on the quit confirmation is the safe choice: go on.
        {200, "FQuitDlgProc", PressKey(VK_RETURN), "CONTINUE"},
        {200, "FQuitDlgProc", PressKey(VK_ESCAPE), "CANCEL"},
        {200, "FQuitDlgProc", Click(IDC_EXIT), "EXIT"},
        {400, "FInfo0DlgProc", Click(IDOK), "CONTINUE"},
        {400, "FInfo0DlgProc", PressKey(VK_ESCAPE), "CANCEL"},
        {6400, "FInfo0DlgProc", PressKey(VK_RETURN), "CONTINUE"},
        {6400, "FInfo0DlgProc", PressKey(VK_ESCAPE), "CANCEL"},
        {6400, "FInfo0DlgProc", Click(IDC_EXIT), "EXIT"},
        {6400, "FInfoDlgProc", PressKey(VK_ESCAPE), "EXIT"},
        {100, "FInfoDlgProc", PressKey(VK_RETURN), "CONTINUE"},
        {100, "FInfoDlgProc", Click(IDC_EXIT), "EXIT"},
        {100, "FInfoDlgProc", PressKey(VK_ESCAPE), "EXIT"},
        {300, "FEditDlgProc", Click(IDC_BACK), "BACK"},
        {300, "FEditDlgProc", PressKey(VK_ESCAPE), "EXIT"},
        {700, "FInfoDlgProc", PressKey(VK_RETURN), "CONTINUE"},
        {6300, "FInfo0DlgProc", PressKey(VK_RETURN), "CONTINUE"},
        {6300, "FInfo0DlgProc", PressKey(VK_ESCAPE), "CANCEL"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::to_string(c.id) + " " + c.proc + " " + c.event);
        EXPECT_EQ(RunDialog(c.id, c.proc, {c.action}), c.event);
        FKillNDialogs(1);
    }
}

TEST_F(DialogWindow, EveryStepWithHelpOpensItAndComesBack)
{
    struct Case {
        unsigned id;
        const char *proc;
        const char *caption;
    };
    const Case cases[] = {
        {100, "FInfoDlgProc", "Welcome"},
        {300, "FEditDlgProc", "Destination Drive"},
        {700, "FInfoDlgProc", "Installation Complete"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.caption);
        const std::vector<UserStep> steps = {
            WaitForCaption(c.caption),
            Click(IDHELP),
            WaitForCaption("Quorvane/32 2.0 Setup Help"),
            Click(IDOK),
            WaitForCaption(c.caption),
            Click(IDOK),
        };
        EXPECT_EQ(RunDialog(c.id, c.proc, steps), "CONTINUE");
        FKillNDialogs(1);
    }
}

TEST_F(DialogWindow, HelpOpensOverTheQuitDialogAndClosesWithoutAnEvent)
{
    const std::vector<UserStep> steps = {
        Click(IDHELP),
        WaitForCaption("Quorvane/32 2.0 Setup Help"),
        PressKey(VK_ESCAPE),
        WaitForCaption("Exit Setup"),
        Click(IDHELP),
        WaitForCaption("Quorvane/32 2.0 Setup Help"),
        Click(IDOK),
        WaitForCaption("Exit Setup"),
        PressKey(VK_ESCAPE),
    };
    EXPECT_EQ(RunDialog(200, "FQuitDlgProc", steps), "CANCEL");
}

}  // namespace
