// The install-type and custom dialogs as the runtime shows them: what they
// read from the symbols, what they show, and what each user action reports.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls.h"
#include "dialog_window.h"
#include "setuprt.h"
#include "simulated_user.h"

namespace {

int CheckBox(unsigned n) { return IDC_FILESET_CHECK1 + static_cast<int>(n) - 1; }
int DriveStatus(unsigned n) { return IDC_DRIVE_STATUS1 + static_cast<int>(n) - 1; }

void SetList(const char *symbol, const std::vector<std::string> &items)
{
    FSetSymbolValue(symbol, "");
    for (const std::string &item : items)
        ASSERT_TRUE(FAddListItem(symbol, item.c_str())) << symbol;
}

// Names "Part 1", "Part 2", ... with every second one chosen.
void ListFileSets(unsigned count)
{
    std::vector<std::string> names, states;
    for (unsigned n = 1; n <= count; ++n) {
        names.push_back("Part " + std::to_string(n));
        states.push_back(n % 2 ? "ON" : "OFF");
    }
    SetList("StatusItemsText", names);
    SetList("CheckItemsState", states);
}

const std::vector<std::string> kDriveStatus = {"C:", "90  KB", "2147483  KB", "", "", "", "C:\\usr"};

std::string RunRadioDialog(const char *radioDefault, std::vector<UserStep> steps)
{
    FSetSymbolValue("RadioDefault", radioDefault);
    FSetSymbolValue("ButtonChecked", "stale");
    return RunDialog(800, "FRadioDlgProc", std::move(steps));
}

std::string RunCustomDialog(std::vector<UserStep> steps)
{
    return RunDialog(6200, "FCustInstDlgProc", std::move(steps));
}

UserStep ExpectChecked(int checkedId, int uncheckedId)
{
    return Inspect([=](HWND dialog) {
        EXPECT_TRUE(IsChecked(dialog, checkedId)) << checkedId;
        EXPECT_FALSE(IsChecked(dialog, uncheckedId)) << uncheckedId;
    });
}

RECT ClientRectOf(HWND dialog, HWND control)
{
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT *>(&rect), 2);
    return rect;
}

TEST_F(DialogWindow, RadioDialogStartsFromRadioDefaultAndLeavesTheChoice)
{
    struct Case {
        const char *radioDefault;
        int checkedFirst;
        std::vector<UserStep> actions;
        const char *event;
        const char *buttonChecked;
    };
    const Case cases[] = {
        {"1", IDC_RADIO_EXPRESS, {PressKey(VK_RETURN)}, "CONTINUE", "1"},
        {"2", IDC_RADIO_CUSTOM, {PressKey(VK_RETURN)}, "CONTINUE", "2"},
        // Only the first character counts, as for the driver's reading.
        {"1x", IDC_RADIO_EXPRESS, {Click(IDOK)}, "CONTINUE", "1"},
        {"1", IDC_RADIO_EXPRESS, {Click(IDC_RADIO_CUSTOM), ExpectChecked(IDC_RADIO_CUSTOM, IDC_RADIO_EXPRESS),
                                  Click(IDOK)}, "CONTINUE", "2"},
        // The two buttons are one group: the arrow keys move the choice.
        {"1", IDC_RADIO_EXPRESS, {PressKey(VK_DOWN), ExpectChecked(IDC_RADIO_CUSTOM, IDC_RADIO_EXPRESS),
                                  PressKey(VK_UP), PressKey(VK_DOWN), PressKey(VK_RETURN)}, "CONTINUE", "2"},
        // The choice is left with every event, not only with Continue.
        {"2", IDC_RADIO_CUSTOM, {Click(IDC_RADIO_EXPRESS), Click(IDC_BACK)}, "BACK", "1"},
        {"1", IDC_RADIO_EXPRESS, {Click(IDC_RADIO_CUSTOM), Click(IDC_EXIT)}, "EXIT", "2"},
        {"2", IDC_RADIO_CUSTOM, {PressKey(VK_ESCAPE)}, "EXIT", "2"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.radioDefault) + " " + c.event);
        const int other = c.checkedFirst == IDC_RADIO_EXPRESS ? IDC_RADIO_CUSTOM : IDC_RADIO_EXPRESS;
        std::vector<UserStep> steps = {ExpectChecked(c.checkedFirst, other)};
        steps.insert(steps.end(), c.actions.begin(), c.actions.end());
        EXPECT_EQ(RunRadioDialog(c.radioDefault, steps), c.event);
        EXPECT_EQ(Symbol("ButtonChecked"), c.buttonChecked);
        FKillNDialogs(1);
    }
}

