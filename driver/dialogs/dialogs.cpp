// The dialogs of the installation, run from the dialog library.
#include "base/paths.h"
#include "dialogs/dialogs.h"
#include "base/scratch_files.h"
#include "setupapi.h"
#include "setuprt.h"
#include "base/text.h"

#include <objbase.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static const char szDialogDll[] = "mscuistf.dll";

// Ends the run after a confirmed quit; what was installed stays.
[[noreturn]] static void QuitSetup(struct _setup_info *si)
{
    RemoveScratchFiles(si);
    UIPopAll();
    EndSetupToolkit();
    if (si->platform == PLATFORM_WIN95)
        CoUninitialize();
    exit(SetupExitCode(0));
}

void AskQuit(struct _setup_info *si)
{
    char rgchT[16];
    for (;;) {
        UIStartDlg(szDialogDll, 200, "FQuitDlgProc", 902, "FHelpDlgProc", rgchT, 15);
        switch (EventWordSum(rgchT)) {
        case EVENT_CANCEL:
        case EVENT_CONTINUE:
            UIPop(1);
            return;
        case EVENT_EXIT:
            QuitSetup(si);
        default:
            break;
        }
    }
}

// What an information dialog does with an event.
enum InfoAction { INFO_RETURN, INFO_ASK_QUIT, INFO_AGAIN };

struct InfoDialog {
    unsigned dialog;
    const char *procedure;
    unsigned help;  // 0: none
    InfoAction on_continue, on_cancel, on_exit;
};

static const InfoDialog welcome = {100, "FInfoDlgProc", 900, INFO_RETURN, INFO_ASK_QUIT, INFO_ASK_QUIT};
static const InfoDialog path_message = {6400, "FInfo0DlgProc", 0, INFO_RETURN, INFO_RETURN, INFO_ASK_QUIT};
static const InfoDialog no_space = {6300, "FInfo0DlgProc", 0, INFO_RETURN, INFO_AGAIN, INFO_AGAIN};
static const InfoDialog finished = {700, "FInfoDlgProc", 907, INFO_RETURN, INFO_AGAIN, INFO_AGAIN};

// Shows the dialog until an event returns; the dialog is still displayed then.
static void RunInfoDialog(struct _setup_info *si, const InfoDialog &d)
{
    char rgchT[16];
    for (;;) {
        UIStartDlg(szDialogDll, d.dialog, d.procedure, d.help, d.help ? "FHelpDlgProc" : NULL, rgchT, 15);
        InfoAction action = INFO_AGAIN;
        switch (EventWordSum(rgchT)) {
        case EVENT_CONTINUE: action = d.on_continue; break;
        case EVENT_CANCEL: action = d.on_cancel; break;
        case EVENT_EXIT: action = d.on_exit; break;
        default: break;
        }
        if (action == INFO_RETURN)
            return;
        if (action == INFO_ASK_QUIT)
            AskQuit(si);
    }
}

void ShowProductName(struct _setup_info *si)
{
    char title[sizeof si->product_name + 16];
    FormatText(title, sizeof title, "%s Installation", si->product_name);
    FSetProductName(si->product_name);
    SetTitle(title);
}

void WelcomeDialog(struct _setup_info *si)
{
    RunInfoDialog(si, welcome);
    UIPop(1);
}

// The kind of drive, as the location message names it.
static const char *DriveKindWords(unsigned type)
{
    switch (type) {
    case DRIVE_REMOVABLE: return "a floppy or removable disk drive";
    case DRIVE_FIXED: return "a hard disk";
    case DRIVE_REMOTE: return "a network drive";
    case DRIVE_CDROM: return "a CD-ROM drive";
    case DRIVE_RAMDISK: return "a RAM disk";
    default: return "a drive of unknown kind";
    }
}

