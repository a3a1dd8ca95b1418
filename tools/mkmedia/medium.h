// medium.h - where a medium of each kind keeps its script, its files and
// its diskette markers, as the installer looks for them.
#pragma once

#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "script.h"

namespace fs = std::filesystem;

enum class MediumKind { SINGLE, FLOPPY, CDROM };

// The three program files beside setup.inf.
extern const char *const kProgramFiles[3];

// The directory of setup.inf: DISK1 of a floppy set, else the top.
fs::path ScriptDirectory(const fs::path &top, MediumKind kind);
// Where the installer takes the files of disk n.
fs::path FilesDirectory(const fs::path &top, MediumKind kind, int disk);
// The marker file that proves diskette n.
fs::path MarkerFile(const fs::path &top, int disk);

// Names on a medium are found as Windows finds them: whatever their case.
// Directory listings are kept, so many look-ups in one tree stay cheap.
class NameFinder {
public:
    // The existing path for relative (a name with "\" or "/" between its
    // parts) below base, or an empty path.
    fs::path Find(const fs::path &base, const std::string &relative);

private:
    const std::map<std::string, std::string> &Listing(const std::string &directory);
    std::map<std::string, std::map<std::string, std::string>> listings_;  // by directory
};

// A file's bytes; false when it cannot be read.
bool ReadWholeFile(const fs::path &path, std::string &bytes);
// A file's length and CRC-32, read through; false when it cannot be read.
bool SumFile(const fs::path &path, unsigned long long &length, unsigned long &crc);

// The kind a script asks for (its last image line), and whether it says
// COMPRESSED (its last compression line).
MediumKind ScriptKind(const Script &script);
bool ScriptCompressed(const Script &script);

// mkmedia build names the product tree of a medium and the files it put
// there in a record beside it, DIR.mkmedia, never on it: the medium ships
// as it is, and a later build replaces only what the record lists.
fs::path BuildRecord(const fs::path &medium);
bool WriteBuildRecord(const fs::path &medium, const fs::path &product);
bool IsBuildRecord(const fs::path &record);
// The product tree the record names, or an empty path.
fs::path ReadBuildRecord(const fs::path &medium);
// Whether the record says that the medium is one file (--kind exe).
bool IsOneFileRecord(const fs::path &medium);
// The medium's files the record lists, "/" between their parts; false when
// there is no record.
bool ReadBuildRecordFiles(const fs::path &medium, std::set<std::string> &files);

struct CheckOptions {
    fs::path trusted;              // certificates (PEM) trusted instead of the system's
    bool any_certificate = false;  // an intact signature counts, whoever issued its certificate
};

// Everything check finds wrong with the medium at top, and the signatures
// of its program files.
std::vector<Diagnostic> CheckMedium(const fs::path &top, const CheckOptions &options = CheckOptions());
