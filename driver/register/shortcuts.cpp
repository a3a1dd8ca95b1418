// Start-menu shortcut files of the Windows 95 family.
#include "log/install_log.h"
#include "script/script_checks.h"
#include "base/fatal.h"
#include "register/register.h"
#include "base/text.h"

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

// The link object is let go before the run ends.
[[noreturn]] static void StopLink(struct _setup_info *si, IShellLinkA *shell_link, IPersistFile *persist_file,
                                  const char *text)
{
    persist_file->Release();
    shell_link->Release();
    FatalStop(si, text, "Fatal Error");
}

// The order of the calls is fixed: path, description, icon, working
// directory, arguments.
static void SetLinkProperties(struct _setup_info *si, IShellLinkA *shell_link, IPersistFile *persist_file,
                              const char *path, const char *cmd_args, const char *name, const char *icon_path,
                              const char *work_dir)
{
    if (FAILED(shell_link->SetPath(path)))
        StopLink(si, shell_link, persist_file, "SetPath failed");
    if (FAILED(shell_link->SetDescription(name)))
        StopLink(si, shell_link, persist_file, "SetDescription failed");
    if (FAILED(shell_link->SetIconLocation(icon_path, 0)))
        StopLink(si, shell_link, persist_file, "SetIconLocation failed");
    if (FAILED(shell_link->SetWorkingDirectory(work_dir)))
        StopLink(si, shell_link, persist_file, "SetWorkingDirectory failed");
    if (cmd_args && FAILED(shell_link->SetArguments(cmd_args)))
        StopLink(si, shell_link, persist_file, "SetArguments failed");
}

// A "/" in a name would make a folder of it: every one in the link's path
// becomes "_".
static HRESULT SaveLink(struct _setup_info *si, IShellLinkA *shell_link, IPersistFile *persist_file, char *link)
{
    for (char *p = link; *p; p = CharNextA(p)) {
        if (*p == '/')
            *p = '_';
    }
    WCHAR wide_link[260];
    if (!MultiByteToWideChar(CP_ACP, 0, link, -1, wide_link, 260)) {
        FormatText(si->output_buf, sizeof si->output_buf, "The shortcut path %s is too long", link);
        StopLink(si, shell_link, persist_file, si->output_buf);
    }
    HRESULT hr = persist_file->Save(wide_link, TRUE);
    if (FAILED(hr))
        StopLink(si, shell_link, persist_file, "Link Save Failed");
    return hr;
}

long CreateShortcutLink(struct _setup_info *si, const char *path, const char *cmd_args, char *link,
                        const char *name, const char *icon_path, const char *work_dir)
{
    IShellLinkA *shell_link = NULL;
    HRESULT hr = CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, IID_IShellLinkA, (void **)&shell_link);
    if (FAILED(hr))
        return hr;
    IPersistFile *persist_file = NULL;
    hr = shell_link->QueryInterface(IID_IPersistFile, (void **)&persist_file);
    if (FAILED(hr)) {
        shell_link->Release();
        return hr;
    }
    SetLinkProperties(si, shell_link, persist_file, path, cmd_args, name, icon_path, work_dir);
    int existed = PathExists(link);
    hr = SaveLink(si, shell_link, persist_file, link);
    LogShortcutSaved(si, link, existed);
    persist_file->Release();
    shell_link->Release();
    return hr;
}

// The texts of one shortcut, each limited to a path's length.
struct shortcut_texts {
    char link[260];
    char target[260];
    char icon_path[260];
    char work_dir[260];
};

// The shortcut file in the file set's Start-menu folder, and its icon, which
// always lies in the destination directory. The group and the name are
// cleaned as the runtime cleans them for the group's folder, so the link
// lands in that folder and nowhere else. 0 when a text does not fit.
static int ComposeLinkAndIcon(struct _setup_info *si, struct _fileset_info *fs, const char *name,
                              const char *extension, const char *icon_path, struct shortcut_texts *texts)
{
    char group_file[sizeof fs->software_name + 1];
    char name_file[sizeof texts->link];
    if (!CleanFileName(group_file, sizeof group_file, fs->software_name) ||
        !CleanFileName(name_file, sizeof name_file, name))
        FatalStopFormatted(si, "Fatal Error", "The shortcut %s of the group %s cannot be named as a file", name,
                           fs->software_name);
    return FormatText(texts->link, sizeof texts->link, "%s\\Start Menu\\Programs\\%s\\%s%s", si->sys_dir,
                      group_file, name_file, extension) &&
           FormatText(texts->icon_path, sizeof texts->icon_path, "%s\\%s", si->dst_dir, icon_path);
}

long CreateProgItemLink(struct _setup_info *si, struct _fileset_info *fs, struct _ProgItems *prog_item_ptr)
{
    struct shortcut_texts texts;
    if (!ComposeLinkAndIcon(si, fs, prog_item_ptr->name, ".LNK", prog_item_ptr->icon_path, &texts) ||
        !FormatText(texts.work_dir, sizeof texts.work_dir, "%s\\", si->dst_drive))
        FatalStopFormatted(si, "Fatal Error", "The shortcut paths of %s are too long", prog_item_ptr->name);
    long status = CreateShortcutLink(si, prog_item_ptr->exe_path, NULL, texts.link, prog_item_ptr->name,
                                     texts.icon_path, texts.work_dir);
    SetSearchPath(si, fs, prog_item_ptr->exe_path);
    return status;
}

// The document's program as the script wrote it, with the document as its argument.
long CreateInfoItemLink(struct _setup_info *si, struct _fileset_info *fs, struct _InfoItems *info_item_ptr)
{
    struct shortcut_texts texts;
    if (!ComposeLinkAndIcon(si, fs, info_item_ptr->name, ".lnk", info_item_ptr->icon_path, &texts) ||
        !FormatText(texts.work_dir, sizeof texts.work_dir, "%s\\", si->dst_drive))
        FatalStopFormatted(si, "Fatal Error", "The shortcut paths of %s are too long", info_item_ptr->name);
    return CreateShortcutLink(si, info_item_ptr->app_exe_path, info_item_ptr->info_file, texts.link,
                              info_item_ptr->name, texts.icon_path, texts.work_dir);
}

// A system application runs from, and in, the system directory.
long CreateAppItemLink(struct _setup_info *si, struct _fileset_info *fs, struct _AppItems *app_item_ptr)
{
    struct shortcut_texts texts;
    const char *program_dir = app_item_ptr->sys_app ? si->sys_dir : si->dst_dir;
    int fits = ComposeLinkAndIcon(si, fs, app_item_ptr->name, ".lnk", app_item_ptr->icon_path, &texts) &&
               FormatText(texts.target, sizeof texts.target, "%s\\%s", program_dir, app_item_ptr->app_exe_path) &&
               (app_item_ptr->sys_app ? FormatText(texts.work_dir, sizeof texts.work_dir, "%s\\", si->sys_dir)
                                      : FormatText(texts.work_dir, sizeof texts.work_dir, "%s\\", si->dst_drive));
    if (!fits)
        FatalStopFormatted(si, "Fatal Error", "The shortcut paths of %s are too long", app_item_ptr->name);
    long status = CreateShortcutLink(si, texts.target, app_item_ptr->app_args, texts.link, app_item_ptr->name,
                                     texts.icon_path, texts.work_dir);
    SetSearchPath(si, fs, texts.target);
    return status;
}
