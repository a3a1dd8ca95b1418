// setup.h - the functions of the setup driver.
#pragma once

#include "setup_info.h"

// Start-up (startup.cpp).
int InitSetupInfo(struct _setup_info *si, HINSTANCE hInstance);
int RunningAsAdministrator(void);
// src_drive and src_drive_type from src_dir.
void SetSourceDrive(struct _setup_info *si);

// Paths (paths.cpp): AppendSlash needs room for one more character.
void AppendSlash(char *sz1);
void StripSlash(char *sz1);

// The script (scan.cpp, script_line.cpp).
int ScanForFileSets(struct _setup_info *si);
char *skip_delimiters(char *string_buf_ptr);
char *skip_till_char(char *string_buf_ptr, char till_ch);
char *get_till_char(char *string_buf_ptr, char till_ch, char **token);

// Dialogs (dialogs.cpp).
int FSetupPathDialog(struct _setup_info *si);
void InvalidPathDialog(struct _setup_info *si);
void AskQuit(struct _setup_info *si);

// The driver's common ending for unrecoverable errors (fatal.cpp): the
// message box with style 0, the toolkit shut down, exit code 1.
[[noreturn]] void FatalStop(struct _setup_info *si, const char *text, const char *title);
