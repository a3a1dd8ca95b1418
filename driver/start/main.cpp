// Start-up, the dialog sequence and the orderly shutdown.
#include "msregdb.h"
#include "dialogs/dialogs.h"
#include "install/install.h"
#include "uninstall/uninstall.h"
#include "start/startup.h"
#include "setupapi.h"
#include "setuprt.h"

#include <objbase.h>
#include <stdlib.h>

// A start-up check that cannot go on: the box, the toolkit shut down, exit 1.
[[noreturn]] static void RefuseToStart(const char *text)
{
    DoMsgBox(text, "Fatal Error", MB_ICONHAND);
    EndSetupToolkit();
    exit(1);
}

static int QueryPlatform(void)
{
    OSVERSIONINFOA osinfo = {};
    osinfo.dwOSVersionInfoSize = sizeof osinfo;
    if (!GetVersionExA(&osinfo)) {
        DoMsgBox("Unable to determine OS Version and type, \t\t\t\t\tassuming Windows NT 3.51+",
                 "Warning", MB_ICONHAND);
        return PLATFORM_NT;
    }
    if (osinfo.dwPlatformId != PLATFORM_WIN95 && osinfo.dwPlatformId != PLATFORM_NT)
        RefuseToStart("Unsupported OS Platform");
    return (int)osinfo.dwPlatformId;
}

[[noreturn]] static void Shutdown(struct _setup_info *si)
{
    TerminateRegDb();
    if (si->platform == PLATFORM_WIN95)
        CoUninitialize();
    EndSetupToolkit();
    exit(SetupExitCode(0));
}

// Welcome, destination and install type, each able to go back; a quit is
// handled inside the dialogs and ends the run there.
static void RunDialogSequence(struct _setup_info *si)
{
    int phase = 1;
    while (phase != 0) {
        switch (phase) {
        case 1:
            WelcomeDialog(si);
            phase = 2;
            break;
        case 2:
            phase = FInstallPathDialog(si) ? 3 : 1;
            break;
        case 3:
            phase = InstallTypeDialog(si) ? 4 : 2;
            break;
        default:
            phase = 0;
            break;
        }
    }
}

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR szCmdLineArgs, int)
{
    // The record is large; it lives for the whole run.
    static struct _setup_info si;
    si.platform = PLATFORM_NT;

    int started = InitSetupToolkit(szCmdLineArgs);
    if (started == -1)  // the frame was asked to stop quietly (after /?)
        exit(0);
    if (started <= 0)
        exit(SETUP_ERROR_EXIT_CODE);
    if (!FInitRegDb()) {
        EndSetupToolkit();
        exit(SETUP_ERROR_EXIT_CODE);
    }
    SetBitmap("mscuistf.dll", 1);
    SetTitle("Quorvane/32 2.0 Installation");

    si.platform = QueryPlatform();
    if (si.platform == PLATFORM_NT && !RunningAsAdministrator())
        RefuseToStart("This program can only be run by System Administrator");
    if (si.platform == PLATFORM_WIN95)
        CoInitialize(NULL);

    char uninstall_log[MAX_PATH];
    if (UninstallAsked(uninstall_log, sizeof uninstall_log)) {
        si.hInst = hInstance;
        Uninstall(&si, uninstall_log);
    }
    InitSetupInfo(&si, hInstance);
    RunDialogSequence(&si);
    Install(&si);
    ExitSuccess(&si);
    Shutdown(&si);
}
