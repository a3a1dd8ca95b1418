// one_file.h - the one-file medium: the launcher with the single-directory
// medium appended as a ZIP archive, which common tools list and extract.
#pragma once

#include <string>
#include <vector>

#include "medium.h"

// Where the launcher of the program files in programs lies: beside them,
// as in a vendor's kit, else in the build tree's launcher directory. An
// empty path when there is none.
fs::path FindLauncher(const fs::path &programs);

// Writes to the launcher's bytes followed by a ZIP archive of the files
// below top: first those named in first (relative, "/" between parts), then
// every other file below top, so that whatever the directory medium holds
// goes along. Each entry deflated, or stored when store is set or when
// deflating would not shrink it. The central directory's offsets count
// from the start of the file. False with the reason in why.
bool WriteOneFile(const fs::path &launcher, const fs::path &top, const std::vector<std::string> &first,
                  bool store, const fs::path &to, std::string &why);

// Unpacks the archive of a one-file medium into the empty directory into,
// each entry inflated and held against its CRC-32 and length. Errors for
// what is wrong (a foreign or cut file, an entry name that leaves its
// place, damaged data), empty when all is whole.
std::vector<Diagnostic> UnpackOneFile(const fs::path &file, const fs::path &into);
