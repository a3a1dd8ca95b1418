// log_lines.h - the lines of the installation log: written by the
// installation, read strictly by the uninstallation.
//
// A line is a kind, then fields separated by one blank (a word, or a text
// in double quotes with \\, \" and \xHH escapes), then " ~" and the CRC-32
// of everything before it in eight hex digits. The first line names the
// format and its version, the second the software name.
#pragma once

#include "base/crc32.h"

#include <string>
#include <vector>

extern const char LOG_FIRST_LINE[];

enum log_kind {
    LOG_SOFTWARE,  // software "NAME"
    LOG_FILESET,   // fileset "NAME"
    LOG_DIR,       // dir "PATH"                          a directory made
    LOG_FILE,      // file "PATH" new|existed SIZE CRC    a file written
                   // file "PATH" part                   a new file about to be written under its own
                   //                                     name; the file line of PATH after it says it
                   //                                     is whole
    LOG_ROOTFILE,  // rootfile "PATH" new|existed SIZE CRC AUTOEXEC.BAT or its backup at a drive's root
    LOG_KEY,       // key "KEY"                           a key below HKEY_LOCAL_MACHINE made
    LOG_VALUE,     // value "KEY" "NAME" new | value "KEY" "NAME" was TYPE HEX, then set TYPE HEX
    LOG_PATH,      // path "DIR" [existed] [type TYPE]    an element of the system's Path the set needs,
                   //                                     and the type Path was stored with
    LOG_BATCH,     // batch added "LINE" | batch changed "BEFORE" "AFTER"   AUTOEXEC.BAT
    LOG_GROUP,     // group "FOLDER"                      a Start-menu folder made
    LOG_SHORTCUT,  // shortcut "FILE" new|existed
};

struct log_record {
    enum log_kind kind;
    int line;                 // in the log, from 1
    std::string path;         // the first text: path, key, element, line
    std::string second;       // value name; a changed batch line's new text
    int existed;              // file, backup, shortcut, value, Path element: there before
    unsigned long long size;  // file, backup
    unsigned long crc;        // file, backup
    int part;                 // file: written from here on, not yet whole
    unsigned long type;       // value that was there: its type and bytes; Path's stored type
    std::string data;
    int has_set;              // value: what the installation set, when the log says
    unsigned long set_type;
    std::string set_data;
};

// The text as a quoted field.
std::string QuoteLogText(const std::string &text);
// The line for a record (without the line end).
std::string FormatLogRecord(const struct log_record *record);
// The body with its checksum appended.
std::string SealLogLine(const std::string &body);

// Takes every line of a log apart; false with a problem naming the first
// line that is not sound, and then records stays empty.
bool ParseLog(const std::string &text, std::vector<struct log_record> &records, std::string &problem);
