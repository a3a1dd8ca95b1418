// medium_file.h - a file of the installation medium read whole into memory:
// the one way to the medium's own files that are not payload.
#pragma once

#include "base/setup_info.h"

#include <stddef.h>

enum medium_file_result { MEDIUM_FILE_READ, MEDIUM_FILE_MISSING, MEDIUM_FILE_TOO_LARGE, MEDIUM_FILE_UNREADABLE };

// Reads the file of that medium-relative name (below src_dir) into buffer;
// *length is its size. A file larger than cb is not read.
enum medium_file_result ReadMediumFile(struct _setup_info *si, const char *name, unsigned char *buffer, size_t cb,
                                       size_t *length);
