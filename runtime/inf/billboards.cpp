// billboards.cpp - the billboard list and its show during a copy.
#include "inf/billboards.h"

#include <string>
#include <vector>

#include "session/frame.h"
#include "base/modules.h"
#include "setuprt.h"
#include "transcript/transcript.h"

namespace rt {
namespace {

struct Billboard {
    std::string dll;  // "" for a blank pause
    unsigned dialogTemplate = 0;
    std::string procedure;
    long ticks = 0;
};

std::vector<Billboard> g_billboards;

DLGPROC FindProcedure(HMODULE module, const std::string &procedure) {
    return reinterpret_cast<DLGPROC>(
        reinterpret_cast<void (*)()>(GetProcAddress(module, procedure.c_str())));
}

bool HasDialog(HMODULE module, unsigned dialogTemplate) {
    return FindResourceA(module, MAKEINTRESOURCEA(dialogTemplate), reinterpret_cast<LPCSTR>(RT_DIALOG)) != nullptr;
}

// The entry whose turn it is at this tick of the copy.
size_t EntryAt(int percent) {
    long long cycle = 0;
    for (const Billboard &billboard : g_billboards) cycle += billboard.ticks;
    long long tick = percent % cycle;
    size_t entry = 0;
    for (; tick >= g_billboards[entry].ticks; ++entry) tick -= g_billboards[entry].ticks;
    return entry;
}

void CentreOnFrame(HWND window) {
    RECT area, box;
    if (!Frame() || !GetWindowRect(Frame(), &area)) SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    GetWindowRect(window, &box);
    int left = area.left + (area.right - area.left - (box.right - box.left)) / 2;
    int top = area.top + (area.bottom - area.top - (box.bottom - box.top)) / 2;
    SetWindowPos(window, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Only to look at: disabled, so neither clicks nor keys reach its procedure,
// and the window that was active stays so.
HWND PutUp(const Billboard &billboard) {
    HMODULE module = CachedLibrary(billboard.dll.c_str());
    DLGPROC proc = module ? FindProcedure(module, billboard.procedure) : nullptr;
    if (!proc) return nullptr;
    HWND active = GetActiveWindow();
    HWND window = CreateDialogParamA(module, MAKEINTRESOURCEA(billboard.dialogTemplate), Frame(), proc, 0);
    if (!window) return nullptr;
    EnableWindow(window, FALSE);
    CentreOnFrame(window);
    ShowWindow(window, SW_SHOWNOACTIVATE);
    UpdateWindow(window);
    if (active) SetActiveWindow(active);
    return window;
}

}  // namespace

void BillboardShow::Update(int percent) {
    if (g_billboards.empty()) return;
    size_t entry = EntryAt(percent);
    if (entry == shown_) return;
    TakeDown();
    shown_ = entry;
    const Billboard &billboard = g_billboards[entry];
    if (billboard.dll.empty()) {
        transcript::Billboard("", 0);
        return;
    }
    window_ = PutUp(billboard);
    if (window_) transcript::Billboard(billboard.dll.c_str(), billboard.dialogTemplate);
}

void BillboardShow::TakeDown() {
    if (window_ && IsWindow(window_)) DestroyWindow(window_);
    window_ = nullptr;
}

}  // namespace rt

int FAddToBillboardList(const char *szDll, unsigned idDlg, const char *szProc, long lTicks) {
    if (lTicks < 1) return 0;
    rt::Billboard billboard;
    billboard.ticks = lTicks;
    if (szDll && *szDll) {
        HMODULE module = rt::CachedLibrary(szDll);
        if (!module || !szProc || !rt::FindProcedure(module, szProc) || !rt::HasDialog(module, idDlg)) return 0;
        billboard.dll = szDll;
        billboard.dialogTemplate = idDlg;
        billboard.procedure = szProc;
    }
    rt::g_billboards.push_back(billboard);
    return 1;
}

int FClearBillboardList(void) {
    rt::g_billboards.clear();
    return 1;
}
