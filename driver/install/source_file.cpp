// source_file.cpp - a file of the medium read once, through one handle, into
// the temporary file: decoded when it is in the compressor's format, else
// copied as it is. A file of more than one piece shows its progress within
// it, so that the window moves and answers meanwhile.
#include "install/install_fileset.h"
#include "base/fatal.h"
#include "lz_expand.h"
#include "later_windows.h"

#include <string.h>

namespace {

// Small enough that the window answers often even for the most compressed
// data; large enough that reading and asking the queue cost little.
unsigned char input_piece[PIECE_SIZE];
// About 70 KB: off the stack.
_lz_expand decoder;

int write_block(void *context, const unsigned char *bytes, size_t size)
{
    return WriteStage(static_cast<struct staged_file *>(context), bytes, static_cast<DWORD>(size));
}

// Where the file's bytes come from: a file of the medium through its
// handle, or on the one-file medium the archive's entry.
struct source {
    struct _setup_info *si;
    HANDLE file;
};

// Others may read the medium, or write it, as CopyFileA allows. 0 when the
// file or entry is not there or cannot be opened.
int open_source(struct _setup_info *si, struct source *from)
{
    from->si = si;
    from->file = INVALID_HANDLE_VALUE;
    if (si->archive != NULL)
        return BeginArchiveEntry(si);
    from->file = CreateFileA(si->temp_src_path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                             OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, NULL);
    return from->file != INVALID_HANDLE_VALUE;
}

void close_source(struct source *from)
{
    if (from->file != INVALID_HANDLE_VALUE)
        CloseHandle(from->file);
    from->file = INVALID_HANDLE_VALUE;
}

// Fills input_piece; 0 bytes at the end of the file, -1 on a read error
// (or damage in an archive's entry).
long read_piece(struct source *from)
{
    if (from->si->archive != NULL)
        return ReadArchivePiece(from->si, input_piece, PIECE_SIZE);
    DWORD got = 0;
    if (!ReadFile(from->file, input_piece, PIECE_SIZE, &got, NULL))
        return -1;
    return static_cast<long>(got);
}

// A read or write that failed, with the system's reason.
[[noreturn]] void source_failed(struct _setup_info *si, struct staged_file *stage, struct source *from)
{
    DWORD error = GetLastError();
    close_source(from);
    StageWriteFailed(si, stage, error);
}

// A read that failed: an archive's entry names its damage.
[[noreturn]] void read_failed(struct _setup_info *si, struct staged_file *stage, struct source *from)
{
    if (si->archive != NULL)
        ArchiveEntryFailed(si, stage);
    source_failed(si, stage, from);
}

// The attributes that CopyFileA brings over, but read-only: a file from a
// CD-ROM must not stop a second installation from the same disc.
DWORD copied_attributes(DWORD source)
{
    DWORD kept = source == INVALID_FILE_ATTRIBUTES
                     ? 0
                     : source & (FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    return kept != 0 ? kept : FILE_ATTRIBUTE_NORMAL;
}

// The source's last-write time and attributes, by its handle where the
// system can tell both (asking by name looks the name up once more). An
// archive's entry keeps only its time.
int source_time_and_attributes(const struct source *from, FILETIME *changed, DWORD *attributes)
{
    if (from->si->archive != NULL) {
        *attributes = INVALID_FILE_ATTRIBUTES;
        return ArchiveEntryTime(changed);
    }
    FILE_BASIC_INFO basic;
    if (BasicInfoByHandle(from->file, &basic)) {
        changed->dwLowDateTime = basic.LastWriteTime.LowPart;
        changed->dwHighDateTime = static_cast<DWORD>(basic.LastWriteTime.HighPart);
        *attributes = basic.FileAttributes;
        return 1;
    }
    FILETIME created, accessed;
    if (!GetFileTime(from->file, &created, &accessed, changed))
        return 0;
    *attributes = GetFileAttributesA(from->si->temp_src_path);
    return 1;
}

// The length the source has as it is opened.
int source_length(const struct source *from, unsigned long long *length)
{
    long long size = 0;
    if (from->si->archive != NULL)
        *length = ArchiveEntryLength();
    else if (FileSize(from->file, &size))
        *length = static_cast<unsigned long long>(size);
    else
        return 0;
    return 1;
}

}  // namespace

// A source that cannot be opened here goes to expand.exe too, which
// reports it as before; on the one-file medium the caller copies it. The
// file keeps the time it was written at, as expand.exe leaves it.
int DecodeFile(struct _setup_info *si, struct staged_file *stage)
{
    struct source from;
    if (!open_source(si, &from))
        return 0;
    long got = read_piece(&from);
    if (got < static_cast<long>(sizeof LZ_SIGNATURE) ||
        memcmp(input_piece, LZ_SIGNATURE, sizeof LZ_SIGNATURE) != 0) {
        close_source(&from);
        return 0;
    }
    OpenStage(si, stage, FILE_ATTRIBUTE_NORMAL);
    LzExpandBegin(&decoder, write_block, stage);
    LzResult result = LZ_MORE_INPUT;
    while (got > 0 && result == LZ_MORE_INPUT) {
        result = LzExpandFeed(&decoder, input_piece, static_cast<size_t>(got));
        // Only behind a full piece can there be more.
        if (got == PIECE_SIZE)
            ShowFileProgress(si, stage->length);
        got = read_piece(&from);
    }
    // An entry is read to its end, where its checksum is judged.
    while (si->archive != NULL && got > 0)
        got = read_piece(&from);
    if (got < 0)
        read_failed(si, stage, &from);
    close_source(&from);
    if (result == LZ_MORE_INPUT)
        result = LzExpandEnd(&decoder);
    if (result != LZ_DONE)
        StageWriteFailed(si, stage, 0);
    return 1;
}

// The copy keeps what CopyFileA keeps: the time of the last change and the
// attributes. It counts only with the length the source had when it was
// opened: a source that shrank or vanished on the way gives no whole file.
// (GetFileInformationByHandle would give all at once, but asks the volume
// too, which costs more under Wine than the copy of a small file.)
void CopySourceFile(struct _setup_info *si, struct staged_file *stage)
{
    struct source from;
    if (!open_source(si, &from))
        StageWriteFailed(si, stage, si->archive != NULL ? ERROR_FILE_NOT_FOUND : GetLastError());
    unsigned long long length = 0;
    FILETIME changed;
    DWORD attributes = INVALID_FILE_ATTRIBUTES;
    if (!source_length(&from, &length))
        source_failed(si, stage, &from);
    // An entry's time that names no day leaves the file the time it is written at.
    int timed = source_time_and_attributes(&from, &changed, &attributes);
    if (!timed && si->archive == NULL)
        source_failed(si, stage, &from);
    OpenStage(si, stage, copied_attributes(attributes));
    long got = 0;
    // An entry is read on to its end, where its checksum is judged.
    while ((stage->length < length || si->archive != NULL) && (got = read_piece(&from)) > 0) {
        if (!WriteStage(stage, input_piece, static_cast<DWORD>(got)))
            source_failed(si, stage, &from);
        if (length > PIECE_SIZE)
            ShowFileProgress(si, stage->length);
    }
    if (got < 0)
        read_failed(si, stage, &from);
    SetFileTime(stage->writer, NULL, NULL, timed ? &changed : NULL);
    close_source(&from);
    if (stage->length != length) {
        DiscardStage(stage);
        FatalStopFormatted(si, "Fatal Error", "File %s was not copied whole to %s\n", si->temp_src_path,
                           si->temp_dst_path);
    }
}
