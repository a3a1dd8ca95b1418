// The destination dialog: a drive, checked in order, and the space figures.
#include "msdetect.h"
#include "base/paths.h"
#include "base/program_files.h"
#include "dialogs/dialogs.h"
#include "setupapi.h"
#include "setuprt.h"
#include "string_helpers.h"
#include "base/text.h"

#include <limits.h>
#include <stdlib.h>

// A long figure for the two signed 32-bit totals: a large drive or a large
// selection counts as the largest value, never as a negative one.
static long ClampToLong(unsigned long long value)
{
    return value > (unsigned long long)LONG_MAX ? LONG_MAX : (long)value;
}

// Bytes of the checked sets, or of the express sets, at most the largest long.
static long SpaceOfSets(struct _setup_info *si, int express)
{
    unsigned long long total = 0;
    for (int i = 1; i < si->num_file_sets; i++) {
        const struct _fileset_info *fs = &si->file_set_list[i];
        if (express ? fs->express : fs->selected)
            total += fs->size;
    }
    return ClampToLong(total);
}

// The installation also leaves the uninstaller's copy of the program files
// and its log, allowed 64 KB.
static unsigned long long UninstallerSpace(void)
{
    char file[MAX_PATH];
    unsigned long long total = 64 * 1024;
    for (const char *name : PROGRAM_FILES) {
        WIN32_FIND_DATAA data;
        HANDLE found = ProgramFilePath(name, file, sizeof file) ? FindFirstFileA(file, &data) : INVALID_HANDLE_VALUE;
        if (found == INVALID_HANDLE_VALUE)
            continue;
        FindClose(found);
        total += ((unsigned long long)data.nFileSizeHigh << 32) | data.nFileSizeLow;
    }
    return total;
}

int SpaceSuffices(struct _setup_info *si)
{
    return (unsigned long long)si->total_disk_space_req + UninstallerSpace() <= si->total_disk_space_available;
}

long RequiredSpace(struct _setup_info *si)
{
    return SpaceOfSets(si, 0);
}

long InstalledSpace(struct _setup_info *si)
{
    return SpaceOfSets(si, si->installType == 1);
}

// The checks in their order; 1 when the drive in sz is accepted.
static int AcceptDestination(struct _setup_info *si, char *sz)
{
    GetSymbolValue("EditTextOut", sz, 255);
    if (sz[0] == '\0' || sz[1] == '\0') {
        BlankPathDialog(si);
        return 0;
    }
    // Only the drive letter counts; a directory typed after it is dropped.
    sz[1] = ':';
    sz[2] = '\0';
    if (!FValidDrive(sz)) {
        InvalidPathDialog(si, LOCATION_NOT_FOUND, sz);
        return 0;
    }
    _splitpath(sz, si->dst_drive, NULL, NULL, NULL);
    FormatText(si->dst_dir, sizeof si->dst_dir, "%s\\", si->dst_drive);
    if (!DoesDirExist(si->dst_dir)) {
        InvalidPathDialog(si, LOCATION_NOT_FOUND, sz);
        return 0;
    }
    FormatText(si->temp_temp_path, sizeof si->temp_temp_path, "%s\\", si->dst_drive);
    si->dst_drive_type = GetDriveTypeA(si->temp_temp_path);
    if (si->dst_drive_type != DRIVE_FIXED && si->dst_drive_type != DRIVE_REMOTE &&
        si->dst_drive_type != DRIVE_RAMDISK) {
        InvalidPathDialog(si, LOCATION_NOT_HARD_OR_NETWORK, si->dst_drive);
        return 0;
    }
    FormatText(si->dst_dir, sizeof si->dst_dir, "%s\\%s", si->dst_drive, "usr");
    si->total_disk_space_available = GetFreeSpaceForDrive(si->dst_drive);
    si->total_disk_space_req = RequiredSpace(si);
    if (!SpaceSuffices(si)) {
        DoMsgBox("Insufficient Disk space for minimum install", "Alert", 0);
        return 0;
    }
    return 1;
}

int FInstallPathDialog(struct _setup_info *si)
{
    char sz[256];
    char rgchT[16];
    CopyText(sz, sizeof sz, si->dst_drive);
    StripSlash(sz);
    SetSymbolValue("EditTextIn", sz);
    SetSymbolValue("EditFocus", "END");

    for (;;) {
        UIStartDlg("mscuistf.dll", 300, "FEditDlgProc", 903, "FHelpDlgProc", rgchT, 15);
        switch (EventWordSum(rgchT)) {
        case EVENT_EXIT:
            AskQuit(si);
            break;
        case EVENT_CANCEL:
        case EVENT_BACK:
            UIPop(1);
            return 0;
        default:
            if (AcceptDestination(si, sz)) {
                UIPop(1);
                return 1;
            }
            break;
        }
    }
}