TEST_F(DialogWindow, RadioDialogShownAgainStartsFromRadioDefaultAgain)
{
    EXPECT_EQ(RunRadioDialog("2", {Click(IDC_RADIO_EXPRESS), Click(IDC_EXIT)}), "EXIT");
    EXPECT_EQ(Symbol("ButtonChecked"), "1");
    // The driver asked whether to quit, the user stayed: the dialog on top is
    // shown again from the symbols, not from the abandoned click.
    EXPECT_EQ(RunRadioDialog("2", {ExpectChecked(IDC_RADIO_CUSTOM, IDC_RADIO_EXPRESS), Click(IDOK)}), "CONTINUE");
    EXPECT_EQ(Symbol("ButtonChecked"), "2");
}

TEST_F(DialogWindow, CustomDialogShowsOneCheckBoxPerListedFileSet)
{
    SetList("DriveStatusText", kDriveStatus);
    for (unsigned listed : {1u, 3u, 9u, 12u}) {
        SCOPED_TRACE(std::to_string(listed) + " listed");
        ListFileSets(listed);
        const auto look = [listed](HWND dialog) {
            for (unsigned n = 1; n <= 9; ++n) {
                SCOPED_TRACE("check box " + std::to_string(n));
                EXPECT_EQ(IsShown(dialog, CheckBox(n)), n <= listed);
                if (n > listed)
                    continue;
                EXPECT_EQ(ItemText(dialog, CheckBox(n)), "Part " + std::to_string(n));
                EXPECT_EQ(IsChecked(dialog, CheckBox(n)), n % 2 == 1);
            }
        };
        EXPECT_EQ(RunCustomDialog({Inspect(look), PressKey(VK_RETURN)}), "CONTINUE");
        FKillNDialogs(1);
    }
}

TEST_F(DialogWindow, CustomDialogShowsFileSetNamesAsWrittenAndMissingStatesUnchecked)
{
    SetList("DriveStatusText", kDriveStatus);
    SetList("StatusItemsText", {"Tools & Samples", "Help files", "Fonts"});
    SetList("CheckItemsState", {"on", "ON"});
    const auto look = [](HWND dialog) {
        // Doubled, the ampersand is drawn as itself instead of a mnemonic.
        EXPECT_EQ(ItemText(dialog, CheckBox(1)), "Tools && Samples");
        EXPECT_TRUE(IsChecked(dialog, CheckBox(1)));
        EXPECT_TRUE(IsChecked(dialog, CheckBox(2)));
        EXPECT_FALSE(IsChecked(dialog, CheckBox(3)));
    };
    EXPECT_EQ(RunCustomDialog({Inspect(look), Click(IDOK)}), "CONTINUE");
}

struct TooltipSearch {
    HWND owner, found;
};

BOOL CALLBACK FindOwnedTooltip(HWND window, LPARAM data)
{
    auto *search = reinterpret_cast<TooltipSearch *>(data);
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    if (GetWindow(window, GW_OWNER) != search->owner || lstrcmpiA(name, TOOLTIPS_CLASSA) != 0)
        return TRUE;
    search->found = window;
    return FALSE;
}

// The tooltip window the dialog owns, if any.
HWND OwnedTooltip(HWND dialog)
{
    TooltipSearch search{dialog, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), FindOwnedTooltip, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The tip shown over a check box; empty when it has none.
std::string TipOf(HWND tips, HWND dialog, int id)
{
    char text[512] = "";
    TOOLINFOA tool{};
    tool.cbSize = TTTOOLINFOA_V1_SIZE;
    tool.hwnd = dialog;
    tool.uId = reinterpret_cast<UINT_PTR>(GetDlgItem(dialog, id));
    tool.lpszText = text;
    if (!tips || !SendMessageA(tips, TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&tool)))
        return "";
    SendMessageA(tips, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&tool));
    return text;
}

