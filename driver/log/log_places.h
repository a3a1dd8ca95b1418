// log_places.h - where the records of an installation log may point: a log
// is text a person can write, so every place it names is put in its plain
// form and held against the places the installation writes to.
#pragma once

#include "log/log_lines.h"

#include <string>
#include <vector>

// The key of the system's variables, below HKEY_LOCAL_MACHINE.
extern const char ENVIRONMENT_KEY[];

// The places of one installation, in plain form.
struct log_places {
    std::string dir;        // the installation directory, which holds the log
    std::string programs;   // the Start menu's Programs folder ("" when unknown)
    std::string root;       // the boot drive's root, as "C:" (95 family only)
    std::string company;    // the company of the uninstall entry
    std::string software;   // the software the log names
    int win95;
};

// The text with ASCII letters in upper case (double-byte characters as they
// are): equal for two names the system takes as one.
std::string FoldedText(const std::string &text);
// Two names the system takes as one.
bool SameText(const std::string &a, const std::string &b);

// "X:\a\b" from a path that begins with a drive and a separator: every "/"
// made "\", "." and empty steps dropped, ".." taken back. false when the path
// climbs above its drive, is longer than a path may be, or holds a control
// byte, a wildcard or quote, a stream (":" beyond the drive), a device name
// (CON, NUL, AUX, PRN, COM1-9, LPT1-9, with or without an extension) or a
// step that ends in a dot or blank.
bool PlainPath(const std::string &path, std::string &plain);

// path is dir or lies below it (both plain, compared without case).
bool PathLiesIn(const std::string &path, const std::string &dir, bool dir_itself);

// Every record in its plain form and its place, or false with a problem that
// names the first line outside the installation.
bool JudgeLogRecords(std::vector<struct log_record> &records, const struct log_places &places, std::string &problem);
