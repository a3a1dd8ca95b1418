// setup.h - the functions of the setup driver.
#pragma once

#include "setup_info.h"

// Start-up (startup.cpp).
int InitSetupInfo(struct _setup_info *si, HINSTANCE hInstance);
int RunningAsAdministrator(void);
// src_drive and src_drive_type from src_dir (dialogs.cpp).
void SetSourceDrive(struct _setup_info *si);

// Paths (paths.cpp): AppendSlash needs room for one more character.
void AppendSlash(char *sz1);
void StripSlash(char *sz1);

// The script (scan.cpp, script_line.cpp).
int ScanForFileSets(struct _setup_info *si);
// The number in setup.inf of the line the scan reads or stopped at.
int ScannedLineNumber(void);
char *skip_delimiters(char *string_buf_ptr);
char *skip_till_char(char *string_buf_ptr, char till_ch);
char *get_till_char(char *string_buf_ptr, char till_ch, char **token);

// The dialog sequence (dialogs.cpp, and install_type.cpp for the choice of
// express or custom).
int FSetupPathDialog(struct _setup_info *si);
void WelcomeDialog(struct _setup_info *si);
int FInstallPathDialog(struct _setup_info *si);
int InstallTypeDialog(struct _setup_info *si);
void ExitSuccess(struct _setup_info *si);
void AskQuit(struct _setup_info *si);
void BlankPathDialog(struct _setup_info *si);
// Why a location is refused: the message says it in words.
enum LocationProblem {
    LOCATION_NOT_FOUND,            // no such drive, or its root cannot be found
    LOCATION_NOT_HARD_OR_NETWORK,  // a destination on another kind of drive
    LOCATION_SOURCE_DRIVE,         // a source on a drive the files cannot come from
    LOCATION_TOO_LONG,
    LOCATION_NO_FILES              // no setup script at the source
};
void InvalidPathDialog(struct _setup_info *si, enum LocationProblem problem);
void DestIsSrcDialog(struct _setup_info *si);
void InsufficientDiskSpaceDialog(struct _setup_info *si);
// Bytes of the checked file sets, at most the largest long.
long RequiredSpace(struct _setup_info *si);
// Bytes of the sets this installation copies (the express sets, or the
// checked ones): the whole of the progress.
long InstalledSpace(struct _setup_info *si);

// Copying one file set (install_fileset.cpp) behind the progress window
// (progress.cpp).
int InstallFileSet(int file_set_no, struct _setup_info *si);
int ShowStatus(struct _setup_info *si, const char *src, const char *dst_dir);
// A file's copy starts: its name and destination are shown, unless the
// window changed only just now (then with the next update).
void ShowCopyStarting(struct _setup_info *si, const char *src, const char *dst_dir);
// The share done changed (percent_done): percentage and bar follow, at the
// pace of the window's updates; waiting messages are served within 20 ms.
void ShowCopyProgress(struct _setup_info *si);
// The copy is over: the last file and the final share are shown.
void ShowFinalStatus(struct _setup_info *si);
INT_PTR CALLBACK ProgBarDlgProc(HWND hdlg, UINT wMsg, WPARAM wParam, LPARAM lParam);
// The window class of the progress window's bar.
int RegisterGaugeClass(HINSTANCE hInstance);
int ChangeDisketteMsg(int disk_no, struct _setup_info *si);

// The install sequence and the shortcuts (install.cpp, shortcuts.cpp).
void Install(struct _setup_info *si);
long CreateShortcutLink(struct _setup_info *si, const char *path, const char *cmd_args, char *link,
                        const char *name, const char *icon_path, const char *work_dir);
long CreateProgItemLink(struct _setup_info *si, struct _fileset_info *fs, struct _ProgItems *prog_item_ptr);
long CreateInfoItemLink(struct _setup_info *si, struct _fileset_info *fs, struct _InfoItems *info_item_ptr);
long CreateAppItemLink(struct _setup_info *si, struct _fileset_info *fs, struct _AppItems *app_item_ptr);

// Registration (fileset_key.cpp) and the environment (environment.cpp).
int CreateFileSetKey(struct _fileset_info *fs, struct _setup_info *si);
int FileSetKeyPath(const struct _fileset_info *fs, const struct _setup_info *si, char *key_path, size_t cb);
void FileSetKeyTooLong(const struct _fileset_info *fs, struct _setup_info *si);
HKEY CreateKeyFromPath(struct _setup_info *si, HKEY hkKey, const char *szKeyPath);
PTOKEN_USER GetCurrentUserInfo(void);
int CreateEnvironmentRegistry(struct _fileset_info *fs, struct _setup_info *si);
int SetEnvironmentVars(struct _fileset_info *fs, struct _setup_info *si);
long SetSearchPath(struct _setup_info *si, struct _fileset_info *fs, const char *app_exe);

// Taking an installation back (uninstall_entry.cpp, uninstall.cpp): the
// program's copy and the system's uninstall entry for a software name, and
// the removal of what an installation log records.
// KeepProgramFiles reads the three program files while the medium that
// holds them is in the drive; RegisterUninstaller writes them out.
void KeepProgramFiles(void);
void RegisterUninstaller(struct _setup_info *si, struct _fileset_info *fs, unsigned long long bytes);
int UninstallKeyPath(char *key_path, size_t cb, const char *software_name);
[[noreturn]] void Uninstall(struct _setup_info *si, const char *log_path);

// The driver's common ending for unrecoverable errors (fatal.cpp): the
// message box with style 0, the files of the run removed, the toolkit shut
// down, exit code 1.
[[noreturn]] void FatalStop(struct _setup_info *si, const char *text, const char *title);
// The same with a text formatted into output_buf; a text longer than
// output_buf is shown cut, the stop is the same.
[[noreturn]] void FatalStopFormatted(struct _setup_info *si, const char *title, const char *format, ...)
    __attribute__((format(printf, 3, 4)));
