// procedures.h - the dialog procedures that mscuistf.dll exports by name.
//
// The runtime finds them with GetProcAddress under these undecorated names
// (see mscuistf.def) and runs the dialogs with them.
#pragma once

#include <windows.h>

extern "C" {

// Edit dialogs (103, 300): "EditTextIn" and "EditFocus" in, "EditTextOut" out.
INT_PTR CALLBACK FEditDlgProc(HWND hdlg, UINT msg, WPARAM wParam, LPARAM lParam);

// Express or custom (800): "RadioDefault" in, "ButtonChecked" out ("1" or "2").
INT_PTR CALLBACK FRadioDlgProc(HWND hdlg, UINT msg, WPARAM wParam, LPARAM lParam);

// Custom installation (6200): a check box per name of "StatusItemsText", checked
// by "CheckItemsState", and the seven items of "DriveStatusText". A check box
// reports "CHKn", Change Drive "PATH".
INT_PTR CALLBACK FCustInstDlgProc(HWND hdlg, UINT msg, WPARAM wParam, LPARAM lParam);

// Quit confirmation (200): Continue, Exit Setup, Help; Esc cancels.
INT_PTR CALLBACK FQuitDlgProc(HWND hdlg, UINT msg, WPARAM wParam, LPARAM lParam);

// Steps that only inform (100, 700): Continue and, where the template has
// them, Back, Exit and Help; Esc exits.
INT_PTR CALLBACK FInfoDlgProc(HWND hdlg, UINT msg, WPARAM wParam, LPARAM lParam);

// Short information dialogs (400, 6300, 6400); Esc cancels.
INT_PTR CALLBACK FInfo0DlgProc(HWND hdlg, UINT msg, WPARAM wParam, LPARAM lParam);

// The help dialog (900), run modally by the runtime.
INT_PTR CALLBACK FHelpDlgProc(HWND hdlg, UINT msg, WPARAM wParam, LPARAM lParam);
}