TEST_F(DialogWindow, CustomDialogEndsALongNameInAnEllipsisAndShowsItWholeAsATip)
{
    SetList("DriveStatusText", kDriveStatus);
    // Longer than the line, within what every version of the tooltip control
    // gives back whole.
    const std::string longName = "MANUALS & SAMPLES: WINDOWS, MS-DOS AND OS/2 EDITIONS, WITH PRINTED REFERENCE";
    SetList("StatusItemsText", {"Base tools", longName});
    SetList("CheckItemsState", {"ON", "OFF"});
    const auto look = [&longName](HWND dialog) {
        EXPECT_EQ(ItemText(dialog, CheckBox(1)), "Base tools");
        const std::string shown = ItemText(dialog, CheckBox(2));
        ASSERT_GT(shown.size(), 10u);
        EXPECT_EQ(shown.substr(shown.size() - 3), "...");
        // The beginning of the name as written, its ampersand doubled.
        const std::string head = shown.substr(0, shown.size() - 3);
        std::string doubled = longName;
        doubled.insert(doubled.find('&'), "&");
        EXPECT_EQ(head, doubled.substr(0, head.size()));
        EXPECT_NE(head.back(), ' ');

        // The shortened name fits beside the check mark.
        HWND box = GetDlgItem(dialog, CheckBox(2));
        RECT client{}, text{};
        GetClientRect(box, &client);
        HDC dc = GetDC(box);
        HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(box, WM_GETFONT, 0, 0)));
        DrawTextA(dc, shown.c_str(), -1, &text, DT_CALCRECT | DT_SINGLELINE);
        SelectObject(dc, old);
        ReleaseDC(box, dc);
        EXPECT_LT(text.right + GetSystemMetrics(SM_CXMENUCHECK), client.right);

        HWND tips = OwnedTooltip(dialog);
        ASSERT_NE(tips, nullptr);
        EXPECT_EQ(TipOf(tips, dialog, CheckBox(2)), longName);
        EXPECT_EQ(TipOf(tips, dialog, CheckBox(1)), "");
    };
    EXPECT_EQ(RunCustomDialog({Inspect(look), Click(CheckBox(2))}), "CHK2");

    // Shown again with short names only: no tip is left over.
    SetList("StatusItemsText", {"Base tools", "Samples"});
    const auto again = [](HWND dialog) {
        EXPECT_EQ(ItemText(dialog, CheckBox(2)), "Samples");
        EXPECT_EQ(TipOf(OwnedTooltip(dialog), dialog, CheckBox(2)), "");
    };
    EXPECT_EQ(RunCustomDialog({Inspect(again), Click(IDOK)}), "CONTINUE");
}

TEST_F(DialogWindow, CustomDialogShowsTheDriveStatusBesideItsLabels)
{
    ListFileSets(2);
    SetList("DriveStatusText", {"D:", "1000  KB", "0  KB", "spare 4", "spare 5", "spare 6", "D:\\usr"});
    const auto look = [](HWND dialog) {
        const char *const items[] = {"D:", "1000  KB", "0  KB", "spare 4", "spare 5", "spare 6", "D:\\usr"};
        for (unsigned n = 1; n <= 7; ++n)
            EXPECT_EQ(ItemText(dialog, DriveStatus(n)), items[n - 1]) << "item " << n;

        struct Labelled {
            const char *label;
            unsigned item;
        };
        for (const Labelled &row : {Labelled{"Drive:", 1}, Labelled{"Space required:", 2},
                                    Labelled{"Space available:", 3}, Labelled{"Install to:", 7}}) {
            SCOPED_TRACE(row.label);
            HWND label = FindWindowExA(dialog, nullptr, "Static", row.label);
            ASSERT_NE(label, nullptr);
            const RECT labelRect = ClientRectOf(dialog, label);
            const RECT valueRect = ClientRectOf(dialog, GetDlgItem(dialog, DriveStatus(row.item)));
            EXPECT_EQ(valueRect.top, labelRect.top);
            EXPECT_GE(valueRect.left, labelRect.right);
        }
    };
    EXPECT_EQ(RunCustomDialog({Inspect(look), Click(IDOK)}), "CONTINUE");
}

