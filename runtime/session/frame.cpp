// frame.cpp - the frame window: gradient, bitmap, About entry, wait cursor.
#include "session/frame.h"

#include <cstring>
#include <string>

#include "base/handles.h"
#include "base/modules.h"
#include "session/product.h"
#include "setuprt.h"

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace rt {
namespace {

constexpr char kFrameClass[] = "QuorvaneSetupFrame";
// System-menu commands must keep the low four bits clear.
constexpr UINT kAboutCommand = 0x0110;
constexpr int kBitmapMargin = 24;
constexpr int kGradientBands = 64;
// The product's name, painted where a banner would stand.
constexpr int kNameHeight = 48;

struct FrameState {
    HWND hwnd = nullptr;
    GdiObject<HBITMAP> bitmap;
    std::string about1, about2;
    bool aboutInMenu = false;
    HCURSOR busyCursor = nullptr;  // shown over the frame while set
};

FrameState g_frame;

// From bright blue at the top to dark blue at the bottom, in bands.
void PaintGradient(HDC dc, const RECT &client) {
    for (int band = 0; band < kGradientBands; ++band) {
        RECT part = client;
        part.top = client.bottom * band / kGradientBands;
        part.bottom = client.bottom * (band + 1) / kGradientBands;
        HBRUSH brush = CreateSolidBrush(RGB(0, 0, 255 - band * 200 / (kGradientBands - 1)));
        FillRect(dc, &part, brush);
        DeleteObject(brush);
    }
}

void PaintBitmap(HDC dc) {
    BITMAP info;
    if (!g_frame.bitmap.Get() || !GetObjectA(g_frame.bitmap.Get(), sizeof info, &info)) return;
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(memory, g_frame.bitmap.Get());
    BitBlt(dc, kBitmapMargin, kBitmapMargin, info.bmWidth, info.bmHeight, memory, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
}

// Without a banner of its own, the product is named in large white letters.
void PaintProductName(HDC dc, const RECT &client) {
    if (g_frame.bitmap.Get() || ProductName().empty()) return;
    HFONT font = CreateFontA(kNameHeight, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, VARIABLE_PITCH | FF_SWISS, "Arial");
    HGDIOBJ old = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(255, 255, 255));
    RECT line = {kBitmapMargin, kBitmapMargin, client.right - kBitmapMargin, kBitmapMargin + kNameHeight};
    DrawTextA(dc, ProductName().c_str(), -1, &line, DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    SelectObject(dc, old);
    DeleteObject(font);
}

// The rows of the BMP file's pixels that CreateDIBitmap reads, or 0 when the
// file is too short for its own header.
size_t PixelBytes(const BITMAPINFOHEADER &header) {
    if (header.biCompression == BI_RLE8 || header.biCompression == BI_RLE4) return header.biSizeImage;
    if (header.biCompression != BI_RGB || header.biWidth <= 0 || header.biHeight == 0) return 0;
    const unsigned long long row = (static_cast<unsigned long long>(header.biWidth) * header.biBitCount + 31) / 32 * 4;
    const unsigned long long rows = header.biHeight < 0 ? -static_cast<long long>(header.biHeight) : header.biHeight;
    const unsigned long long total = row * rows;
    return total > 0x7FFFFFFF ? 0 : static_cast<size_t>(total);
}

void Paint(HWND hwnd) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(hwnd, &paint);
    RECT client;
    GetClientRect(hwnd, &client);
    PaintGradient(dc, client);
    PaintBitmap(dc);
    PaintProductName(dc, client);
    EndPaint(hwnd, &paint);
}

void ShowAbout(HWND hwnd) {
    std::string text = g_frame.about1 + "\n\n" + g_frame.about2;
    MessageBoxA(hwnd, text.c_str(), "About Setup", MB_OK | MB_ICONINFORMATION);
}

// The topmost dialog over the frame that takes input: a step of the
// installation or the progress window. Top-level windows come in Z order.
BOOL CALLBACK FindWorkingDialog(HWND hwnd, LPARAM found) {
    char className[8];
    if (GetWindow(hwnd, GW_OWNER) != g_frame.hwnd || !IsWindowVisible(hwnd) || !IsWindowEnabled(hwnd) ||
        !GetClassNameA(hwnd, className, sizeof className) || lstrcmpA(className, "#32770") != 0)
        return TRUE;
    *reinterpret_cast<HWND *>(found) = hwnd;
    return FALSE;
}

// The close box asks to quit, as Escape does: the dialog the user works in
// gets Escape's cancel. While a message box waits the frame is disabled;
// with no dialog shown there is nobody to ask, and the close is ignored.
void AskToQuit() {
    HWND dialog = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindWorkingDialog, reinterpret_cast<LPARAM>(&dialog));
    if (dialog) PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
}

LRESULT CALLBACK FrameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND: return 1;  // WM_PAINT covers everything
    case WM_PAINT: Paint(hwnd); return 0;
    case WM_SETCURSOR:
        if (g_frame.busyCursor && LOWORD(lParam) == HTCLIENT) {
            SetCursor(g_frame.busyCursor);
            return TRUE;
        }
        break;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == kAboutCommand) {
            ShowAbout(hwnd);
            return 0;
        }
        break;
    case WM_CLOSE:
        AskToQuit();
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

