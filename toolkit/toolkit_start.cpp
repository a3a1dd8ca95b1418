// Starting and ending the toolkit runtime.
#include "setupapi.h"
#include "setuprt.h"
#include "msregdb.h"
#include "string_helpers.h"

#include <direct.h>
#include <string.h>

// The frame's start-up result once the toolkit is running; never reset, so
// a second start attempt is refused.
static int hSetup = 0;

char szCurDir[MAX_PATH + 2];

int InitSetupToolkit(const char *szCmdLine)
{
    return InitSetupToolkitEx(szCmdLine, 0);
}

int InitFrame(const char *szCmdLine)
{
    if (hSetup > 0)
        return 0;
    return InitializeFrame(szCmdLine);
}

int InitInstallEx(int /*fUse3D*/)
{
    if (hSetup > 0)
        return 0;
    return FInitializeInstall(HinstFrame(), HwndFrame()) ? 1 : 0;
}

int InitInstall(void)
{
    return InitInstallEx(0);
}

static void ReadStartDirectory(void)
{
    // A missing diskette must not raise the system's critical-error box.
    UINT previous = SetErrorMode(SEM_FAILCRITICALERRORS);
    if (!_getcwd(szCurDir, MAX_PATH))
        szCurDir[0] = '\0';
    SetErrorMode(previous);
    OemToCharA(szCurDir, szCurDir);

    if (!FEndsInBackslash(szCurDir)) {
        size_t len = strlen(szCurDir);
        szCurDir[len] = '\\';
        szCurDir[len + 1] = '\0';
    }
}

int InitSetupToolkitEx(const char *szCmdLine, int fUse3D)
{
    if (hSetup > 0)
        return 0;
    int i = InitFrame(szCmdLine);
    if (i == -1)
        return -1;
    if (i == 0 || InitInstallEx(fUse3D) == 0) {
        EndSetupToolkit();
        return 0;
    }
    hSetup = i;
    ReadStartDirectory();
    return hSetup;
}

int SetupExitCode(int code)
{
    return code == 0 && !FTranscriptComplete() ? SETUP_ERROR_EXIT_CODE : code;
}

void EndSetupToolkit(void)
{
    TerminateFrame();
    TerminateInstall();
    TerminateRegDb();
}
