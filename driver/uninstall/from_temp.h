// from_temp.h - the uninstallation runs from a copy of the program in TMP, so
// that the installation's own copy, which the uninstall entry starts, can go
// at once instead of at the next start of Windows.
#pragma once

#include <string>

// When this program is the installation's copy in copy_dir: copies itself to
// a folder of its own in TMP, starts that copy on the same command line,
// hides its window, waits until the copy has done the removal and ends.
// Returns when this program runs from elsewhere, or when the copy in TMP
// cannot be made or started (then the installation's copy goes at the next
// start, as a program in use does).
void RunFromTemp(const std::string &copy_dir);

// In the copy in TMP: tells the starter that the removal is done and waits
// until it has ended, so that its files can be removed; nothing elsewhere.
void ReleaseStarter(void);

// In the copy in TMP: its own folder, whose files go at the next start of
// Windows or of Setup; "" elsewhere.
std::string TempCopyFolder(void);
