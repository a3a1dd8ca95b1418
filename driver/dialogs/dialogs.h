// dialogs.h - the dialog sequence: welcome, source and destination, express
// or custom (install_type.cpp), the messages about a location, the quit
// question and the last dialog, run from the dialog library.
#pragma once

#include "base/setup_info.h"

int FSetupPathDialog(struct _setup_info *si);
// src_drive and src_drive_type from src_dir.
void SetSourceDrive(struct _setup_info *si);
// The product's name (product_name) on the frame's title and backdrop and
// in every dialog.
void ShowProductName(struct _setup_info *si);
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
// location: the drive or directory refused, named in the message.
void InvalidPathDialog(struct _setup_info *si, enum LocationProblem problem, const char *location);
void DestIsSrcDialog(struct _setup_info *si);
void InsufficientDiskSpaceDialog(struct _setup_info *si);
// The free space holds the required space, the uninstaller's copy and its
// log.
int SpaceSuffices(struct _setup_info *si);
// Bytes of the checked file sets, at most the largest long.
long RequiredSpace(struct _setup_info *si);
// Bytes of the sets this installation copies (the express sets, or the
// checked ones): the whole of the progress.
long InstalledSpace(struct _setup_info *si);
