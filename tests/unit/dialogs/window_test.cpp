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

struct Step {
    unsigned id;
    const char *proc;
    const char *caption;
    unsigned help;  // the page the installer gives the step
};

const Step kSteps[] = {
    {100, "FInfoDlgProc", "Welcome", 900},
    {103, "FEditDlgProc", "Installation Files", 901},
    {200, "FQuitDlgProc", "Exit Setup", 902},
    {300, "FEditDlgProc", "Destination Drive", 903},
    {700, "FInfoDlgProc", "Installation Complete", 907},
    {800, "FRadioDlgProc", "Installation Type", 908},
    {6200, "FCustInstDlgProc", "Custom Installation", 962},
};

// The first line of the help page on top names the step it explains.
UserStep ExpectHelpFor(const char *caption)
{
    return Inspect([caption](HWND help) {
        const std::string text = WindowText(GetWindow(help, GW_CHILD));
        EXPECT_EQ(text.substr(0, text.find('\n')), caption);
    });
}

TEST_F(DialogWindow, HelpAndF1OpenThePageOfTheStepAndComeBack)
{
    FSetSymbolValue("StatusItemsText", "");
    FAddListItem("StatusItemsText", "Base tools");
    for (const Step &step : kSteps) {
        for (const UserStep &open : {Click(IDHELP), PressKey(VK_F1)}) {
            SCOPED_TRACE(step.caption);
            const std::vector<UserStep> steps = {
                WaitForCaption(step.caption),
                open,
                WaitForCaption("Quorvane/32 2.0 Setup Help"),
                ExpectHelpFor(step.caption),
                Click(IDOK),
                WaitForCaption(step.caption),
                Click(IDOK),
            };
            EXPECT_EQ(RunDialog(step.id, step.proc, steps, step.help), "CONTINUE");
            FKillNDialogs(1);
        }
    }
}

// Where a button is, from the left and the bottom of the dialog's client area.
struct Place {
    LONG left, fromBottom, width, height;
    bool operator==(const Place &other) const
    {
        return left == other.left && fromBottom == other.fromBottom && width == other.width &&
               height == other.height;
    }
};

Place PlaceOf(HWND dialog, int id)
{
    RECT client{}, button{};
    GetClientRect(dialog, &client);
    GetWindowRect(GetDlgItem(dialog, id), &button);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT *>(&button), 2);
    return {button.left, client.bottom - button.top, button.right - button.left, button.bottom - button.top};
}

TEST_F(DialogWindow, EveryStepHasBackContinueExitAndHelpAtTheSamePlaces)
{
    FSetSymbolValue("StatusItemsText", "");
    for (const char *name : {"One", "Two", "Three", "Four", "Five", "Six", "Seven", "Eight", "Nine"})
        FAddListItem("StatusItemsText", name);
    const int buttons[] = {IDC_BACK, IDOK, IDC_EXIT, IDHELP};
    std::vector<Place> first;
    for (const Step &step : kSteps) {
        if (step.id == 200 || step.id == 700)
            continue;  // the quit question and the end are no steps
        SCOPED_TRACE(step.caption);
        const auto look = [&](HWND dialog) {
            std::vector<Place> places;
            for (int id : buttons) {
                EXPECT_TRUE(IsShown(dialog, id)) << id;
                places.push_back(PlaceOf(dialog, id));
            }
            // Back and Continue side by side, then Exit, then Help.
            EXPECT_EQ(places[0].left + places[0].width, places[1].left);
            EXPECT_LT(places[1].left + places[1].width, places[2].left);
            EXPECT_LT(places[2].left + places[2].width, places[3].left);
            for (int id : {IDOK, IDC_EXIT, IDHELP})
                EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, id))) << id;
            if (first.empty())
                first = places;
            EXPECT_TRUE(places == first);
        };
        EXPECT_EQ(RunDialog(step.id, step.proc, {Inspect(look), Click(IDOK)}), "CONTINUE");
        FKillNDialogs(1);
    }
}

