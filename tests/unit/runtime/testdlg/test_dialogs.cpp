// Dialog procedures for the runtime's tests. They behave like the dialog
// library's (symbols in on start, event out through DlgReportEvent), and are
// steered by symbols so that a test can run without a user:
//   TestEvent     the event word to report ("CONTINUE" when unset);
//                 "ENTER" presses Enter in the edit field instead,
//                 "QUIT" posts WM_QUIT, "INIT" reports during WM_INITDIALOG.
//   TestWantHelp  "1": open the help dialog before reporting.
// They leave TestLastStart ("INIT"/"REINIT"), TestHwnd (the dialog's handle in
// decimal), TestHelpResult and TestHelpShown behind.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "setuprt.h"

namespace {

constexpr int kEditId = 10;
constexpr UINT kActNow = WM_APP + 1;

std::string Symbol(const char *name) {
    char value[256];
    CbGetSymbolValue(name, value, sizeof value);
    return value;
}

void Start(HWND hdlg, const char *how) {
    FSetSymbolValue("TestLastStart", how);
    char handle[32];
    std::snprintf(handle, sizeof handle, "%lu", static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(hdlg)));
    FSetSymbolValue("TestHwnd", handle);
    SetDlgItemTextA(hdlg, kEditId, Symbol("EditTextIn").c_str());
    // Act once the runtime waits for the event, as a user would.
    PostMessageA(hdlg, kActNow, 0, 0);
}

void Act(HWND hdlg) {
    if (Symbol("TestWantHelp") == "1") FSetSymbolValue("TestHelpResult", FDlgShowHelp(hdlg) ? "1" : "0");
    std::string event = Symbol("TestEvent");
    if (event == "ENTER") {
        HWND edit = GetDlgItem(hdlg, kEditId);
        SetFocus(edit);
        PostMessageA(edit, WM_KEYDOWN, VK_RETURN, 1);
    } else if (event == "QUIT") {
        PostQuitMessage(5);
    } else if (event != "INIT") {
        DlgReportEvent(hdlg, event.empty() ? "CONTINUE" : event.c_str());
    }
}

INT_PTR Dialog(HWND hdlg, UINT message, WPARAM wParam) {
    switch (message) {
    case WM_INITDIALOG:
        Start(hdlg, "INIT");
        if (Symbol("TestEvent") == "INIT") DlgReportEvent(hdlg, "EARLY");
        return TRUE;
    case STF_REINITDIALOG: Start(hdlg, "REINIT"); return TRUE;
    case kActNow: Act(hdlg); return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            char text[256];
            GetDlgItemTextA(hdlg, kEditId, text, sizeof text);
            FSetSymbolValue("EditTextOut", text);
            DlgReportEvent(hdlg, "OK");
            return TRUE;
        }
        break;
    }
    return FALSE;
}

}  // namespace

extern "C" {

INT_PTR CALLBACK TestDlgProc(HWND hdlg, UINT message, WPARAM wParam, LPARAM) {
    return Dialog(hdlg, message, wParam);
}

INT_PTR CALLBACK FEditDlgProc(HWND hdlg, UINT message, WPARAM wParam, LPARAM) {
    return Dialog(hdlg, message, wParam);
}

INT_PTR CALLBACK FRadioDlgProc(HWND hdlg, UINT message, WPARAM wParam, LPARAM) {
    return Dialog(hdlg, message, wParam);
}

INT_PTR CALLBACK TestHelpDlgProc(HWND hdlg, UINT message, WPARAM, LPARAM) {
    switch (message) {
    case WM_INITDIALOG: PostMessageA(hdlg, kActNow, 0, 0); return TRUE;
    case kActNow:
        FSetSymbolValue("TestHelpShown", "1");
        EndDialog(hdlg, IDOK);
        return TRUE;
    }
    return FALSE;
}

}  // extern "C"