// The one location message, told why by the word the dialog knows, and
// where: the location and the kind of its drive.
static void LocationMessage(struct _setup_info *si, const char *problem, const char *location)
{
    char root[4] = "";
    if (location[0] != '\0' && location[1] == ':')
        FormatText(root, sizeof root, "%c:\\", location[0]);
    SetSymbolValue("LocationProblem", problem);
    // A directory is named without its backslash; a drive's root keeps it.
    char shown[MAX_PATH];
    CopyText(shown, sizeof shown, location);
    if (strlen(shown) > 3)
        StripSlash(shown);
    SetSymbolValue("LocationName", shown);
    const char *kind = *root ? DriveKindWords(GetDriveTypeA(root))
                       : location[0] == '\\' && location[1] == '\\' ? DriveKindWords(DRIVE_REMOTE) : "";
    SetSymbolValue("LocationKind", kind);
    RunInfoDialog(si, path_message);
    UIPop(1);
}

void BlankPathDialog(struct _setup_info *si)
{
    LocationMessage(si, "BLANK", "");
}

void InvalidPathDialog(struct _setup_info *si, enum LocationProblem problem, const char *location)
{
    static const char *const words[] = {"NOT_FOUND", "NOT_HARD_OR_NETWORK", "SOURCE_DRIVE", "TOO_LONG",
                                        "NO_FILES"};
    LocationMessage(si, words[problem], location);
}

void DestIsSrcDialog(struct _setup_info *si)
{
    LocationMessage(si, "SAME", si->src_dir);
}

void InsufficientDiskSpaceDialog(struct _setup_info *si)
{
    RunInfoDialog(si, no_space);
    UIPop(1);
}

void ExitSuccess(struct _setup_info *si)
{
    RunInfoDialog(si, finished);
    RemoveScratchFiles(si);
    UIPop(1);
}

// src_drive and src_drive_type from src_dir.
void SetSourceDrive(struct _setup_info *si)
{
    _splitpath(si->src_dir, si->src_drive, NULL, NULL, NULL);
    FormatText(si->temp_temp_path, sizeof si->temp_temp_path, "%s\\", si->src_drive);
    si->src_drive_type = GetDriveTypeA(si->temp_temp_path);
}

// The source directory from the user's text: rooted as typed, otherwise
// below the start-up directory. 0 when the result does not fit src_dir.
static int TakeSourceDirectory(struct _setup_info *si, char *sz)
{
    StripSlash(sz);
    if (sz[0] == '\\' || sz[1] == ':') {
        AppendSlash(sz);
        return CopyText(si->src_dir, sizeof si->src_dir, sz);
    }
    char joined[sizeof si->src_dir];
    if (!FormatText(joined, sizeof joined, "%s\\%s\\", si->current_dir, sz))
        return 0;
    CopyText(si->src_dir, sizeof si->src_dir, joined);
    return 1;
}

int FSetupPathDialog(struct _setup_info *si)
{
    char sz[257];  // the edit text, and room for AppendSlash
    char rgchT[16];
    CopyText(sz, sizeof sz, si->src_dir);
    SetSymbolValue("EditTextIn", sz);
    SetSymbolValue("EditFocus", "END");

    for (;;) {
        UIStartDlg(szDialogDll, 103, "FEditDlgProc", 901, "FHelpDlgProc", rgchT, 15);
        if (EventWordSum(rgchT) == EVENT_EXIT) {
            UIPop(1);
            AskQuit(si);
            continue;
        }
        GetSymbolValue("EditTextOut", sz, 255);
        if (!sz[0])
            continue;
        enum LocationProblem problem = LOCATION_TOO_LONG;
        if (TakeSourceDirectory(si, sz)) {
            SetSourceDrive(si);
            if (si->src_drive_type == DRIVE_REMOVABLE || si->src_drive_type == DRIVE_FIXED ||
                si->src_drive_type == DRIVE_CDROM)
                break;
            problem = LOCATION_SOURCE_DRIVE;
        }
        UIPop(1);
        InvalidPathDialog(si, problem, problem == LOCATION_TOO_LONG ? "" : si->src_dir);
    }
    UIPop(1);
    return 1;
}
