// Dialogs of the dialog library, with the message pump between them.
#include "setupapi.h"
#include "setuprt.h"

void OurYield(void)
{
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT)
            SetupError(SETUP_ERROR_QUIT);
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

char *UIStartDlgExt(const char *szDll, unsigned Dlg, const char *szDlgProc, const char *szHelpDll,
                    unsigned HelpDlg, const char *szHelpProc, char *szBfr, unsigned cbBfrMax)
{
    if (!FDoDialogExt(HwndFrame(), szDll, Dlg, szDlgProc, szHelpDll, HelpDlg, szHelpProc))
        SetupError(SETUP_ERROR_TOOLKIT);
    OurYield();
    return GetSymbolValue("DLGEVENT", szBfr, cbBfrMax);
}

char *UIStartDlg(const char *szDll, unsigned Dlg, const char *szDlgProc, unsigned HelpDlg,
                 const char *szHelpProc, char *szBfr, unsigned cbBfrMax)
{
    return UIStartDlgExt(szDll, Dlg, szDlgProc, szDll, HelpDlg, szHelpProc, szBfr, cbBfrMax);
}

void UIPop(int n)
{
    if (!FKillNDialogs(n))
        SetupError(SETUP_ERROR_TOOLKIT);
    OurYield();
}

void UIPopAll(void)
{
    UIPop(-1);
}
