// script.h - setup.inf as the installer reads it, line by line, for the
// medium builder and checker.
//
// The judgement is the installer's own: the scanner and the body-line
// rules of the driver run on the script, and their fatal stops become
// diagnostics naming the line.
#pragma once

#include <string>
#include <vector>

struct Diagnostic {
    int line;  // 0: about the medium, not a line
    bool error;
    std::string text;
    bool note = false;  // neither error nor warning: what check found
};

enum class LineKind { OTHER, FILESET, BEGIN, END, CHANGEDISK, COMPRESSION, IMAGE, APPITEM, DIRECTORY, FILE };

struct ScriptLine {
    int number;
    std::string text;  // without its line end
    LineKind kind = LineKind::OTHER;
    int set = 0;       // the file set it belongs to: the ENDs read before it
    bool in_block = false;
    // END: whether a figure stands, and which; CHANGEDISK: the disk.
    bool has_figure = false;
    unsigned long figure = 0;
    int disk = 0;
    // FILE: the source word (where it stands in text) and the destination;
    // DIRECTORY: the directory in destination;
    // APPITEM: the program in destination, unless a system program.
    std::string source;
    size_t source_at = 0;
    std::string destination;
    bool system_program = false;
};

struct Script {
    std::vector<ScriptLine> lines;
    std::vector<Diagnostic> diagnostics;
};

// The script's bytes made into lines as the installer's private copy has
// them (a UTF-16 script is refused), each line classified.
Script ReadScript(const std::string &bytes);

// A file set as the scanner leaves it (on the NT family).
struct ScannedSet {
    std::string name, software, major, minor, release, cpu;
    bool selected = false;
};
struct ScannedScript {
    std::string company;
    std::vector<ScannedSet> sets;  // every completed set, the set-up set first
};

// Runs the installer's scanner over the script's lines; its fatal stop, if
// any, is added as an error at the line it stopped on. What the scan on the
// NT family found goes to scanned when given.
void ScanAsTheInstaller(Script &script, ScannedScript *scanned = nullptr);

// Lower case, backslashes made slashes: names on a medium compare so.
std::string FoldName(const std::string &name);

// "setup.inf:LINE: error: TEXT" (or warning, note), in line order.
void PrintDiagnostics(std::vector<Diagnostic> diagnostics, const char *file);
bool HasErrors(const std::vector<Diagnostic> &diagnostics);
