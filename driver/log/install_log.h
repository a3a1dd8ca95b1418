// install_log.h - the installation log: what the installation did, line by
// line as it does it, one log per software name in the destination
// directory, so that the uninstallation can take back exactly that.
//
// Every call writes to the log of the file set last selected and does
// nothing while none is selected (the unit tests copy without one).
#pragma once

#include "base/setup_info.h"

// The software name as a key and file name: letters, digits, blank, "-",
// "_", ".", "(" and ")" stay, every other byte (and a blank or dot at
// either end) becomes %XX; a name that would grow beyond 200 characters,
// or an empty one, is cut there and ends in "~" and the CRC-32 of the
// whole name. 0 when it does not fit cb.
int SoftwareKeyName(char *key, size_t cb, const char *software_name);
// The key of a company's software: both names escaped as above, "-" too,
// joined by "-"; cut as above, with the CRC-32 of both names.
int ProductKeyName(char *key, size_t cb, const char *company, const char *software_name);
// "<dst_dir>\uninstall-<product key>.log" and the directory of the
// uninstaller's copy, the same without ".log".
int LogPathOf(char *path, size_t cb, const char *dst_dir, const char *company, const char *software_name);
// The name an earlier version gave the log, by the software name alone.
int EarlierLogPathOf(char *path, size_t cb, const char *dst_dir, const char *software_name);

// The destination directory was made by this run: each log it opens
// records it.
void LogDestinationMade(void);
// The records that follow belong to fs: the log of its software name is
// opened (to add to it) or created with the first of them; a fatal stop
// when it cannot be written.
void SelectInstallLog(struct _setup_info *si, struct _fileset_info *fs);
// The log closed, no set selected.
void CloseInstallLog(void);

int PathExists(const char *path);
void LogDirectoryMade(struct _setup_info *si, const char *dir);
// A file written whole under its own name, with its length and CRC-32;
// existed: one was there before.
void LogFileWritten(struct _setup_info *si, const char *path, int existed, unsigned long long size,
                    unsigned long crc);
// A new file is about to be written under its own name, its first byte
// not yet: a run killed meanwhile leaves this line as the file's last.
void LogFileStarted(struct _setup_info *si, const char *path);
// The number of levels of key_path (below HKEY_LOCAL_MACHINE) that exist.
int ExistingKeyLevels(const char *key_path);
// The keys of key_path below its first existing levels, parent first.
void LogKeysMade(struct _setup_info *si, const char *key_path, int existing_levels);
// RegSetValueExA on key, which is key_path below HKEY_LOCAL_MACHINE, with
// the value it replaces recorded.
LONG SetLoggedValue(struct _setup_info *si, HKEY key, const char *key_path, const char *name, DWORD type,
                    const void *data, DWORD cb);
// An element about to be put in front of the system's Path, or one that
// was there already (existed): the set needs it all the same. path_type:
// the type Path is stored with, which its writing changes.
void LogPathElement(struct _setup_info *si, const char *dir, int existed, unsigned long path_type);
// SetEnvVariable, with the lines it changes in AUTOEXEC.BAT recorded.
int SetLoggedEnvVariable(struct _setup_info *si, const char *var, const char *value, int mode);
// A Start-menu group folder made, a shortcut file saved.
void LogGroupMade(struct _setup_info *si, const char *folder);
void LogShortcutSaved(struct _setup_info *si, const char *link, int existed);
// The Programs folder of the Start menu that the groups go into; 0 when
// the system cannot say.
int ProgramsFolder(struct _setup_info *si, char *dir, size_t cb);
// A file's size and CRC-32; 0 when it cannot be read.
int FileChecksum(const char *path, unsigned long long *size, unsigned long *crc);