bool RegisterFrameClass() {
    WNDCLASSA existing;
    if (GetClassInfoA(HinstFrame(), kFrameClass, &existing)) return true;
    WNDCLASSA frameClass = {};
    frameClass.style = CS_HREDRAW | CS_VREDRAW;
    frameClass.lpfnWndProc = FrameProc;
    frameClass.hInstance = HinstFrame();
    frameClass.hIcon = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
    frameClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    frameClass.lpszClassName = kFrameClass;
    return RegisterClassA(&frameClass) != 0;
}

HCURSOR WaitCursor() { return LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT)); }

}  // namespace

bool CreateFrame() {
    if (!RegisterFrameClass()) return false;
    const DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    g_frame.hwnd = CreateWindowExA(0, kFrameClass, "Setup", style, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                   CW_USEDEFAULT, nullptr, nullptr, HinstFrame(), nullptr);
    if (!g_frame.hwnd) return false;
    ShowWindow(g_frame.hwnd, SW_SHOWMAXIMIZED);
    UpdateWindow(g_frame.hwnd);
    return true;
}

void DestroyFrame() {
    if (g_frame.hwnd) DestroyWindow(g_frame.hwnd);
    g_frame.hwnd = nullptr;
    g_frame.bitmap.Reset(nullptr);
    g_frame.about1.clear();
    g_frame.about2.clear();
    g_frame.aboutInMenu = false;
    g_frame.busyCursor = nullptr;
}

HWND Frame() { return g_frame.hwnd; }

void ShowProductName() {
    // The library's banner names the installer, not the product.
    if (!ProductName().empty()) g_frame.bitmap.Reset(nullptr);
    if (g_frame.hwnd) InvalidateRect(g_frame.hwnd, nullptr, FALSE);
}

LONG BannerBottom() {
    BITMAP info;
    if (!g_frame.hwnd) return 0;
    LONG height = 0;
    if (g_frame.bitmap.Get() && GetObjectA(g_frame.bitmap.Get(), sizeof info, &info))
        height = info.bmHeight;
    else if (!ProductName().empty())
        height = kNameHeight;
    else
        return 0;
    POINT below = {0, kBitmapMargin + height};
    ClientToScreen(g_frame.hwnd, &below);
    return below.y;
}

}  // namespace rt

HWND HwndFrame(void) { return rt::Frame(); }

HINSTANCE HinstFrame(void) { return reinterpret_cast<HINSTANCE>(&__ImageBase); }

int FSetBitmap(const char *szDll, unsigned short Bitmap) {
    HMODULE module = rt::CachedLibrary(szDll);
    HBITMAP bitmap = module ? LoadBitmapA(module, MAKEINTRESOURCEA(Bitmap)) : nullptr;
    if (!bitmap) return 0;
    rt::g_frame.bitmap.Reset(bitmap);
    if (rt::g_frame.hwnd) InvalidateRect(rt::g_frame.hwnd, nullptr, FALSE);
    return 1;
}

int FSetBitmapBits(const void *pvFile, unsigned cbFile) {
    const auto *file = static_cast<const unsigned char *>(pvFile);
    BITMAPFILEHEADER head;
    BITMAPINFOHEADER info;
    if (!file || cbFile < sizeof head + sizeof info) return 0;
    memcpy(&head, file, sizeof head);
    memcpy(&info, file + sizeof head, sizeof info);
    const size_t pixels = rt::PixelBytes(info);
    const unsigned long long colours = info.biClrUsed ? info.biClrUsed : info.biBitCount <= 8 ? 1u << info.biBitCount : 0;
    if (sizeof head + info.biSize + 4 * colours > head.bfOffBits) return 0;
    if (head.bfType != 0x4D42 || info.biSize < sizeof info || info.biSize > cbFile - sizeof head ||
        head.bfOffBits < sizeof head + info.biSize || head.bfOffBits > cbFile || pixels == 0 ||
        pixels > cbFile - head.bfOffBits)
        return 0;
    // The pixels follow the header's colour table; the file says where.
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateDIBitmap(screen, &info, CBM_INIT, file + head.bfOffBits,
                                    reinterpret_cast<const BITMAPINFO *>(file + sizeof head), DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (!bitmap) return 0;
    rt::g_frame.bitmap.Reset(bitmap);
    if (rt::g_frame.hwnd) InvalidateRect(rt::g_frame.hwnd, nullptr, FALSE);
    return 1;
}

int FSetAbout(const char *szAbout1, const char *szAbout2) {
    HMENU menu = rt::g_frame.hwnd ? GetSystemMenu(rt::g_frame.hwnd, FALSE) : nullptr;
    if (!menu) return 0;
    if (!rt::g_frame.aboutInMenu) {
        if (!AppendMenuA(menu, MF_SEPARATOR, 0, nullptr) ||
            !AppendMenuA(menu, MF_STRING, rt::kAboutCommand, "About Setup..."))
            return 0;
        rt::g_frame.aboutInMenu = true;
    }
    rt::g_frame.about1 = szAbout1 ? szAbout1 : "";
    rt::g_frame.about2 = szAbout2 ? szAbout2 : "";
    return 1;
}

HCURSOR HShowWaitCursor(void) {
    rt::g_frame.busyCursor = rt::WaitCursor();
    return SetCursor(rt::g_frame.busyCursor);
}

int FRestoreCursor(HCURSOR hcurPrev) {
    // Restoring to the wait cursor belongs to a nested HShowWaitCursor pair.
    rt::g_frame.busyCursor = hcurPrev == rt::WaitCursor() ? hcurPrev : nullptr;
    SetCursor(hcurPrev ? hcurPrev : LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)));
    return 1;
}
