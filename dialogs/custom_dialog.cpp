// custom_dialog.cpp - FCustInstDlgProc: the file sets to install, one check
// box each, and the space they need on the destination drive.
//
// The procedure only shows what the driver lists; a click reports "CHKn" and
// the driver answers by showing the dialog again with the new states and
// figures, so the symbols stay the one truth.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>

#include "controls.h"
#include "dialog_kind.h"
#include "procedures.h"
#include "setuprt.h"
#include "text.h"
#include "later_windows.h"

namespace {

constexpr unsigned kCheckBoxes = IDC_FILESET_CHECK9 - IDC_FILESET_CHECK1 + 1;
constexpr unsigned kDriveStatusItems = IDC_DRIVE_STATUS7 - IDC_DRIVE_STATUS1 + 1;

// A button shows "&" as an underline under the next letter; a file-set name
// must appear as it is written.
Text LiteralButtonText(const Text &name)
{
    Text text;
    for (char c : name) {
        text += c;
        if (c == '&')
            text += '&';
    }
    return text;
}

constexpr char kTipsProperty[] = "QuorvaneNameTips";
constexpr char kEllipsis[] = "...";

int TextWidth(HDC dc, const Text &buttonText)
{
    RECT rect{0, 0, 0, 0};
    DrawTextA(dc, buttonText.c_str(), -1, &rect, DT_CALCRECT | DT_SINGLELINE);
    return rect.right - rect.left;
}

// What the check box can show of a name: the whole name when it fits,
// otherwise as many whole characters as fit before "...".
Text FittedButtonText(HWND box, const Text &name, bool &cut)
{
    RECT client;
    GetClientRect(box, &client);
    // The check mark and the gap before the text.
    const int room = client.right - GetSystemMetrics(SM_CXMENUCHECK) - 2 * GetSystemMetrics(SM_CXEDGE) - 2;
    HDC dc = GetDC(box);
    HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(box, WM_GETFONT, 0, 0)));
    Text text = LiteralButtonText(name);
    cut = TextWidth(dc, text) > room;
    if (cut) {
        const char *start = name.c_str();
        Text fitted = kEllipsis;
        for (const char *end = CharNextA(start); end > start; end = CharNextA(end)) {
            Text head(start, end);
            head.erase(head.find_last_not_of(' ') + 1);
            const Text candidate = LiteralButtonText(head) + kEllipsis;
            if (TextWidth(dc, candidate) > room)
                break;
            fitted = candidate;
            if (!*end)
                break;
        }
        text = fitted;
    }
    SelectObject(dc, oldFont);
    ReleaseDC(box, dc);
    return text;
}

// The tooltip that shows a cut name whole; made with the dialog, which owns
// it and so takes it along when it goes.
HWND NameTips(HWND hdlg)
{
    if (HWND tips = static_cast<HWND>(GetPropA(hdlg, kTipsProperty)))
        return tips;
    LoadCommonControls(ICC_WIN95_CLASSES);
    HWND tips = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hdlg, nullptr,
                                reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(hdlg, GWLP_HINSTANCE)), nullptr);
    if (tips)
        SetPropA(hdlg, kTipsProperty, tips);
    return tips;
}

