// The restart list and the modes of the toolkit's message boxes.
#include "setupapi.h"
#include "setuprt.h"

void SetRestartDir(const char *szDir)
{
    if (!FSetRestartDir(szDir))
        SetupError(SETUP_ERROR_TOOLKIT);
}

int RestartListEmpty(void)
{
    return FRestartListEmpty();
}

int ExitExecRestart(void)
{
    return FExitExecRestart();
}

int SetBeepingMode(int mode)
{
    return FSetBeepingMode(mode);
}

int SetSilentMode(int mode)
{
    return FSetSilent(mode);
}
