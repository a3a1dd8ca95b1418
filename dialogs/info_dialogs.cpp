// info_dialogs.cpp - the dialogs that only inform or ask, with no symbols:
// FInfoDlgProc, FInfo0DlgProc and FQuitDlgProc differ only in what Esc means.
#include "dialog_kind.h"
#include "procedures.h"

// A step of the sequence: Esc means leaving Setup, as the Exit button does.
INT_PTR CALLBACK FInfoDlgProc(HWND hdlg, UINT msg, WPARAM wParam, LPARAM)
{
    static const DialogKind kind{"EXIT", nullptr, nullptr};
    return HandleDialogMessage(kind, hdlg, msg, wParam);
}

// A message over a step: Esc dismisses it and returns to the step.
INT_PTR CALLBACK FInfo0DlgProc(HWND hdlg, UINT msg, WPARAM wParam, LPARAM)
{
    static const DialogKind kind{"CANCEL", nullptr, nullptr};
    return HandleDialogMessage(kind, hdlg, msg, wParam);
}

// Esc on the quit confirmation must never quit: it returns to the asking dialog.
INT_PTR CALLBACK FQuitDlgProc(HWND hdlg, UINT msg, WPARAM wParam, LPARAM)
{
    static const DialogKind kind{"CANCEL", nullptr, nullptr};
    return HandleDialogMessage(kind, hdlg, msg, wParam);
}
