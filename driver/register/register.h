// register.h - what the installation records in the system besides the
// files: the file sets' keys (fileset_key.cpp), the environment and App
// Paths (environment.cpp), the shortcuts (shortcuts.cpp) and the
// uninstall entry with the program's copy (uninstall_entry.cpp).
#pragma once

#include "base/setup_info.h"

long CreateShortcutLink(struct _setup_info *si, const char *path, const char *cmd_args, char *link,
                        const char *name, const char *icon_path, const char *work_dir);
long CreateProgItemLink(struct _setup_info *si, struct _fileset_info *fs, struct _ProgItems *prog_item_ptr);
long CreateInfoItemLink(struct _setup_info *si, struct _fileset_info *fs, struct _InfoItems *info_item_ptr);
long CreateAppItemLink(struct _setup_info *si, struct _fileset_info *fs, struct _AppItems *app_item_ptr);

int CreateFileSetKey(struct _fileset_info *fs, struct _setup_info *si);
int FileSetKeyPath(const struct _fileset_info *fs, const struct _setup_info *si, char *key_path, size_t cb);
void FileSetKeyTooLong(const struct _fileset_info *fs, struct _setup_info *si);
HKEY CreateKeyFromPath(struct _setup_info *si, HKEY hkKey, const char *szKeyPath);
PTOKEN_USER GetCurrentUserInfo(void);
int CreateEnvironmentRegistry(struct _fileset_info *fs, struct _setup_info *si);
// The system's Path value is there to be read.
int SystemPathReadable(void);
int SetEnvironmentVars(struct _fileset_info *fs, struct _setup_info *si);
long SetSearchPath(struct _setup_info *si, struct _fileset_info *fs, const char *app_exe);

// The program's copy and the system's uninstall entry for a company's
// software. KeepProgramFiles reads the three program files while the medium
// that holds them is in the drive; RegisterUninstaller writes them out and
// the entry before the copy, and again at the end (complete), where it
// completes the entry.
void KeepProgramFiles(void);
void RegisterUninstaller(struct _setup_info *si, struct _fileset_info *fs, unsigned long long bytes, int complete);
int UninstallKeyPath(char *key_path, size_t cb, const char *company, const char *software_name);
