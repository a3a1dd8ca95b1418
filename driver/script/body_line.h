// body_line.h - a line of a file set's block, taken apart before the
// installer acts on it.
//
// Everything the installer checks of a line happens here and touches no
// disk: its kind, its words and bracket values, and the paths they make,
// each within its buffer of the setup record. A line that the block may
// not hold, or that lacks a required part, is a fatal stop.
#pragma once

#include "base/setup_info.h"

// Kinds of file line: the letter that starts it.
enum { FILE_LINE_PLAIN = 1, FILE_LINE_PROGRAM = 2, FILE_LINE_INFO = 3 };

enum body_line_kind {
    BODY_PASSED_OVER,  // a comment, a header or a global keyword line
    BODY_BEGIN,
    BODY_END,
    BODY_DIRECTORY,    // "D": temp_dst_path names the directory to make
    BODY_CHANGEDISK,
    BODY_FILE,         // "F", "P", "I"
};

// The parts of a body line; the texts point into input_line_buf.
struct body_line {
    enum body_line_kind kind;
    int disk;                 // CHANGEDISK: the disk the next files come from
    int file_type;            // file lines: FILE_LINE_*
    const char *source;       // the file's name in the medium's file directory
    const char *destination;  // below the destination directory; a "D" line's directory
    const char *icon;         // program and info lines
    const char *name;         // program and info lines: the shortcut's name
    const char *program;      // info lines: what opens the document
};

// Takes apart the line at line_ptr. For a directory line it composes
// temp_dst_path from dst_dir; for a file line unique_src_fname,
// temp_src_path (from src_disk_dir), dir, fname, ext and temp_dst_path.
// A FILESET line, an unknown or empty line and a line lacking a part stop
// the program with "Corrupted setup.inf file"; a name or path too long for
// its buffer stops it with a text naming it.
void TakeBodyLine(struct _setup_info *si, struct body_line *line);

// The words of a directory or file line at line_ptr, with nothing composed
// and nothing stopped: for the scanner, which judges them before anything
// is copied. 0 when the line is no such line or lacks a word (the installer
// stops at it later).
int TakeBodyLineWords(struct _setup_info *si, struct body_line *line);

// A line of the block lacks a required part, or is a second BEGIN or a
// FILESET line.
[[noreturn]] void CorruptedScript(struct _setup_info *si);
