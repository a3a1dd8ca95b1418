// script_checks.h - what a script may ask of the machine: paths that stay
// in their place, environment settings that cannot damage the system, and
// shortcut names that are file names.
//
// Plain functions over texts, without the setup record, so that whatever
// reads a script (the installer, a medium builder) judges it the same way.
// Each check returns null when the text is safe, otherwise a short reason
// that the caller puts into its message.
#pragma once

#include <stddef.h>

// A body line's source: a relative name in the medium's file directory.
const char *SourceFault(const char *source);
// A file line's destination below the installation directory. Its drive
// part is dropped by the installer, so only the rest is judged.
const char *DestinationFault(const char *destination);
// A directory line's directory, one level below the installation directory.
const char *DirectoryFault(const char *directory);

// 1 when the component [start, end) names a device (CON, NUL, AUX, PRN,
// COM1-9, LPT1-9, CONIN$, CONOUT$) in any case, with or without extension.
int IsDeviceName(const char *start, const char *end);

// 1 when path starts with a drive letter and a colon.
int HasDrive(const char *path);

// batch_file: the setting is kept in AUTOEXEC.BAT (the 95 family), whose
// lines the command interpreter runs at every start.
const char *VariableNameFault(const char *name, int batch_file);
const char *VariableValueFault(const char *value, int batch_file);
// One directory of an ADDPATH line.
const char *SearchPathEntryFault(const char *entry, int batch_file);

// A group or item name as one file name in the Programs folder: characters
// a file name cannot hold become "_", and a device name gets a "_" in
// front. 0 when nothing of the name is left (empty, or only dots and
// blanks, which would climb out of the folder or vanish) or when the result
// does not fit in cb bytes.
int CleanFileName(char *out, size_t cb, const char *name);
const char *ShortcutNameFault(const char *name);
const char *GroupNameFault(const char *name);

// The product's name as the customer reads it on every screen, in the
// uninstall entry and in the log: one line of plain text.
enum { MAX_PRODUCT_NAME = 63 };
const char *ProductNameFault(const char *name);
// The banner picture: a relative name of a .bmp file on the medium.
const char *BannerFileFault(const char *file);

// The banner's bitmap file as Windows shows it: a whole BMP file of a
// format every Windows version loads and a size that fits above the
// dialogs. Null when sound; then width and height are set.
enum { BANNER_MAX_BYTES = 1024 * 1024, BANNER_MIN_SIDE = 16, BANNER_MAX_WIDTH = 640, BANNER_MAX_HEIGHT = 200 };
const char *BannerBitmapFault(const unsigned char *bytes, size_t size, long *width, long *height);
