// Express or custom, and the custom choice of file sets.
#include "dialogs/dialogs.h"
#include "setupapi.h"
#include "setuprt.h"
#include "base/text.h"

#include <string.h>

enum { CUSTOM_DONE, CUSTOM_BACK };

static void FillCustomSymbols(struct _setup_info *si)
{
    SetSymbolValue("CheckItemsState", "");
    SetSymbolValue("StatusItemsText", "");
    for (int i = 1; i < si->num_file_sets; i++) {
        AddListItem("StatusItemsText", si->file_set_list[i].name);
        AddListItem("CheckItemsState", si->file_set_list[i].selected ? "ON" : "OFF");
    }
    si->total_disk_space_req = RequiredSpace(si);

    // Space in decimal thousands, the remainder dropped.
    char required[32], available[32];
    FormatText(required, sizeof required, "%ld  KB", si->total_disk_space_req / 1000);
    FormatText(available, sizeof available, "%llu  KB", si->total_disk_space_available / 1000);
    const char *items[] = {si->dst_drive, required, available, "", "", "", si->dst_dir};
    SetSymbolValue("DriveStatusText", "");
    for (const char *item : items)
        AddListItem("DriveStatusText", item);
}

// A "CHKn" word flips file set n, when it is listed.
static void ToggleFileSet(struct _setup_info *si, const char *word)
{
    if (word[3] < '0' || word[3] > '9')
        return;
    int n = word[3] - '0';
    if (n >= 1 && n < si->num_file_sets)
        si->file_set_list[n].selected = !si->file_set_list[n].selected;
}

static int AnySetChecked(const struct _setup_info *si)
{
    for (int i = 1; i < si->num_file_sets; i++) {
        if (si->file_set_list[i].selected)
            return 1;
    }
    return 0;
}

static int CustomDialog(struct _setup_info *si)
{
    char rgchT[16];
    for (;;) {
        FillCustomSymbols(si);
        UIStartDlg("mscuistf.dll", 6200, "FCustInstDlgProc", 962, "FHelpDlgProc", rgchT, 15);
        switch (EventWordSum(rgchT)) {
        case EVENT_BACK:
            UIPop(1);
            return CUSTOM_BACK;
        case EVENT_CANCEL:
        case EVENT_EXIT:
            AskQuit(si);
            continue;
        case EVENT_CONTINUE:
            // Nothing to install would end in a closing dialog that says
            // the product is installed.
            if (!AnySetChecked(si)) {
                DoMsgBox("No part is selected. Check the parts to install, or choose Exit to quit Setup.",
                         "Custom Installation", 0);
                continue;
            }
            if (!SpaceSuffices(si)) {
                DoMsgBox("Insufficient Disk Space to \t\t\t\t\t\t\t\t\tInstall all selected file sets", "Error", 0);
                continue;
            }
            UIPop(1);
            return CUSTOM_DONE;
        default:
            break;
        }
        if (strncmp(rgchT, "CHK", 3) == 0) {
            ToggleFileSet(si, rgchT);
        } else if (strncmp(rgchT, "PATH", 4) == 0) {
            UIPop(1);
            FInstallPathDialog(si);
        }
    }
}

int InstallTypeDialog(struct _setup_info *si)
{
    char rgchT[16];
    for (;;) {
        SetSymbolValue("RadioDefault", si->installType == 1 ? "1" : "2");
        UIStartDlg("mscuistf.dll", 800, "FRadioDlgProc", 908, "FHelpDlgProc", rgchT, 15);
        switch (EventWordSum(rgchT)) {
        case EVENT_BACK:
            UIPop(1);
            return 0;
        case EVENT_CANCEL:
        case EVENT_EXIT:
            AskQuit(si);
            continue;
        case EVENT_CONTINUE:
            break;
        default:
            continue;
        }

        char checked[16];
        GetSymbolValue("ButtonChecked", checked, 15);
        UIPop(1);
        si->installType = checked[0] == '1' ? 1 : 2;
        if (si->installType == 1) {
            // Express: the file sets flagged EXPRESS, without a further space check.
            UIPop(1);
            return 1;
        }
        if (CustomDialog(si) == CUSTOM_DONE)
            return 1;
    }
}
