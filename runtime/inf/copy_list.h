// copy_list.h - the files the next copy will copy, and what it needs of them.
#pragma once

#include <string>
#include <vector>

namespace rt {

struct CopyEntry {
    std::string source;       // full paths
    std::string destination;
    long long size = -1;      // field 15; -1 when the line gives none
    std::string version;      // field 19; "" when the line gives none
    bool special = false;     // copied even over a newer installed version
};

// In the order the files were added.
const std::vector<CopyEntry> &CopyListEntries();

// What a source holds: a compressed source is expanded on copying and
// counts with its expanded size.
struct SourceFacts {
    bool readable = false;
    bool compressed = false;
    long long bytes = 0;
};
SourceFacts InspectSource(const std::string &path);

// The bytes the file will take once installed: its size field, else what
// its source expands to; -1 when neither can be had.
long long InstalledBytes(const CopyEntry &entry);

// True when the file is to be left alone: not special, and the installed
// file's version is newer than the entry's.
bool KeepsInstalledFile(const CopyEntry &entry);

// Copies or expands the source over whatever is at the destination, through
// a temporary file beside it, so a failed copy leaves the old file whole.
// GRC_OKAY, or the failure's code.
int InstallFile(const CopyEntry &entry, const SourceFacts &source);

}  // namespace rt
