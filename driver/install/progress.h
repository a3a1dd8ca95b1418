// progress.h - the copy-progress window, which the uninstallation shows
// too, and the diskette prompt.
#pragma once

#include "base/setup_info.h"

int ShowStatus(struct _setup_info *si, const char *src, const char *dst_dir);
// A file's copy starts: its name and destination are shown, unless the
// window changed only just now (then with the next update).
void ShowCopyStarting(struct _setup_info *si, const char *src, const char *dst_dir);
// The share done changed (percent_done): percentage and bar follow, at the
// pace of the window's updates; waiting messages are served within 20 ms.
void ShowCopyProgress(struct _setup_info *si);
// The copy is over: the last file and the final share are shown.
void ShowFinalStatus(struct _setup_info *si);
// The window's caption: the product (its own name, or the installer's)
// and what the window does, such as "Removing Files".
void TitleProgress(HWND window, const struct _setup_info *si, const char *doing);
INT_PTR CALLBACK ProgBarDlgProc(HWND hdlg, UINT wMsg, WPARAM wParam, LPARAM lParam);
// The window class of the progress window's bar.
int RegisterGaugeClass(HINSTANCE hInstance);
int ChangeDisketteMsg(int disk_no, struct _setup_info *si);
