// procedures.h - the dialog procedures that mscuistf.dll exports by name.
//
// The runtime finds them with GetProcAddress under these undecorated names
// (see mscuistf.def) and runs the dialogs with them.
#pragma once

#include <windows.h>

extern "C" {

// Edit dialogs (103, 300): "EditTextIn" and "EditFocus" in, "EditTextOut" out.
INT_PTR CALLBACK FEditDlgProc(HWND hdlg, UINT msg, WPARAM wParam, LPARAM lParam);

// Quit confirmation (200): Continue, Exit Setup, Help; Esc cancels.
INT_PTR CALLBACK FQuitDlgProc(HWND hdlg, UINT msg, WPARAM wParam, LPARAM lParam);

// Information dialogs with Back, Continue, Exit and Help (100, 700); Esc exits.
INT_PTR CALLBACK FInfoDlgProc(HWND hdlg, UINT msg, WPARAM wParam, LPARAM lParam);

// Short information dialogs (400, 6300, 6400); Esc cancels.
INT_PTR CALLBACK FInfo0DlgProc(HWND hdlg, UINT msg, WPARAM wParam, LPARAM lParam);

// The help dialog (900), run modally by the runtime.
INT_PTR CALLBACK FHelpDlgProc(HWND hdlg, UINT msg, WPARAM wParam, LPARAM lParam);
}