TEST_F(DialogWindow, InvalidLocationSaysWhereAndWhyInPlainWords)
{
    struct Case {
        const char *problem, *name, *kind;
        const char *said;
    };
    const Case cases[] = {
        {"BLANK", "", "", "No drive was typed. Type the drive, for example C:"},
        {"NOT_FOUND", "Q:", "", "Drive Q: does not exist on this computer, or Setup cannot reach it."},
        {"NOT_HARD_OR_NETWORK", "D:", "a CD-ROM drive",
         "Drive D: is a CD-ROM drive, not a hard disk or a network drive. Quorvane/32 2.0 can be installed only on "
         "a hard disk or a network drive."},
        {"SOURCE_DRIVE", "R:\\kit\\", "a RAM disk",
         "R:\\kit\\ is on a RAM disk. Setup reads the installation files only from a floppy disk, a hard disk or a "
         "CD-ROM."},
        // The location stands as typed: a "%2" or "&" in it is no mark.
        {"NO_FILES", "C:\\100%2 & more\\", "a hard disk",
         "Setup cannot find the Quorvane/32 2.0 installation files in C:\\100%2 & more\\: it holds no setup.inf."},
        // A word the dialog does not know leaves the general text.
        {"", "C:", "", "Setup cannot use the location you gave: it may be empty, may name a drive or directory that "
                       "does not exist, or may be on a kind of drive that cannot be used here."},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.problem);
        FSetSymbolValue("LocationProblem", c.problem);
        FSetSymbolValue("LocationName", c.name);
        FSetSymbolValue("LocationKind", c.kind);
        const auto look = [&c](HWND dialog) { EXPECT_EQ(ItemText(dialog, IDC_LOCATION_PROBLEM), c.said); };
        EXPECT_EQ(RunDialog(6400, "FInfo0DlgProc", {Inspect(look), Click(IDOK)}), "CONTINUE");
        FKillNDialogs(1);
    }
}

// Every text of the library that names the installer's product names the
// vendor's once the installer set it; an "&" in it is shown, not taken for
// a mnemonic.
TEST_F(DialogWindow, TheVendorsProductNameStandsInEveryText)
{
    ASSERT_TRUE(FSetProductName("Pine & Cone 3.1"));
    std::string welcome, caption;
    const auto look = [&](HWND dialog) {
        char text[128];
        GetWindowTextA(dialog, text, sizeof text);
        caption = text;
        for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            char item[1024];
            GetWindowTextA(child, item, sizeof item);
            welcome += item;
        }
    };
    EXPECT_EQ(RunDialog(100, "FInfoDlgProc", {Inspect(look), Click(IDOK)}), "CONTINUE");
    FKillNDialogs(1);
    EXPECT_EQ(caption, "Welcome");
    EXPECT_NE(welcome.find("Welcome to the installation of Pine && Cone 3.1."), std::string::npos) << welcome;
    EXPECT_EQ(welcome.find("Quorvane"), std::string::npos) << welcome;

    FSetSymbolValue("LocationProblem", "NOT_HARD_OR_NETWORK");
    FSetSymbolValue("LocationName", "A:");
    FSetSymbolValue("LocationKind", "a floppy or removable disk drive");
    const auto location = [](HWND dialog) {
        EXPECT_NE(ItemText(dialog, IDC_LOCATION_PROBLEM).find("Pine & Cone 3.1 can be installed only"),
                  std::string::npos);
    };
    EXPECT_EQ(RunDialog(6400, "FInfo0DlgProc", {Inspect(location), Click(IDOK)}), "CONTINUE");
    FKillNDialogs(1);

    const std::vector<UserStep> help = {Click(IDHELP), WaitForCaption("Pine & Cone 3.1 Setup Help"), Click(IDOK),
                                        WaitForCaption("Exit Setup"), PressKey(VK_ESCAPE)};
    EXPECT_EQ(RunDialog(200, "FQuitDlgProc", help), "CANCEL");
    FKillNDialogs(1);

    // "" gives the installer's own name back.
    ASSERT_TRUE(FSetProductName(""));
    EXPECT_EQ(CbGetProductName(nullptr, 0), 0u);
    const std::vector<UserStep> own = {Click(IDHELP), WaitForCaption("Quorvane/32 2.0 Setup Help"), Click(IDOK),
                                       WaitForCaption("Exit Setup"), PressKey(VK_ESCAPE)};
    EXPECT_EQ(RunDialog(200, "FQuitDlgProc", own), "CANCEL");
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
