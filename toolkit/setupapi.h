// setupapi.h - the wrapper layer in front of every toolkit call.
//
// A wrapper checks the result that marks failure and hands it to
// SetupError, which shows the failure dialog and ends the run; callers
// never look at a toolkit result themselves.
#pragma once

#include <windows.h>

enum {
    SETUP_ERROR_TOOLKIT = 1024,  // a failed toolkit call or a bad argument
    SETUP_ERROR_QUIT = 1025      // a quit request met while pumping messages
};

// Dialog events are told apart by the sum of the first two character codes
// of the event word, each taken as a signed byte.
enum { EVENT_BACK = 131, EVENT_CANCEL = 132, EVENT_CONTINUE = 146, EVENT_EXIT = 157 };
int EventWordSum(const char *szEvent);

// Exit code of a run ended by SetupError: a failure never reports success.
enum { SETUP_ERROR_EXIT_CODE = 2 };

// The directory current when the toolkit started, with a trailing backslash.
extern char szCurDir[MAX_PATH + 2];

[[noreturn]] void SetupError(int error);
// The "Buffer Overflow" box, then SetupError: for every result too long for its buffer.
[[noreturn]] void BufferOverflow(void);

int InitSetupToolkit(const char *szCmdLine);
int InitSetupToolkitEx(const char *szCmdLine, int fUse3D);
int InitFrame(const char *szCmdLine);
int InitInstall(void);
int InitInstallEx(int fUse3D);
void EndSetupToolkit(void);
// The exit code of a run that ends with code: a finished run whose
// transcript lost a line reports the failure instead of success.
int SetupExitCode(int code);
void OurYield(void);
// 1 when the frame was asked (/u LOG) to take back the installation that
// LOG records, with its full path in log.
int UninstallAsked(char *log, unsigned cb);

// Dialogs: the event word comes back in szBfr (cbBfrMax is its size).
char *UIStartDlg(const char *szDll, unsigned Dlg, const char *szDlgProc, unsigned HelpDlg,
                 const char *szHelpProc, char *szBfr, unsigned cbBfrMax);
char *UIStartDlgExt(const char *szDll, unsigned Dlg, const char *szDlgProc, const char *szHelpDll,
                    unsigned HelpDlg, const char *szHelpProc, char *szBfr, unsigned cbBfrMax);
void UIPop(int n);
void UIPopAll(void);

// Frame.
void SetBitmap(const char *szDll, unsigned short Bitmap);
void SetAbout(const char *szAbout1, const char *szAbout2);
void SetTitle(const char *sz);
HCURSOR ShowWaitCursor(void);
void RestoreCursor(HCURSOR hPrev);

// Symbols and lists.
char *GetSymbolValue(const char *szSymbol, char *szBfr, unsigned cbBfrMax);
void SetSymbolValue(const char *szSymbol, const char *szValue);
void RemoveSymbol(const char *szSym);
unsigned short GetListLength(const char *szSymbol);
char *GetListItem(const char *szListSymbol, unsigned nItem, char *szBfr, unsigned cbBfrMax);
void AddListItem(const char *szSymbol, const char *szItem);
void ReplaceListItem(const char *szSymbol, unsigned n, const char *szItem);

// Program Manager groups and items. szOther holds the item's further fields
// ("icon file,icon index,x,y,working dir"), joined to szItem after a comma.
void CreateProgmanGroup(const char *szGroup, const char *szPath, int cmo);
void CreateProgmanGroupEx(const char *szGroup, int fCommon, int cmo);
void ShowProgmanGroup(const char *szGroup, int Cmd, int cmo);
void ShowProgmanGroupEx(const char *szGroup, int fCommon, int Cmd, int cmo);
void CreateProgmanItem(const char *szGroup, const char *szItem, const char *szCmd, const char *szOther, int cmo);
void CreateProgmanItemEx(const char *szGroup, int fCommon, const char *szItem, const char *szCmd,
                         const char *szOther, int cmo);

// Windows version from GetVersion.
int GetWindowsMajorVersion(void);
int GetWindowsMinorVersion(void);

// Kept for callers of the old help registration; there is nothing to register.
void AddDos5Help(const char *szProgName, const char *szProgHelp, int cmo);

// The setup-information file, the copy list and billboards; log, INI,
// directories, files and the restart list.
#include "setupapi_inf.h"
#include "setupapi_files.h"
