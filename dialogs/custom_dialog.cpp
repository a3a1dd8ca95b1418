// custom_dialog.cpp - FCustInstDlgProc: the file sets to install, one check
// box each, and the space they need on the destination drive.
//
// The procedure only shows what the driver lists; a click reports "CHKn" and
// the driver answers by showing the dialog again with the new states and
// figures, so the symbols stay the one truth.
#include <algorithm>
#include <string>

#include "controls.h"
#include "dialog_kind.h"
#include "procedures.h"
#include "setuprt.h"

namespace {

constexpr unsigned kCheckBoxes = IDC_FILESET_CHECK9 - IDC_FILESET_CHECK1 + 1;
constexpr unsigned kDriveStatusItems = IDC_DRIVE_STATUS7 - IDC_DRIVE_STATUS1 + 1;

// A button shows "&" as an underline under the next letter; a file-set name
// must appear as it is written.
std::string LiteralButtonText(const std::string &name)
{
    std::string text;
    for (char c : name) {
        text += c;
        if (c == '&')
            text += '&';
    }
    return text;
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
            ShowWindow(box, SW_HIDE);
            continue;
        }
        SetWindowTextA(box, LiteralButtonText(ListItemText("StatusItemsText", n)).c_str());
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
    return HandleDialogMessage(kind, hdlg, msg, wParam);
}
