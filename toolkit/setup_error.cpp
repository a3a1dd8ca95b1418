// The binding's single failure path.
#include "setupapi.h"
#include "setuprt.h"

#include <stdlib.h>

void SetupError(int /*error*/)
{
    // A failure inside the failure dialog itself comes back here: end at once.
    static int fInsideSetupError = 0;
    if (!fInsideSetupError) {
        fInsideSetupError = 1;
        UIPopAll();
        char rgchT[16];
        for (;;) {
            UIStartDlg("mscuistf.dll", 400, "FInfo0DlgProc", 0, NULL, rgchT, 15);
            int sum = EventWordSum(rgchT);
            if (sum == EVENT_CANCEL || sum == EVENT_CONTINUE)
                break;
        }
        UIPop(1);
    }
    EndSetupToolkit();
    exit(SETUP_ERROR_EXIT_CODE);
}

void BufferOverflow(void)
{
    DoMsgBox("Buffer Overflow", "DU-Ruruz Error", MB_ICONHAND);
    SetupError(SETUP_ERROR_TOOLKIT);
}

int EventWordSum(const char *szEvent)
{
    if (!szEvent[0])
        return 0;
    return (short)((signed char)szEvent[0] + (signed char)szEvent[1]);
}
