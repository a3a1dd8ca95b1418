// Install: every chosen file set copied behind the progress window, then
// every one registered.
#include "log/install_log.h"
#include "later_windows.h"
#include "base/fatal.h"
#include "dialogs/dialogs.h"
#include "install/progress.h"
#include "install/install.h"
#include "register/register.h"
#include "setupapi.h"
#include "script/script_checks.h"
#include "setuprt.h"
#include "base/text.h"

#include <direct.h>
#include <errno.h>
#include <stdio.h>
#include <string.h>

enum { INSTALL_EXPRESS = 1 };

// Express installs the sets flagged EXPRESS, custom the ones the user checked.
static int IsChosen(const struct _setup_info *si, const struct _fileset_info *fs)
{
    return si->installType == INSTALL_EXPRESS ? fs->express != 0 : fs->selected != 0;
}

static void OpenProgressWindow(struct _setup_info *si)
{
    si->hProgBarDlg = CreateDialogParamA(si->hInst, "SETUPSTATUS", HwndFrame(), ProgBarDlgProc, (LPARAM)si);
    if (!si->hProgBarDlg)
        FatalStop(si, "Null Dialog Handle", "Fatal Error");
    ShowWindow(si->hProgBarDlg, SW_SHOWNORMAL);
    SetForegroundWindow(si->hProgBarDlg);
    // Painted now: the copy serves the queue only when something waits.
    RedrawWindow(si->hProgBarDlg, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

// One level only: the destination's parent must exist.
static void MakeDestinationDir(struct _setup_info *si)
{
    CopyText(si->temp_dst_path, sizeof si->temp_dst_path, si->dst_dir);
    if (si->verbose)
        printf("Will Make directory => %s\n", si->temp_dst_path);
    if (_mkdir(si->temp_dst_path) == 0) {
        LogDestinationMade();
    } else if (errno != EACCES && errno != EEXIST) {
        FormatText(si->output_buf, sizeof si->output_buf, "Unable to create dir %s", si->temp_dst_path);
        FatalStop(si, si->output_buf, "Fatal Error");
    }
}

// The item's further fields: its icon in the destination directory, "0,0,0"
// and the root of the destination drive.
static const char *ItemFields(struct _setup_info *si, const char *icon_path, const char *name)
{
    if (!FormatText(si->temp_temp_path, sizeof si->temp_temp_path, "%s\\%s,0,0,0,%s\\", si->dst_dir, icon_path,
                    si->dst_drive))
        FatalStopFormatted(si, "Fatal Error", "The Program Manager item %s is too long", name);
    return si->temp_temp_path;
}

// The group's folder in the Start menu, as the runtime names it; "" when
// it cannot be had.
static void GroupFolder(struct _setup_info *si, struct _fileset_info *fs, char *folder, size_t cb)
{
    char programs[MAX_PATH], group_file[sizeof fs->software_name + 1];
    if (!ProgramsFolder(si, programs, sizeof programs) ||
        !CleanFileName(group_file, sizeof group_file, fs->software_name) ||
        !FormatText(folder, cb, "%s\\%s", programs, group_file))
        folder[0] = '\0';
}

// The item made through the runtime, its shortcut file recorded.
static void CreateLoggedItem(struct _setup_info *si, struct _fileset_info *fs, const char *name, const char *cmd,
                             const char *other)
{
    char folder[MAX_PATH], name_file[MAX_PATH], link[MAX_PATH];
    GroupFolder(si, fs, folder, sizeof folder);
    int named = folder[0] != '\0' && CleanFileName(name_file, sizeof name_file, name) &&
                FormatText(link, sizeof link, "%s\\%s.lnk", folder, name_file);
    int existed = named && PathExists(link);
    CreateProgmanItem(fs->software_name, name, cmd, other, 1024);
    if (named && PathExists(link))
        LogShortcutSaved(si, link, existed);
}

// A program line may leave the shortcut's name empty: the program is
// installed, only without a shortcut, and the transcript says so.
static int HasShortcut(const struct _ProgItems *item)
{
    if (item->name[0] != '\0')
        return 1;
    RecordAction("noshortcut", item->exe_path, NULL);
    return 0;
}

static void AddProgmanItems(struct _setup_info *si, struct _fileset_info *fs)
{
    char cmd[773];
    for (struct _ProgItems *item = fs->prog_items; item; item = item->next) {
        if (!HasShortcut(item))
            continue;
        const char *other = ItemFields(si, item->icon_path, item->name);
        CreateLoggedItem(si, fs, item->name, item->exe_path, other);
    }
    for (struct _InfoItems *item = fs->info_items; item; item = item->next) {
        if (!FormatText(cmd, sizeof cmd, "%s %s", item->app_exe_path, item->info_file))
            FatalStopFormatted(si, "Fatal Error", "The Program Manager item %s is too long", item->name);
        const char *other = ItemFields(si, item->icon_path, item->name);
        CreateLoggedItem(si, fs, item->name, cmd, other);
    }
    for (struct _AppItems *item = fs->app_items; item; item = item->next) {
        // The blank stays even without arguments.
        const char *program_dir = item->sys_app ? si->sys_dir : si->dst_dir;
        if (!FormatText(cmd, sizeof cmd, "%s\\%s %s", program_dir, item->app_exe_path, item->app_args))
            FatalStopFormatted(si, "Fatal Error", "The Program Manager item %s is too long", item->name);
        const char *other = ItemFields(si, item->icon_path, item->name);
        CreateLoggedItem(si, fs, item->name, cmd, other);
    }
}

static void AddShortcuts(struct _setup_info *si, struct _fileset_info *fs)
{
    for (struct _ProgItems *item = fs->prog_items; item; item = item->next) {
        if (HasShortcut(item))
            CreateProgItemLink(si, fs, item);
    }
    for (struct _InfoItems *item = fs->info_items; item; item = item->next)
        CreateInfoItemLink(si, fs, item);
    for (struct _AppItems *item = fs->app_items; item; item = item->next)
        CreateAppItemLink(si, fs, item);
}

// The group comes first on both platforms: on the 95 family it makes the
// folder that the shortcut files are saved in.
static void RegisterFileSet(struct _setup_info *si, struct _fileset_info *fs)
{
    SelectInstallLog(si, fs);
    CreateFileSetKey(fs, si);
    if (si->platform == PLATFORM_NT)
        CreateEnvironmentRegistry(fs, si);
    else
        SetEnvironmentVars(fs, si);
    char folder[MAX_PATH];
    GroupFolder(si, fs, folder, sizeof folder);
    int group_existed = folder[0] == '\0' || PathExists(folder);
    CreateProgmanGroup(fs->software_name, "", 1);
    if (!group_existed && PathExists(folder))
        LogGroupMade(si, folder);
    ShowProgmanGroup(fs->software_name, 1, 1);
    if (si->platform == PLATFORM_NT)
        AddProgmanItems(si, fs);
    else
        AddShortcuts(si, fs);
}

// Programs started afterwards from the desktop see the new Path and
// variables; a window that does not answer changes nothing for us. Sent as
// a wide string: NT only, and Wine garbles the text of the ANSI broadcast.
static void AnnounceEnvironmentChange(void)
{
    BroadcastSettingChange("Environment");
}

// One uninstaller per software name, however many chosen sets share it;
// its size is theirs together.
static void RegisterUninstallers(struct _setup_info *si, int complete)
{
    for (int i = 1; i < si->num_file_sets; i++) {
        struct _fileset_info *fs = &si->file_set_list[i];
        int first = IsChosen(si, fs);
        unsigned long long bytes = 0;
        for (int j = 1; j < si->num_file_sets && first; j++) {
            struct _fileset_info *other = &si->file_set_list[j];
            if (!IsChosen(si, other) || strcmp(other->software_name, fs->software_name) != 0)
                continue;
            if (j < i)
                first = 0;
            bytes += other->size;
        }
        if (first)
            RegisterUninstaller(si, fs, bytes, complete);
    }
}

// Each chosen set is registered under its company and software name; a
// set the script leaves without either, or whose key could not be named,
// would stop the run only after its files were copied.
static void RefuseUnregistrableSets(struct _setup_info *si)
{
    for (int i = 1; i < si->num_file_sets; i++) {
        struct _fileset_info *fs = &si->file_set_list[i];
        if (!IsChosen(si, fs))
            continue;
        if (si->company_name[0] == '\0')
            FatalStop(si, "setup.inf has no COMPANY line: the parts cannot be registered. Nothing was installed.",
                      "Fatal Error");
        if (fs->software_name[0] == '\0')
            FatalStopFormatted(si, "Fatal Error",
                               "setup.inf: the part \"%s\" has no SOFTWARE line and cannot be registered. "
                               "Nothing was installed.",
                               fs->name);
        char key_path[260];
        if (!FileSetKeyPath(fs, si, key_path, sizeof key_path)) {
            FileSetKeyTooLong(fs, si);
            FatalStop(si, si->output_buf, "Fatal Error");
        }
    }
}

// The registration on NT reads the system's Path: without it the run
// would stop only after every file was copied.
static void RefuseWithoutSystemPath(struct _setup_info *si)
{
    if (si->platform == PLATFORM_NT && !SystemPathReadable())
        FatalStop(si,
                  "The system's Path value (HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Control\\Session "
                  "Manager\\Environment) cannot be read: the parts cannot be registered. Nothing was installed.",
                  "Fatal Error");
}

// What the user asked to be written about the run must not be overwritten
// by it, nor removed with it.
static void RefuseRecordInDestination(struct _setup_info *si)
{
    if (FRecordFileLiesIn(si->dst_dir))
        FatalStopFormatted(si, "Fatal Error",
                           "The transcript or recording asked for on the command line lies in %s, where Setup "
                           "installs. Name a file in another folder. Nothing was installed.",
                           si->dst_dir);
}

void Install(struct _setup_info *si)
{
    RefuseUnregistrableSets(si);
    RefuseWithoutSystemPath(si);
    RefuseRecordInDestination(si);
    KeepProgramFiles();
    OpenProgressWindow(si);
    MakeDestinationDir(si);
    RegisterUninstallers(si, 0);
    si->total_disk_space_req = InstalledSpace(si);
    si->bytes_written_to_disk = 0;
    for (int i = 1; i < si->num_file_sets; i++) {
        if (IsChosen(si, &si->file_set_list[i])) {
            SelectInstallLog(si, &si->file_set_list[i]);
            InstallFileSet(i, si);
        }
    }
    ShowFinalStatus(si);
    DestroyWindow(si->hProgBarDlg);
    si->hProgBarDlg = NULL;

    // Every set is copied before the first one is registered.
    HCURSOR previous_cursor = ShowWaitCursor();
    int registered = 0;
    for (int i = 1; i < si->num_file_sets; i++) {
        if (IsChosen(si, &si->file_set_list[i])) {
            RegisterFileSet(si, &si->file_set_list[i]);
            registered++;
        }
    }
    if (registered && si->platform == PLATFORM_NT)
        AnnounceEnvironmentChange();
    CloseInstallLog();
    RegisterUninstallers(si, 1);
    RestoreCursor(previous_cursor);
    UIPopAll();
}
