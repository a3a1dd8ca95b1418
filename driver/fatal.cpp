// The driver's common ending for unrecoverable errors.
#include "setup.h"
#include "setupapi.h"
#include "setuprt.h"

#include <objbase.h>
#include <stdlib.h>

void FatalStop(struct _setup_info *si, const char *text, const char *title)
{
    DoMsgBox(text, title, 0);
    EndSetupToolkit();
    if (si->platform == PLATFORM_WIN95)
        CoUninitialize();
    exit(1);
}