// The whole name over a check box whose name is cut; no tip otherwise.
void SetNameTip(HWND hdlg, HWND box, const Text &name, bool cut)
{
    HWND tips = NameTips(hdlg);
    if (!tips)
        return;
    TOOLINFOA tool{};
    tool.cbSize = TTTOOLINFOA_V1_SIZE;  // understood by every version of the control
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = hdlg;
    tool.uId = reinterpret_cast<UINT_PTR>(box);
    SendMessageA(tips, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    if (!cut)
        return;
    tool.lpszText = const_cast<char *>(name.c_str());
    SendMessageA(tips, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

// Shows one check box per listed file set, at most nine, and hides the rest.
// Returns how many are shown.
unsigned ShowFileSets(HWND hdlg)
{
    const unsigned shown = std::min<unsigned>(UsGetListLength("StatusItemsText"), kCheckBoxes);
    for (unsigned n = 1; n <= kCheckBoxes; ++n) {
        const int id = IDC_FILESET_CHECK1 + n - 1;
        HWND box = GetDlgItem(hdlg, id);
        if (n > shown) {
            SetNameTip(hdlg, box, "", false);
            ShowWindow(box, SW_HIDE);
            continue;
        }
        const Text name = ListItemText("StatusItemsText", n);
        bool cut = false;
        SetWindowTextA(box, FittedButtonText(box, name, cut).c_str());
        SetNameTip(hdlg, box, name, cut);
        // A state missing from a short list counts as not chosen.
        const bool on = lstrcmpiA(ListItemText("CheckItemsState", n).c_str(), "ON") == 0;
        CheckDlgButton(hdlg, id, on ? BST_CHECKED : BST_UNCHECKED);
        ShowWindow(box, SW_SHOW);
    }
    return shown;
}

void ShowDriveStatus(HWND hdlg)
{
    for (unsigned n = 1; n <= kDriveStatusItems; ++n)
        SetDlgItemTextA(hdlg, IDC_DRIVE_STATUS1 + n - 1, ListItemText("DriveStatusText", n).c_str());
}

// Where a control lies in the dialog's client area.
RECT ChildRect(HWND hdlg, HWND child)
{
    RECT rect;
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, hdlg, reinterpret_cast<POINT *>(&rect), 2);
    return rect;
}

void GrowBy(HWND window, int dy)
{
    RECT rect;
    GetWindowRect(window, &rect);
    SetWindowPos(window, nullptr, 0, 0, rect.right - rect.left, rect.bottom - rect.top + dy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool IsFileSetCheckBox(HWND control)
{
    const int id = GetDlgCtrlID(control);
    return id >= IDC_FILESET_CHECK1 && id <= IDC_FILESET_CHECK9;
}

// The template has a row for each of nine file sets. Rows left empty are
// taken out, so the drive figures and the buttons follow right below the
// last file set. DWLP_USER keeps the height taken out, so showing the dialog
// again with the same list changes nothing.
void FitToFileSets(HWND hdlg, unsigned shown)
{
    const RECT first = ChildRect(hdlg, GetDlgItem(hdlg, IDC_FILESET_CHECK1));
    const RECT second = ChildRect(hdlg, GetDlgItem(hdlg, IDC_FILESET_CHECK1 + 1));
    const int rowPitch = second.top - first.top;
    // An empty list still keeps one row, so the group box stays a box.
    const int wanted = static_cast<int>(kCheckBoxes - std::max(shown, 1u)) * rowPitch;
    const int shift = wanted - static_cast<int>(GetWindowLongPtrA(hdlg, DWLP_USER));
    if (shift == 0)
        return;

    HWND group = GetDlgItem(hdlg, IDC_FILESET_GROUP);
    const LONG groupBottom = ChildRect(hdlg, group).bottom;
    for (HWND child = GetWindow(hdlg, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const RECT rect = ChildRect(hdlg, child);
        if (rect.top < groupBottom || IsFileSetCheckBox(child))
            continue;
        SetWindowPos(child, nullptr, rect.left, rect.top - shift, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    GrowBy(group, -shift);
    GrowBy(hdlg, -shift);
    SetWindowLongPtrA(hdlg, DWLP_USER, wanted);
}

bool LoadCustomSymbols(HWND hdlg)
{
    FitToFileSets(hdlg, ShowFileSets(hdlg));
    ShowDriveStatus(hdlg);
    // The dialog manager focuses the first file set; showing the dialog again
    // leaves the focus on the box that was just clicked.
    return false;
}

}  // namespace

INT_PTR CALLBACK FCustInstDlgProc(HWND hdlg, UINT msg, WPARAM wParam, LPARAM)
{
    static const DialogKind kind{"EXIT", LoadCustomSymbols, nullptr};
    if (msg == WM_DESTROY)
        RemovePropA(hdlg, kTipsProperty);
    return HandleDialogMessage(kind, hdlg, msg, wParam);
}
