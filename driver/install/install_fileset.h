// install_fileset.h - the copy phase's helpers, shared by its files.
#pragma once

#include "script/body_line.h"
#include "script/file_record.h"
#include "base/scratch_files.h"

// The file line taken apart in line: brings the file over, records its
// program or info item in fs and counts it in the progress. A file that
// differs from the medium's record of it is a fatal stop before it takes
// its name.
void InstallFileLine(struct _setup_info *si, struct _fileset_info *fs, const struct body_line *line,
                     const struct file_record *record);

// Creates the empty temporary file for temp_dst_path with these attributes,
// open for writing, in a record that has none yet. Until it is put in place
// or discarded, a quit or fatal stop removes it (RemoveScratchFiles).
void OpenStage(struct _setup_info *si, struct staged_file *stage, DWORD attributes);
// Appends size bytes to the temporary file, counted in length and crc; 0
// when they cannot be written, with the reason in GetLastError.
int WriteStage(struct staged_file *stage, const void *bytes, DWORD size);
// Closes the writer; the file must hold the length written, by its handle
// and after the close.
void CloseStageWriter(struct _setup_info *si, struct staged_file *stage);
// The temporary file removed, the fatal stop of a file that could not be
// written: "Error expanding file" on a compressed medium, else "Copying File"
// with the error code.
[[noreturn]] void StageWriteFailed(struct _setup_info *si, struct staged_file *stage, DWORD error);
// A file that another program wrote may be read-only; a second
// installation must be able to replace it.
void MakeStageWritable(struct _setup_info *si, struct staged_file *stage);
// The whole file takes its own name, replacing the earlier one; a writer
// still open is checked and closed on the way. The leftover goes if it was
// this file's beginning. Returns 1 when there was an earlier one.
int PutStageInPlace(struct _setup_info *si, struct staged_file *stage);
// The file exists and has exactly length bytes.
int HasLength(const char *path, unsigned long long length);

// Decompresses temp_src_path into a temporary file with expand.exe and
// checks that the result is whole.
void ExpandFile(struct _setup_info *si, struct staged_file *stage);
// Decodes temp_src_path into a temporary file, its writer left open, when
// it carries the compressor's signature; returns 0, having written nothing,
// when it does not (such a file is for expand.exe). Damage is a fatal stop.
int DecodeFile(struct _setup_info *si, struct staged_file *stage);
// Copies temp_src_path (or on the one-file medium its entry) into a
// temporary file, as CopyFileA would; its writer is left open.
void CopySourceFile(struct _setup_info *si, struct staged_file *stage);

// The one-file medium (archive_source.cpp). When SETUP_ARCHIVE names the
// downloaded program, its archive is opened for the run and set in
// si->archive; a file that cannot be used is a fatal stop naming it and the
// fault, before any dialog. Without the variable nothing changes.
void OpenMediumArchive(struct _setup_info *si);
// Begins the entry named unique_src_fname; 0 when there is none.
int BeginArchiveEntry(struct _setup_info *si);
// The next bytes of the entry begun into piece; 0 at its end once its
// length and CRC-32 were found right, -1 on damage or a read error.
long ReadArchivePiece(struct _setup_info *si, void *piece, size_t size);
// The entry begun: its length, and its time of last change.
unsigned long long ArchiveEntryLength(void);
int ArchiveEntryTime(FILETIME *changed);
// The file being written removed, the fatal stop naming the damaged entry.
[[noreturn]] void ArchiveEntryFailed(struct _setup_info *si, struct staged_file *stage);

// Sources are read in pieces of PIECE_SIZE; a file of more than one piece
// shows its progress within it.
enum { PIECE_SIZE = 256 * 1024 };
// Shows that done bytes of the current file are written and serves what
// waits in the window's queue (the Cancel button among it).
void ShowFileProgress(struct _setup_info *si, unsigned long long done);
