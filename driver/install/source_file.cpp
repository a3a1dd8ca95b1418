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

// Fills input_piece; 0 bytes at the end of the file, -1 on a read error.
long read_piece(HANDLE source)
{
    DWORD got = 0;
    if (!ReadFile(source, input_piece, PIECE_SIZE, &got, NULL))
        return -1;
    return static_cast<long>(got);
}

// Others may read the medium, or write it, as CopyFileA allows.
HANDLE open_source(const char *path)
{
    return CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING,
                       FILE_FLAG_SEQUENTIAL_SCAN, NULL);
}

[[noreturn]] void source_failed(struct _setup_info *si, struct staged_file *stage, HANDLE source)
{
    DWORD error = GetLastError();
    CloseHandle(source);
    StageWriteFailed(si, stage, error);
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
// system can tell both (asking by name looks the name up once more).
int source_time_and_attributes(HANDLE source, const char *path, FILETIME *changed, DWORD *attributes)
{
    FILE_BASIC_INFO basic;
    if (BasicInfoByHandle(source, &basic)) {
        changed->dwLowDateTime = basic.LastWriteTime.LowPart;
        changed->dwHighDateTime = static_cast<DWORD>(basic.LastWriteTime.HighPart);
        *attributes = basic.FileAttributes;
        return 1;
    }
    FILETIME created, accessed;
    if (!GetFileTime(source, &created, &accessed, changed))
        return 0;
    *attributes = GetFileAttributesA(path);
    return 1;
}

}  // namespace

// A source that cannot be opened here goes to expand.exe too, which
// reports it as before. The file keeps the time it was written at, as
// expand.exe leaves it.
int DecodeFile(struct _setup_info *si, struct staged_file *stage)
{
    HANDLE source = open_source(si->temp_src_path);
    if (source == INVALID_HANDLE_VALUE)
        return 0;
    long got = read_piece(source);
    if (got < static_cast<long>(sizeof LZ_SIGNATURE) ||
        memcmp(input_piece, LZ_SIGNATURE, sizeof LZ_SIGNATURE) != 0) {
        CloseHandle(source);
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
        got = read_piece(source);
    }
    if (got < 0)
        source_failed(si, stage, source);
    CloseHandle(source);
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
    HANDLE source = open_source(si->temp_src_path);
    if (source == INVALID_HANDLE_VALUE)
        StageWriteFailed(si, stage, GetLastError());
    long long size = 0;
    FILETIME changed;
    DWORD attributes = INVALID_FILE_ATTRIBUTES;
    if (!FileSize(source, &size) || !source_time_and_attributes(source, si->temp_src_path, &changed, &attributes))
        source_failed(si, stage, source);
    const unsigned long long length = static_cast<unsigned long long>(size);
    OpenStage(si, stage, copied_attributes(attributes));
    long got = 0;
    while (stage->length < length && (got = read_piece(source)) > 0) {
        if (!WriteStage(stage, input_piece, static_cast<DWORD>(got)))
            source_failed(si, stage, source);
        if (length > PIECE_SIZE)
            ShowFileProgress(si, stage->length);
    }
    if (got < 0)
        source_failed(si, stage, source);
    SetFileTime(stage->writer, NULL, NULL, &changed);
    CloseHandle(source);
    if (stage->length != length) {
        DiscardStage(stage);
        FatalStopFormatted(si, "Fatal Error", "File %s was not copied whole to %s\n", si->temp_src_path,
                           si->temp_dst_path);
    }
}
