// dialog_kind.h - the message handling that every dialog procedure shares.
#pragma once

#include <windows.h>

#include "text.h"

// What sets one procedure apart from the others.
struct DialogKind {
    const char *escapeEvent;  // the word for Esc and the close box
    // Reads the input symbols into the controls; null when there are none.
    // Returns true when it has put the focus itself.
    bool (*loadSymbols)(HWND hdlg);
    // Writes the output symbols; runs before every event is reported.
    void (*storeSymbols)(HWND hdlg);
};

// The body of every modeless dialog procedure of the library.
INT_PTR HandleDialogMessage(const DialogKind &kind, HWND hdlg, UINT msg, WPARAM wParam);

// The product's name, when the installer set one, in place of the
// library's own in the caption and every control of the dialog.
void ShowProductName(HWND hdlg);

// Puts the system icons into the icon placeholders of a template.
void FillIconSlots(HWND hdlg);

// The value of a runtime symbol, whatever its length.
Text SymbolText(const char *symbol);

// Item n (1-based) of a list symbol, whatever its length; empty past the end.
Text ListItemText(const char *symbol, unsigned n);

// The text of a control, whatever its length.
Text ControlText(HWND control);
