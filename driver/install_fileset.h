// install_fileset.h - the copy phase's helpers, shared by its files.
#pragma once

#include "setup.h"

// Kinds of file line: the letter that starts it.
enum { FILE_LINE_PLAIN = 1, FILE_LINE_PROGRAM = 2, FILE_LINE_INFO = 3 };

// A line of the block lacks a required part, or is a second BEGIN or a
// FILESET line.
[[noreturn]] void CorruptedScript(struct _setup_info *si);

// The file line at line_ptr (its letter included): brings the file over,
// records its program or info item in fs and counts it in the progress.
void InstallFileLine(struct _setup_info *si, struct _fileset_info *fs, int file_type);

// Decompresses temp_src_path into temp_dst_path with expand.exe, straight
// on Windows NT, through temp_expand_path on the Windows 95 family.
void ExpandFile(struct _setup_info *si);
