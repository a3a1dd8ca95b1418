// radio_dialog.cpp - FRadioDlgProc: the choice between express and custom.
#include "controls.h"
#include "dialog_kind.h"
#include "procedures.h"
#include "setuprt.h"
#include "text.h"

namespace {

// Read the way the driver reads "ButtonChecked": "1" is express, anything
// else custom. A dialog accepted unchanged thus leaves what it was given.
bool IsExpress(const Text &value)
{
    return !value.empty() && value[0] == '1';
}

bool LoadRadioSymbols(HWND hdlg)
{
    const int checked = IsExpress(SymbolText("RadioDefault")) ? IDC_RADIO_EXPRESS : IDC_RADIO_CUSTOM;
    CheckRadioButton(hdlg, IDC_RADIO_EXPRESS, IDC_RADIO_CUSTOM, checked);
    // The arrow keys then move the choice from where it stands.
    SetFocus(GetDlgItem(hdlg, checked));
    return true;
}

void StoreRadioSymbols(HWND hdlg)
{
    const bool express = IsDlgButtonChecked(hdlg, IDC_RADIO_EXPRESS) == BST_CHECKED;
    FSetSymbolValue("ButtonChecked", express ? "1" : "2");
}

}  // namespace

INT_PTR CALLBACK FRadioDlgProc(HWND hdlg, UINT msg, WPARAM wParam, LPARAM)
{
    static const DialogKind kind{"EXIT", LoadRadioSymbols, StoreRadioSymbols};
    return HandleDialogMessage(kind, hdlg, msg, wParam);
}
