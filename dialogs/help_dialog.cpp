// help_dialog.cpp - FHelpDlgProc: the help text, shown modally over a dialog.
#include "dialog_kind.h"
#include "procedures.h"

INT_PTR CALLBACK FHelpDlgProc(HWND hdlg, UINT msg, WPARAM wParam, LPARAM)
{
    switch (msg) {
    case WM_INITDIALOG:
        ShowProductName(hdlg);
        return TRUE;
    case WM_COMMAND:
        // OK, Esc and the close box all just close the help.
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            EndDialog(hdlg, LOWORD(wParam));
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}
