// progress.cpp - the copy-progress window and the diskette prompt.
//
// The window is modeless: it lives through the queue, which the copy serves
// between files and between the pieces of a large file, and only when
// something waits there (asked at most every 20 ms). Texts and bar change only when what they show
// does: a run of small files costs the window next to nothing.
#include "dialogs/dialogs.h"
#include "install/progress.h"
#include "setupapi.h"
#include "setuprt.h"
#include "base/text.h"

#include <limits.h>
#include <stdio.h>
#include <string.h>

enum {
    ID_GAUGE = 1016,
    ID_FILE_TEXT = 541,
    ID_DIR_TEXT = 542,
    ID_PERCENT_TEXT = 543
};

// The window changes at most this often while files go by: a file name
// stays readable, and painting costs no more for fast files than for slow.
enum { UPDATE_INTERVAL_MS = 100 };
// Between updates the queue is asked at most this often: under Wine each
// question is a round trip to the server, which costs more than copying a
// small file, and the user cannot tell 20 ms apart.
enum { QUEUE_INTERVAL_MS = 20 };

// What the window shows, and what it is still to show. Cleared when a
// window is made.
static struct {
    char file[600];
    char dir[600];
    char percent[32];
    LONG bar;               // filled width of the gauge in pixels
    DWORD shown_at;         // tick count of the last update
    DWORD asked_at;         // tick count of the last look at the queue
    int shown_once;
    char pending_file[600];  // the file being copied, when not shown yet
    char pending_dir[600];
    int texts_pending;
    int share_pending;       // percent_done changed since the last update
} shown;

