// scratch_files.h - what a run writes for itself alone: the private copy of
// the script and the temporary file an installed file is written to. Every
// ending of the run removes them, a quit and a fatal stop among them.
#pragma once

#include "base/setup_info.h"

// The file that an installed file is written to: under its own name when
// that is free, else a temporary file beside temp_dst_path; and a file of the same temporary name that an earlier run
// cut short may have left there (empty when there is none).
struct staged_file {
    char path[MAX_PATH] = {};   // empty while there is none
    char leftover[MAX_PATH] = {};
    HANDLE writer = INVALID_HANDLE_VALUE;  // open from the file's creation until it is whole
    unsigned long long length = 0;         // bytes in the file
    unsigned long crc = 0;                 // their CRC-32, for the installation log
    int in_place = 0;                      // written under its own name, which was free
    int name_taken = 0;                    // the own name was in use when the file was begun
};

// The file being written, from its creation until it is put in place or
// discarded; null when none is.
void SetOpenStage(struct staged_file *stage);
// Removes the temporary file, if there is one.
void DiscardStage(struct staged_file *stage);

// The private copy of the script and the part of a file being written
// removed: every ending of the run calls it.
void RemoveScratchFiles(struct _setup_info *si);
// Removes them also when the toolkit ends the run itself (an unattended
// run that aborts), through exit; si lives until the process ends.
void RemoveScratchFilesAtExit(struct _setup_info *si);
