// edit_dialog.cpp - FEditDlgProc: a dialog with one line of text to fill in.
#include "controls.h"
#include "dialog_kind.h"
#include "procedures.h"
#include "setuprt.h"
#include "text.h"

namespace {

// The driver reads "EditTextOut" into a 255-byte buffer and takes a value
// that fills it for an overflow, which ends the run: the field therefore
// never holds more than 254 characters.
constexpr int kEditTextMax = 254;

// The longest beginning of text that fits the field without splitting a
// double-byte character.
Text FitToField(const Text &text)
{
    if (text.size() <= static_cast<size_t>(kEditTextMax))
        return text;
    const char *start = text.c_str();
    const char *cut = start;
    while (*cut) {
        const char *next = CharNextA(cut);
        if (next - start > kEditTextMax)
            break;
        cut = next;
    }
    return Text(start, cut);
}

bool LoadEditSymbols(HWND hdlg)
{
    HWND edit = GetDlgItem(hdlg, IDC_EDIT);
    SendMessageA(edit, EM_LIMITTEXT, kEditTextMax, 0);
    const Text text = FitToField(SymbolText("EditTextIn"));
    SetWindowTextA(edit, text.c_str());

    // "END" leaves the caret after the text so it can be extended; anything
    // else selects the whole text so that typing replaces it.
    SetFocus(edit);
    const int length = static_cast<int>(text.size());
    if (lstrcmpiA(SymbolText("EditFocus").c_str(), "END") == 0)
        SendMessageA(edit, EM_SETSEL, length, length);
    else
        SendMessageA(edit, EM_SETSEL, 0, -1);
    SendMessageA(edit, EM_SCROLLCARET, 0, 0);
    return true;
}

void StoreEditSymbols(HWND hdlg)
{
    FSetSymbolValue("EditTextOut", ControlText(GetDlgItem(hdlg, IDC_EDIT)).c_str());
}

}  // namespace

INT_PTR CALLBACK FEditDlgProc(HWND hdlg, UINT msg, WPARAM wParam, LPARAM)
{
    static const DialogKind kind{"EXIT", LoadEditSymbols, StoreEditSymbols};
    return HandleDialogMessage(kind, hdlg, msg, wParam);
}