TEST_F(DialogWindow, CustomDialogReportsEachClickAndIsShownAgainWithTheNewFigures)
{
    ListFileSets(3);
    SetList("DriveStatusText", kDriveStatus);
    EXPECT_EQ(RunCustomDialog({Click(CheckBox(2))}), "CHK2");

    // The driver's answer to CHK2: file set 2 chosen, more space required.
    SetList("CheckItemsState", {"ON", "ON", "ON"});
    SetList("DriveStatusText", {"C:", "4090  KB", "2147483  KB", "", "", "", "C:\\usr"});
    const auto look = [](HWND dialog) {
        for (unsigned n = 1; n <= 3; ++n)
            EXPECT_TRUE(IsChecked(dialog, CheckBox(n))) << "check box " << n;
        EXPECT_EQ(ItemText(dialog, DriveStatus(2)), "4090  KB");
    };
    EXPECT_EQ(RunCustomDialog({Inspect(look), Click(CheckBox(3))}), "CHK3");

    // Shown again unchanged: the listed states win over the click.
    EXPECT_EQ(RunCustomDialog({ExpectChecked(CheckBox(3), CheckBox(9)), Click(IDC_CHANGE_DRIVE)}), "PATH");

    struct Case {
        UserStep action;
        const char *event;
    };
    const Case cases[] = {
        {Click(IDC_BACK), "BACK"},
        {Click(IDC_EXIT), "EXIT"},
        {PressKey(VK_ESCAPE), "EXIT"},
        {PressKey(VK_RETURN), "CONTINUE"},
        {Click(CheckBox(1)), "CHK1"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(RunCustomDialog({c.action}), c.event);
}

// The height of the dialog and where its lowest button ends, in client pixels.
struct CustomLayout {
    int height;
    int rowPitch;
    LONG lastRowBottom;  // the last check box that is shown
    LONG groupBottom;
    LONG continueTop;
    LONG continueBottom;
    LONG clientBottom;
};

UserStep MeasureLayout(unsigned shown, CustomLayout &layout)
{
    return Inspect([shown, &layout](HWND dialog) {
        RECT window{}, client{};
        GetWindowRect(dialog, &window);
        GetClientRect(dialog, &client);
        layout.height = window.bottom - window.top;
        layout.rowPitch = ClientRectOf(dialog, GetDlgItem(dialog, CheckBox(2))).top -
                          ClientRectOf(dialog, GetDlgItem(dialog, CheckBox(1))).top;
        layout.lastRowBottom = ClientRectOf(dialog, GetDlgItem(dialog, CheckBox(shown))).bottom;
        layout.groupBottom = ClientRectOf(dialog, GetDlgItem(dialog, IDC_FILESET_GROUP)).bottom;
        const RECT continueRect = ClientRectOf(dialog, GetDlgItem(dialog, IDOK));
        layout.continueTop = continueRect.top;
        layout.continueBottom = continueRect.bottom;
        layout.clientBottom = client.bottom;
    });
}

TEST_F(DialogWindow, CustomDialogTakesOutTheRowsOfFileSetsNotListed)
{
    SetList("DriveStatusText", kDriveStatus);
    CustomLayout nine{}, two{}, twoAgain{}, nineAgain{};
    ListFileSets(9);
    EXPECT_EQ(RunCustomDialog({MeasureLayout(9, nine), Click(IDOK)}), "CONTINUE");
    FKillNDialogs(1);

    ListFileSets(2);
    EXPECT_EQ(RunCustomDialog({MeasureLayout(2, two), Click(IDOK)}), "CONTINUE");
    EXPECT_EQ(nine.height - two.height, 7 * nine.rowPitch);
    EXPECT_LT(two.lastRowBottom, two.groupBottom);
    EXPECT_LT(two.groupBottom, two.continueTop);
    EXPECT_LE(two.continueBottom, two.clientBottom);
    EXPECT_EQ(nine.clientBottom - nine.continueBottom, two.clientBottom - two.continueBottom);

    // Shown again, with the same list and then with a longer one.
    EXPECT_EQ(RunCustomDialog({MeasureLayout(2, twoAgain), Click(IDOK)}), "CONTINUE");
    EXPECT_EQ(twoAgain.height, two.height);
    ListFileSets(9);
    EXPECT_EQ(RunCustomDialog({MeasureLayout(9, nineAgain), Click(IDOK)}), "CONTINUE");
    EXPECT_EQ(nineAgain.height, nine.height);
    EXPECT_EQ(nineAgain.continueTop, nine.continueTop);
    EXPECT_EQ(nineAgain.lastRowBottom, nine.lastRowBottom);
}

}  // namespace
