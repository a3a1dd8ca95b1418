// info_dialogs.cpp - the dialogs that only inform or ask: FInfoDlgProc,
// FInfo0DlgProc and FQuitDlgProc differ in what Esc means, and the
// invalid-location message reads why from "LocationProblem".
#include "controls.h"
#include "dialog_kind.h"
#include "procedures.h"
#include "setuprt.h"
#include "text.h"

namespace {

// The invalid-location dialog says why, when the installer named a reason
// it knows; the template's general text stays otherwise.
// %1 is the location, %2 the kind of its drive, as the installer set them;
// one pass, so a location that holds "%2" stays as typed.
Text Placed(const char *said)
{
    const Text name = SymbolText("LocationName"), kind = SymbolText("LocationKind");
    Text placed;
    for (const char *ch = said; *ch != '\0'; ch++) {
        if (ch[0] == '%' && (ch[1] == '1' || ch[1] == '2')) {
            placed += *++ch == '1' ? name : kind;
            continue;
        }
        placed += *ch;
    }
    return placed;
}

bool LoadLocationProblem(HWND hdlg)
{
    HWND text = GetDlgItem(hdlg, IDC_LOCATION_PROBLEM);
    if (!text)
        return false;
    const Text word = SymbolText("LocationProblem");
    for (const LocationProblem &problem : kLocationProblems) {
        if (lstrcmpiA(word.c_str(), problem.word) != 0)
            continue;
        char said[512];
        const auto module = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(hdlg, GWLP_HINSTANCE));
        if (LoadStringA(module, problem.text, said, sizeof said) > 0)
            SetWindowTextA(text, Placed(said).c_str());
    }
    return false;
}

}  // namespace

// A step of the sequence: Esc means leaving Setup, as the Exit button does.
INT_PTR CALLBACK FInfoDlgProc(HWND hdlg, UINT msg, WPARAM wParam, LPARAM)
{
    static const DialogKind kind{"EXIT", nullptr, nullptr};
    return HandleDialogMessage(kind, hdlg, msg, wParam);
}

// A message over a step: Esc dismisses it and returns to the step.
INT_PTR CALLBACK FInfo0DlgProc(HWND hdlg, UINT msg, WPARAM wParam, LPARAM)
{
    static const DialogKind kind{"CANCEL", LoadLocationProblem, nullptr};
    return HandleDialogMessage(kind, hdlg, msg, wParam);
}

// Esc on the quit confirmation must never quit: it returns to the asking dialog.
INT_PTR CALLBACK FQuitDlgProc(HWND hdlg, UINT msg, WPARAM wParam, LPARAM)
{
    static const DialogKind kind{"CANCEL", nullptr, nullptr};
    return HandleDialogMessage(kind, hdlg, msg, wParam);
}
