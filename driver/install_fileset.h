// install_fileset.h - the copy phase's helpers, shared by its files.
#pragma once

#include "body_line.h"

// The file line taken apart in line: brings the file over, records its
// program or info item in fs and counts it in the progress.
void InstallFileLine(struct _setup_info *si, struct _fileset_info *fs, const struct body_line *line);

// Decompresses temp_src_path into temp_dst_path with expand.exe, straight
// on Windows NT, through temp_expand_path on the Windows 95 family.
void ExpandFile(struct _setup_info *si);
