// dialog_stack.cpp - modeless dialogs of the dialog library, stacked over the frame.
#include "session/dialog_stack.h"

#include <algorithm>
#include <string>
#include <vector>

#include "session/frame.h"
#include "base/modules.h"
#include "unattended/recording.h"
#include "unattended/responder.h"
#include "setuprt.h"
#include "symbols/symbols.h"
#include "transcript/transcript.h"

namespace rt {
namespace {

struct DialogEntry {
    HWND hwnd = nullptr;  // null in /q and /a runs: nothing is shown
    std::string dll;
    unsigned dialogTemplate = 0;
    std::string procedure;
    std::string helpDll;
    unsigned helpTemplate = 0;
    std::string helpProcedure;
};

// The dialog whose event FDoDialogExt waits for.
struct Wait {
    HWND hdlg = nullptr;
    unsigned dialogTemplate = 0;
    std::string procedure;
    bool creating = false;  // hdlg not known yet: WM_INITDIALOG is running
    bool reported = false;
};

std::vector<DialogEntry> g_stack;
Wait *g_wait = nullptr;

bool SameName(const std::string &a, const char *b) { return lstrcmpiA(a.c_str(), b) == 0; }

bool IsTop(const char *dll, unsigned dialogTemplate, const char *procedure) {
    if (g_stack.empty()) return false;
    const DialogEntry &top = g_stack.back();
    return SameName(top.dll, dll) && top.dialogTemplate == dialogTemplate && top.procedure == procedure;
}

bool OnStack(HWND hwnd) {
    for (const DialogEntry &entry : g_stack)
        if (entry.hwnd == hwnd) return true;
    return false;
}

// Dialogs destroyed behind the runtime's back are forgotten.
void DropDestroyedDialogs() {
    while (!g_stack.empty() && g_stack.back().hwnd && !IsWindow(g_stack.back().hwnd)) g_stack.pop_back();
}

DLGPROC FindProcedure(HMODULE module, const char *procedure) {
    return reinterpret_cast<DLGPROC>(reinterpret_cast<void (*)()>(GetProcAddress(module, procedure)));
}

bool HasTemplate(HMODULE module, unsigned dialogTemplate) {
    LPCSTR type = reinterpret_cast<LPCSTR>(RT_DIALOG);
    return FindResourceA(module, MAKEINTRESOURCEA(dialogTemplate), type) != nullptr;
}

void CentreOverFrame(HWND hdlg) {
    RECT area, box;
    HWND frame = Frame();
    if (!frame || !GetWindowRect(frame, &area)) SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    GetWindowRect(hdlg, &box);
    int width = box.right - box.left, height = box.bottom - box.top;
    int left = area.left + (area.right - area.left - width) / 2;
    int top = area.top + (area.bottom - area.top - height) / 2;
    // A tall dialog moves down off the banner, as far as the frame has room.
    const LONG clear = BannerBottom();
    if (top < clear) top = std::max<LONG>(top, std::min<LONG>(clear, area.bottom - height));
    SetWindowPos(hdlg, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Activate(HWND hwnd) {
    EnableWindow(hwnd, TRUE);
    ShowWindow(hwnd, SW_SHOW);
    SetForegroundWindow(hwnd);
    SetActiveWindow(hwnd);
}

// Records the event: DLGEVENT for the caller, a line for the transcript.
void FinishDialog(unsigned dialogTemplate, const char *event) {
    SetSymbolQuietly("DLGEVENT", event);
    transcript::Dialog(dialogTemplate, event);
}

// F1 anywhere in the dialog shows its help, as its Help button does.
bool IsHelpKey(HWND hdlg, const MSG &msg) {
    return msg.message == WM_KEYDOWN && msg.wParam == VK_F1 && (msg.hwnd == hdlg || IsChild(hdlg, msg.hwnd));
}

// Runs the message loop until the dialog reports its event. On WM_QUIT the
// message is posted again for the binding's own pump, and the call succeeds.
int PumpUntilEvent(Wait &wait) {
    while (!wait.reported) {
        if (!IsWindow(wait.hdlg)) return 0;
        MSG msg;
        BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return 1;
        }
        if (got == -1) return 0;
        if (IsHelpKey(wait.hdlg, msg)) {
            FDlgShowHelp(wait.hdlg);
            continue;
        }
        if (IsDialogMessageA(wait.hdlg, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 1;
}

// Creates the dialog on top of the stack; false when Windows refuses.
bool PushDialog(HWND hwndParent, HMODULE module, DLGPROC proc, DialogEntry entry, Wait &wait) {
    HWND below = g_stack.empty() ? nullptr : g_stack.back().hwnd;
    wait.creating = true;
    HWND hdlg = CreateDialogParamA(module, MAKEINTRESOURCEA(entry.dialogTemplate), hwndParent, proc, 0);
    wait.creating = false;
    if (!hdlg) return false;
    wait.hdlg = hdlg;
    CentreOverFrame(hdlg);
    if (below) EnableWindow(below, FALSE);
    entry.hwnd = hdlg;
    g_stack.push_back(entry);
    Activate(hdlg);
    return true;
}

int ShowAndWait(HWND hwndParent, HMODULE module, DLGPROC proc, const DialogEntry &entry) {
    Wait wait;
    wait.dialogTemplate = entry.dialogTemplate;
    wait.procedure = entry.procedure;
    Wait *outer = g_wait;
    g_wait = &wait;
    int result = 1;
    if (IsTop(entry.dll.c_str(), entry.dialogTemplate, entry.procedure.c_str())) {
        wait.hdlg = g_stack.back().hwnd;
        SendMessageA(wait.hdlg, STF_REINITDIALOG, 0, 0);
        Activate(wait.hdlg);
    } else if (!PushDialog(hwndParent, module, proc, entry, wait)) {
        result = 0;
    }
    if (result) result = PumpUntilEvent(wait);
    g_wait = outer;
    return result;
}

}  // namespace

void ActivateTopDialog() {
    if (!g_stack.empty() && g_stack.back().hwnd)
        Activate(g_stack.back().hwnd);
    else if (Frame())
        SetActiveWindow(Frame());
}

}  // namespace rt

int FDoDialogExt(HWND hwndParent, const char *szDll, unsigned Dlg, const char *szDlgProc,
                 const char *szHelpDll, unsigned HelpDlg, const char *szHelpProc) {
    if (!szDlgProc || !*szDlgProc) return 0;
    HMODULE module = rt::CachedLibrary(szDll);
    DLGPROC proc = module ? rt::FindProcedure(module, szDlgProc) : nullptr;
    if (!proc || !rt::HasTemplate(module, Dlg)) return 0;

    rt::DialogEntry entry;
    entry.dll = szDll;
    entry.dialogTemplate = Dlg;
    entry.procedure = szDlgProc;
    entry.helpDll = szHelpDll && *szHelpDll ? szHelpDll : szDll;
    entry.helpTemplate = HelpDlg;
    entry.helpProcedure = szHelpProc ? szHelpProc : "";

    if (!rt::IsUnattended()) {
        rt::DropDestroyedDialogs();
        return rt::ShowAndWait(hwndParent, module, proc, entry);
    }
    if (!rt::IsTop(szDll, Dlg, szDlgProc)) rt::g_stack.push_back(entry);
    std::string event = rt::AnswerDialog(Dlg, szDlgProc);
    rt::FinishDialog(Dlg, event.c_str());
    return 1;
}

int FKillNDialogs(int n) {
    size_t displayed = rt::g_stack.size();
    size_t count = n < 0 || static_cast<size_t>(n) > displayed ? displayed : static_cast<size_t>(n);
    for (size_t i = 0; i < count; ++i) {
        HWND hwnd = rt::g_stack.back().hwnd;
        rt::g_stack.pop_back();
        if (hwnd && IsWindow(hwnd)) DestroyWindow(hwnd);
    }
    rt::ActivateTopDialog();
    return 1;
}

void DlgReportEvent(HWND hdlg, const char *szEvent) {
    rt::Wait *wait = rt::g_wait;
    if (!wait || wait->reported || !hdlg) return;
    // During WM_INITDIALOG the new dialog's handle is not known yet.
    bool fromWaited = hdlg == wait->hdlg || (wait->creating && !rt::OnStack(hdlg));
    if (!fromWaited) return;
    rt::FinishDialog(wait->dialogTemplate, szEvent ? szEvent : "");
    rt::recording::Dialog(wait->dialogTemplate, szEvent, wait->procedure);
    wait->reported = true;
}

int FDlgShowHelp(HWND hdlg) {
    for (const rt::DialogEntry &entry : rt::g_stack) {
        if (!hdlg || entry.hwnd != hdlg || entry.helpTemplate == 0) continue;
        HMODULE module = rt::CachedLibrary(entry.helpDll.c_str());
        DLGPROC proc = module && !entry.helpProcedure.empty()
                           ? rt::FindProcedure(module, entry.helpProcedure.c_str()) : nullptr;
        if (!proc) return 0;
        INT_PTR result = DialogBoxParamA(module, MAKEINTRESOURCEA(entry.helpTemplate), hdlg, proc, 0);
        return result == -1 ? 0 : 1;
    }
    return 0;
}
