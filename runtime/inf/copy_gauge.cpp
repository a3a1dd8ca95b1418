// copy_gauge.cpp - the runtime's own copy gauge, a small window over the frame.
#include "inf/copy_gauge.h"

#include <commctrl.h>

#include "session/dialog_stack.h"
#include "session/frame.h"
#include "setuprt.h"
#include "later_windows.h"

namespace rt {
namespace {

constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
constexpr int kClientWidth = 360, kClientHeight = 104;

struct Placement {
    bool chosen = false;  // by ProSetPos; else centred low on the frame
    int x = 0, y = 0;
};

Placement g_placement;
HWND g_shownGauge = nullptr;  // so ProSetPos can move a gauge on the screen

bool RegisterGaugeClass(HINSTANCE hinst, WNDPROC proc) {
    WNDCLASSA existing;
    if (GetClassInfoA(hinst, COPY_GAUGE_CLASS, &existing)) return true;
    WNDCLASSA gaugeClass = {};
    gaugeClass.lpfnWndProc = proc;
    gaugeClass.hInstance = hinst;
    gaugeClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    gaugeClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    gaugeClass.lpszClassName = COPY_GAUGE_CLASS;
    return RegisterClassA(&gaugeClass) != 0;
}

// Below the middle of the frame, where the billboards leave room.
POINT PlaceOnFrame(int width, int height) {
    if (g_placement.chosen) return POINT{g_placement.x, g_placement.y};
    RECT area;
    if (!Frame() || !GetWindowRect(Frame(), &area)) SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    return POINT{area.left + (area.right - area.left - width) / 2,
                 area.top + (area.bottom - area.top) * 3 / 4 - height / 2};
}

void AddControl(HWND parent, HINSTANCE hinst, const char *windowClass, const char *text, DWORD style, int id,
                RECT place) {
    HWND control = CreateWindowExA(0, windowClass, text, WS_CHILD | WS_VISIBLE | style, place.left, place.top,
                                   place.right, place.bottom, parent,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), hinst, nullptr);
    if (control) SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), 0);
}

void AddControls(HWND gauge, HINSTANCE hinst) {
    AddControl(gauge, hinst, "STATIC", "", SS_LEFTNOWORDWRAP | SS_PATHELLIPSIS, COPY_GAUGE_FILE,
               RECT{12, 12, kClientWidth - 24, 18});
    AddControl(gauge, hinst, PROGRESS_CLASSA, "", 0, COPY_GAUGE_BAR, RECT{12, 38, kClientWidth - 24, 18});
    AddControl(gauge, hinst, "BUTTON", "Cancel", WS_TABSTOP | BS_DEFPUSHBUTTON, IDCANCEL,
               RECT{(kClientWidth - 80) / 2, 68, 80, 24});
    SendDlgItemMessageA(gauge, COPY_GAUGE_BAR, PBM_SETRANGE32, 0, 100);
}

}  // namespace

CopyGauge::CopyGauge(HINSTANCE hinst) {
    LoadCommonControls(ICC_PROGRESS_CLASS);
    if (!RegisterGaugeClass(hinst, Proc)) return;
    RECT outline = {0, 0, kClientWidth, kClientHeight};
    AdjustWindowRectEx(&outline, kStyle, FALSE, kExStyle);
    int width = outline.right - outline.left, height = outline.bottom - outline.top;
    POINT at = PlaceOnFrame(width, height);
    window_ = CreateWindowExA(kExStyle, COPY_GAUGE_CLASS, "Copying Files", kStyle, at.x, at.y, width, height,
                              Frame(), nullptr, hinst, this);
    if (!window_) return;
    AddControls(window_, hinst);
    g_shownGauge = window_;
    ShowWindow(window_, SW_SHOWNORMAL);
    SetFocus(GetDlgItem(window_, IDCANCEL));
    UpdateWindow(window_);
}

CopyGauge::~CopyGauge() {
    if (!window_) return;
    g_shownGauge = nullptr;
    DestroyWindow(window_);
    ActivateTopDialog();
}

void CopyGauge::Show(const std::string &file, int percent) {
    if (!window_) return;
    SetDlgItemTextA(window_, COPY_GAUGE_FILE, file.c_str());
    SendDlgItemMessageA(window_, COPY_GAUGE_BAR, PBM_SETPOS, percent, 0);
    UpdateWindow(window_);
}

bool CopyGauge::ServeMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) return false;
        if (window_ && IsDialogMessageA(window_, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return true;
}

bool CopyGauge::TakeCancel() {
    bool cancelled = cancelled_;
    cancelled_ = false;
    return cancelled;
}

LRESULT CALLBACK CopyGauge::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto *create = reinterpret_cast<CREATESTRUCTA *>(lParam);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto *gauge = reinterpret_cast<CopyGauge *>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    bool cancel = (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) || message == WM_CLOSE;
    if (cancel && gauge) {
        gauge->cancelled_ = true;
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

}  // namespace rt

void ProSetPos(int x, int y) {
    rt::g_placement = rt::Placement{true, x, y};
    if (rt::g_shownGauge)
        SetWindowPos(rt::g_shownGauge, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