// Serves what is queued and returns without waiting. Another window that
// needs painting means the toolkit's dialog on top is done with: popping it
// also serves the paint, and the progress window comes back in front.
static void PumpProgressMessages(struct _setup_info *si)
{
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
        if (IsDialogMessageA(si->hProgBarDlg, &msg))
            continue;
        if (msg.message == WM_PAINT) {
            UIPop(1);
            ShowWindow(si->hProgBarDlg, SW_SHOWNORMAL);
            SetForegroundWindow(si->hProgBarDlg);
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// Asking the queue is much cheaper than emptying it.
static void ServeWaitingMessages(struct _setup_info *si)
{
    shown.asked_at = GetTickCount();
    if (HIWORD(GetQueueStatus(QS_ALLINPUT)) != 0)
        PumpProgressMessages(si);
}

static void ServeMessagesWhenDue(struct _setup_info *si)
{
    if (GetTickCount() - shown.asked_at >= QUEUE_INTERVAL_MS)
        ServeWaitingMessages(si);
}

// Truncated toward zero; a share far beyond 100 must not overflow an int.
static int WholePercent(double percent)
{
    if (percent >= static_cast<double>(INT_MAX))
        return INT_MAX;
    if (percent <= static_cast<double>(INT_MIN))
        return INT_MIN;
    return static_cast<int>(percent);
}

static void FillBar(HWND gauge, HDC dc)
{
    RECT bar;
    GetClientRect(gauge, &bar);
    bar.right = bar.left + shown.bar;
    HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
    FillRect(dc, &bar, blue);
    DeleteObject(blue);
}

// The bar grows over the gauge's grey background; the rest is left alone.
// Cut down to a whole pixel; beyond the gauge is clipped.
static void PaintGauge(struct _setup_info *si)
{
    HWND gauge = GetDlgItem(si->hProgBarDlg, ID_GAUGE);
    RECT client;
    GetClientRect(gauge, &client);
    double width = static_cast<double>(client.right - client.left);
    double filled = si->percent_done / 100.0 * width;
    if (filled > width)
        filled = width;
    if (filled < 0.0)
        filled = 0.0;
    if (static_cast<LONG>(filled) == shown.bar)
        return;
    shown.bar = static_cast<LONG>(filled);
    HDC dc = GetDC(gauge);
    FillBar(gauge, dc);
    ReleaseDC(gauge, dc);
}

// The gauge paints its bar itself too, so that it is there from the
// moment the window appears and after the window was covered.
static LRESULT CALLBACK GaugeProc(HWND gauge, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_PAINT)
        return DefWindowProcA(gauge, message, wParam, lParam);
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(gauge, &paint);
    FillBar(gauge, dc);
    EndPaint(gauge, &paint);
    return 0;
}

// Setting a text repaints its control at once; a text the control already
// shows is left as it is.
static void ShowText(HWND dlg, int id, char *shown_text, size_t cb, const char *text)
{
    if (strcmp(shown_text, text) == 0)
        return;
    // A text too long to remember is set every time.
    if (!CopyText(shown_text, cb, text))
        shown_text[0] = '\0';
    SetDlgItemTextA(dlg, id, text);
}

// More than 100 % can be counted when the files outgrow the script's
// figures; the window never says so.
static void ShowShare(struct _setup_info *si)
{
    char percent_text[32];
    int percent = WholePercent(si->percent_done);
    snprintf(percent_text, sizeof percent_text, "%d %% done", percent > 100 ? 100 : percent);
    ShowText(si->hProgBarDlg, ID_PERCENT_TEXT, shown.percent, sizeof shown.percent, percent_text);
    PaintGauge(si);
}

int ShowStatus(struct _setup_info *si, const char *src, const char *dst_dir)
{
    // Shown again in case it was hidden, without taking the focus. Showing
    // a window that is shown already costs a repositioning per file.
    if (!IsWindowVisible(si->hProgBarDlg))
        ShowWindow(si->hProgBarDlg, SW_SHOWNA);
    ServeWaitingMessages(si);
    ShowText(si->hProgBarDlg, ID_FILE_TEXT, shown.file, sizeof shown.file, src);
    ShowText(si->hProgBarDlg, ID_DIR_TEXT, shown.dir, sizeof shown.dir, dst_dir);
    ShowShare(si);
    shown.shown_at = GetTickCount();
    shown.shown_once = 1;
    shown.texts_pending = shown.share_pending = 0;
    ServeWaitingMessages(si);
    return 1;
}

static int UpdateDue(void)
{
    return !shown.shown_once || GetTickCount() - shown.shown_at >= UPDATE_INTERVAL_MS;
}

static void ShowPending(struct _setup_info *si)
{
    if (shown.texts_pending)
        ShowStatus(si, shown.pending_file, shown.pending_dir);
    else
        ShowStatus(si, shown.file, shown.dir);
}

void ShowCopyStarting(struct _setup_info *si, const char *src, const char *dst_dir)
{
    if (UpdateDue()) {
        ShowStatus(si, src, dst_dir);
        return;
    }
    shown.texts_pending = CopyText(shown.pending_file, sizeof shown.pending_file, src) &&
                          CopyText(shown.pending_dir, sizeof shown.pending_dir, dst_dir);
    ServeMessagesWhenDue(si);
}

void ShowCopyProgress(struct _setup_info *si)
{
    shown.share_pending = 1;
    if (UpdateDue())
        ShowPending(si);
    else
        ServeMessagesWhenDue(si);
}

void ShowFinalStatus(struct _setup_info *si)
{
    if (shown.texts_pending || shown.share_pending)
        ShowPending(si);
}

// The window class of the progress window's bar.
int RegisterGaugeClass(HINSTANCE hInstance)
{
    WNDCLASSA wc = {};
    wc.style = CS_SAVEBITS | CS_OWNDC | CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = hInstance;
    wc.hbrBackground = (HBRUSH)GetStockObject(LTGRAY_BRUSH);
    wc.lpszClassName = "PercentClass";
    return RegisterClassA(&wc) != 0;
}

// Over the middle of the frame, where the steps of the installation were.
static void CentreOverOwner(HWND hdlg)
{
    RECT area, box;
    HWND owner = GetWindow(hdlg, GW_OWNER);
    if (!owner || !GetWindowRect(owner, &area) || !GetWindowRect(hdlg, &box))
        return;
    int left = area.left + (area.right - area.left - (box.right - box.left)) / 2;
    int top = area.top + (area.bottom - area.top - (box.bottom - box.top)) / 2;
    SetWindowPos(hdlg, NULL, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TitleProgress(HWND window, const struct _setup_info *si, const char *doing)
{
    char title[sizeof si->product_name + 64];
    FormatText(title, sizeof title, "%s Setup - %s", *si->product_name ? si->product_name : "Quorvane/32", doing);
    SetWindowTextA(window, title);
}

INT_PTR CALLBACK ProgBarDlgProc(HWND hdlg, UINT wMsg, WPARAM wParam, LPARAM lParam)
{
    // The record that Install handed to the window, for the quit question.
    static struct _setup_info *saved_si;
    switch (LOWORD(wMsg)) {
    case WM_INITDIALOG: {
        saved_si = reinterpret_cast<struct _setup_info *>(lParam);
        memset(&shown, 0, sizeof shown);
        TitleProgress(hdlg, saved_si, "Copying Files");
        // The gauge's class leaves everything to DefWindowProcA.
        SetWindowLongPtrA(GetDlgItem(hdlg, ID_GAUGE), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(GaugeProc));
        CentreOverOwner(hdlg);
        // The share is there from the start, before the first file is in.
        ShowText(hdlg, ID_PERCENT_TEXT, shown.percent, sizeof shown.percent, "0 % done");
        return 1;
    }
    case WM_COMMAND:
        // The Cancel button, or Esc through the dialog manager. AskQuit
        // returns only when the user goes on.
        if (LOWORD(wParam) == IDCANCEL) {
            ShowWindow(hdlg, SW_HIDE);
            AskQuit(saved_si);
            ShowWindow(hdlg, SW_SHOWNORMAL);
            SetForegroundWindow(hdlg);
        }
        return 0;
    default:
        return 0;
    }
}

// Returns once the diskette that holds the marker file of disk_no is in the
// drive. The prompt comes at least once: only the marker proves the disk,
// and the user may have to swap even when it is there already.
int ChangeDisketteMsg(int disk_no, struct _setup_info *si)
{
    FormatText(si->output_buf, sizeof si->output_buf, "Please Insert DISK Labeled %d \n into Drive %s",
               disk_no, si->src_drive);
    for (;;) {
        if (DoMsgBox(si->output_buf, "Change Disk", MB_OKCANCEL) == IDCANCEL) {
            AskQuit(si);
            continue;
        }
        FormatText(si->temp_src_path, sizeof si->temp_src_path, "%s\\DISKID%d", si->src_drive, disk_no);
        si->tmp_file_ptr = fopen(si->temp_src_path, "r");
        if (si->tmp_file_ptr != NULL) {
            fclose(si->tmp_file_ptr);
            si->tmp_file_ptr = NULL;
            return 1;
        }
    }
}
