// medium.h - where a medium of each kind keeps its script, its files and
// its diskette markers, as the installer looks for them.
#pragma once

#include <filesystem>
#include <map>
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
    const std::map<std::string, std::string> &Listing(const fs::path &directory);
    std::map<fs::path, std::map<std::string, std::string>> listings_;
};

// A file's bytes; false when it cannot be read.
bool ReadWholeFile(const fs::path &path, std::string &bytes);

// The kind a script asks for (its last image line), and whether it says
// COMPRESSED (its last compression line).
MediumKind ScriptKind(const Script &script);
bool ScriptCompressed(const Script &script);

struct CheckOptions {
    fs::path trusted;              // certificates (PEM) trusted instead of the system's
    bool any_certificate = false;  // an intact signature counts, whoever issued its certificate
};

// Everything check finds wrong with the medium at top, and the signatures
// of its program files.
std::vector<Diagnostic> CheckMedium(const fs::path &top, const CheckOptions &options = CheckOptions());
