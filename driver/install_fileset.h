// install_fileset.h - the copy phase's helpers, shared by its files.
#pragma once

#include "body_line.h"

// The file line taken apart in line: brings the file over, records its
// program or info item in fs and counts it in the progress.
void InstallFileLine(struct _setup_info *si, struct _fileset_info *fs, const struct body_line *line);

// The temporary file that an installed file is written to, beside
// temp_dst_path, and a file of the same temporary name that an earlier run
// cut short may have left there (empty when there is none).
struct staged_file {
    char path[MAX_PATH];
    char leftover[MAX_PATH];
    HANDLE writer;  // open while the file is written in pieces, else INVALID_HANDLE_VALUE
};

// Creates the empty temporary file for temp_dst_path. Until it is put in
// place or discarded, a quit or fatal stop removes it (RemoveScratchFiles).
void OpenStage(struct _setup_info *si, struct staged_file *stage);
// Opens the temporary file for writing in pieces, into stage->writer.
void OpenStageWriter(struct _setup_info *si, struct staged_file *stage);
// Closes stage->writer; the file must have length bytes by then.
void CloseStageWriter(struct _setup_info *si, struct staged_file *stage, unsigned long long length);
// Removes the temporary file, if there is one.
void DiscardStage(struct staged_file *stage);
// Removes the temporary file of the file being written, if any.
void DiscardOpenStage(void);
// The temporary file removed, the fatal stop of a file that could not be
// written: "Error expanding file" on a compressed medium, else "Copying File"
// with the error code.
[[noreturn]] void StageWriteFailed(struct _setup_info *si, struct staged_file *stage, DWORD error);
// The whole file takes its own name, replacing the earlier one, and loses
// a read-only attribute; the leftover goes if it was this file's beginning.
void PutStageInPlace(struct _setup_info *si, struct staged_file *stage);
// The file exists and has exactly length bytes.
int HasLength(const char *path, unsigned long long length);

// Decompresses temp_src_path into the temporary file with expand.exe and
// checks that the result is whole.
void ExpandFile(struct _setup_info *si, struct staged_file *stage);
// Decodes temp_src_path into the temporary file when it carries the
// compressor's signature; returns 0, having written nothing, when it does
// not (such a file is for expand.exe). Damage is a fatal stop.
int DecodeFile(struct _setup_info *si, struct staged_file *stage);
// Copies temp_src_path into the temporary file in pieces, showing the
// progress within the file.
void CopyFileInPieces(struct _setup_info *si, struct staged_file *stage);

// Files from LARGE_FILE bytes on are copied in pieces of PIECE_SIZE with
// the progress shown within them; smaller ones in one go.
enum { LARGE_FILE = 1 << 20, PIECE_SIZE = 256 * 1024 };
// Shows that done bytes of the current file are written and serves what
// waits in the window's queue (the Cancel button among it).
void ShowFileProgress(struct _setup_info *si, unsigned long long done);
