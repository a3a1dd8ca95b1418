// progress.cpp - the copy-progress window and the diskette prompt.
//
// The window is modeless: it lives only through the message loop that
// ShowStatus runs after each file, so its Cancel button is served between
// two files.
#include "setup.h"
#include "setupapi.h"
#include "setuprt.h"
#include "text.h"

#include <limits.h>
#include <stdio.h>
#include <string.h>

enum {
    ID_GAUGE = 1016,
    ID_FILE_TEXT = 541,
    ID_DIR_TEXT = 542,
    ID_PERCENT_TEXT = 543
};

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

// Truncated toward zero; a share far beyond 100 must not overflow an int.
static int WholePercent(double percent)
{
    if (percent >= static_cast<double>(INT_MAX))
        return INT_MAX;
    if (percent <= static_cast<double>(INT_MIN))
        return INT_MIN;
    return static_cast<int>(percent);
}

// The bar grows over the gauge's grey background; the rest is left alone.
static void PaintGauge(struct _setup_info *si)
{
    HWND gauge = GetDlgItem(si->hProgBarDlg, ID_GAUGE);
    HDC dc = GetDC(gauge);
    RECT bar;
    GetClientRect(gauge, &bar);
    double width = static_cast<double>(bar.right - bar.left);
    double filled = si->percent_done / 100.0 * width;
    // Cut down to a whole pixel; beyond the gauge is clipped anyway.
    if (filled > width)
        filled = width;
    if (filled < 0.0)
        filled = 0.0;
    bar.right = bar.left + static_cast<LONG>(filled);
    HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
    FillRect(dc, &bar, blue);
    DeleteObject(blue);
    ReleaseDC(gauge, dc);
}

// Setting a text repaints its control at once; a text the control already
// shows (the percentage, for most files) is left as it is.
static void ShowText(HWND dlg, int id, const char *text)
{
    char shown[520];
    UINT length = GetDlgItemTextA(dlg, id, shown, sizeof shown);
    if (length < sizeof shown - 1 && strcmp(shown, text) == 0)
        return;
    SetDlgItemTextA(dlg, id, text);
}

int ShowStatus(struct _setup_info *si, const char *src, const char *dst_dir)
{
    // Shown again in case it was hidden, without taking the focus. Showing
    // a window that is shown already costs a repositioning per file.
    if (!IsWindowVisible(si->hProgBarDlg))
        ShowWindow(si->hProgBarDlg, SW_SHOWNA);
    PumpProgressMessages(si);
    ShowText(si->hProgBarDlg, ID_FILE_TEXT, src);
    ShowText(si->hProgBarDlg, ID_DIR_TEXT, dst_dir);
    char percent_text[32];
    snprintf(percent_text, sizeof percent_text, "%d %% done", WholePercent(si->percent_done));
    ShowText(si->hProgBarDlg, ID_PERCENT_TEXT, percent_text);
    PaintGauge(si);
    PumpProgressMessages(si);
    return 1;
}

INT_PTR CALLBACK ProgBarDlgProc(HWND hdlg, UINT wMsg, WPARAM wParam, LPARAM lParam)
{
    // The record that Install handed to the window, for the quit question.
    static struct _setup_info *saved_si;
    switch (LOWORD(wMsg)) {
    case WM_INITDIALOG:
        saved_si = reinterpret_cast<struct _setup_info *>(lParam);
        return 1;
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
