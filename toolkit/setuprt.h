// setuprt.h - the functions of the toolkit runtime, setuprt.dll.
//
// Every function takes and returns plain values; strings go in caller-owned
// buffers, so nothing allocated in one module is freed in another. Functions
// whose names begin with F return nonzero for success.
#pragma once

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

// Frame window and start-up.
int       InitializeFrame(const char *szCmdLine);  // >0 started, 0 failed, -1 stop quietly
HWND      HwndFrame(void);
HINSTANCE HinstFrame(void);
int       FSetBitmap(const char *szDll, unsigned short Bitmap);
int       FSetAbout(const char *szAbout1, const char *szAbout2);
// The frame's banner from the bytes of a BMP file; 0 when Windows cannot
// show them.
int       FSetBitmapBits(const void *pvFile, unsigned cbFile);
// The product's name on the frame and in every dialog in place of the
// installer's own; "" gives the installer's own back. The frame paints the
// name until a banner of the product's is set.
int       FSetProductName(const char *szName);
// The name set, "" when none; full length as CbGetSymbolValue.
unsigned  CbGetProductName(char *szBfr, unsigned cbBfrMax);
HCURSOR   HShowWaitCursor(void);
int       FRestoreCursor(HCURSOR hcurPrev);
void      TerminateFrame(void);
// 1 when every line of the transcript (/t) reached its file, or there is none.
int       FTranscriptComplete(void);
// The installation log named by /u, copied when it fits cbBfrMax with its
// terminator; returns its length, 0 when the run is an installation.
unsigned  CbGetUninstallLog(char *szBfr, unsigned cbBfrMax);
// 1 when the transcript (/t) or the recording (/r) lies in szDir or below it.
int       FRecordFileLiesIn(const char *szDir);

// Dialog stack. FDoDialogExt shows template Dlg of szDll (or re-shows the
// dialog already on top) and returns once its procedure reported an event;
// the event word is then in the symbol "DLGEVENT".
int FDoDialogExt(HWND hwndParent, const char *szDll, unsigned Dlg, const char *szDlgProc,
                 const char *szHelpDll, unsigned HelpDlg, const char *szHelpProc);
int FKillNDialogs(int n);  // -1 removes all

// Called by the dialog procedures of the dialog library.
void DlgReportEvent(HWND hdlg, const char *szEvent);  // ends the wait of FDoDialogExt
int  FDlgShowHelp(HWND hdlg);                          // the help dialog, modal over hdlg
// Sent to a dialog procedure when its dialog is started again while on top:
// read the symbols again. wParam and lParam are 0.
#define STF_REINITDIALOG (WM_USER + 0x300)

// Symbols: strings or lists of strings.
int            FSetSymbolValue(const char *szSymbol, const char *szValue);
int            FAddListItem(const char *szSymbol, const char *szItem);
int            FReplaceListItem(const char *szSymbol, unsigned n, const char *szItem);
int            FRemoveSymbol(const char *szSymbol);
unsigned       CbGetSymbolValue(const char *szSymbol, char *szBfr, unsigned cbBfrMax);
unsigned short UsGetListLength(const char *szSymbol);
unsigned       CbGetListItem(const char *szListSymbol, unsigned n, char *szBfr, unsigned cbBfrMax);

// Message box over the frame; returns the button (IDOK, IDCANCEL, ...).
int DoMsgBox(const char *szText, const char *szCaption, unsigned style);

#ifdef __cplusplus
}
#endif

// The install engine, the detection functions, the setup-information file
// with the copy list, and the file and INI operations.
#include "setuprt_install.h"
#include "setuprt_detect.h"
#include "setuprt_inf.h"
#include "setuprt_files.h"
