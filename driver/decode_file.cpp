// decode_file.cpp - compressed files expanded inside the installer, and
// large plain files copied in pieces: both written to the temporary file
// piece by piece, so the progress window moves and answers within a file.
#include "install_fileset.h"
#include "lz_expand.h"

#include <string.h>

namespace {

// Small enough that the window answers often even for the most compressed
// data; large enough that reading and asking the queue cost little.
unsigned char input_piece[PIECE_SIZE];
// About 70 KB: off the stack.
_lz_expand decoder;

struct decoded_output {
    HANDLE writer;
    unsigned long long written;
};

int write_block(void *context, const unsigned char *bytes, size_t size)
{
    decoded_output *output = static_cast<decoded_output *>(context);
    DWORD wrote = 0;
    if (!WriteFile(output->writer, bytes, static_cast<DWORD>(size), &wrote, NULL) || wrote != size)
        return 0;
    output->written += size;
    return 1;
}

// Fills piece with up to size bytes; 0 bytes at the end of the file, -1 on
// a read error.
long read_piece(HANDLE source, unsigned char *piece, DWORD size)
{
    DWORD got = 0;
    if (!ReadFile(source, piece, size, &got, NULL))
        return -1;
    return static_cast<long>(got);
}

HANDLE open_source(const char *path)
{
    return CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, NULL);
}

[[noreturn]] void source_failed(struct _setup_info *si, struct staged_file *stage, HANDLE source)
{
    DWORD error = GetLastError();
    CloseHandle(source);
    StageWriteFailed(si, stage, error);
}

}  // namespace

// A source that cannot be opened here goes to expand.exe too, which
// reports it as before.
int DecodeFile(struct _setup_info *si, struct staged_file *stage)
{
    HANDLE source = open_source(si->temp_src_path);
    if (source == INVALID_HANDLE_VALUE)
        return 0;
    long got = read_piece(source, input_piece, PIECE_SIZE);
    if (got < static_cast<long>(sizeof LZ_SIGNATURE) ||
        memcmp(input_piece, LZ_SIGNATURE, sizeof LZ_SIGNATURE) != 0) {
        CloseHandle(source);
        return 0;
    }
    OpenStageWriter(si, stage);
    decoded_output output = {stage->writer, 0};
    LzExpandBegin(&decoder, write_block, &output);
    LzResult result = LZ_MORE_INPUT;
    while (got > 0 && result == LZ_MORE_INPUT) {
        result = LzExpandFeed(&decoder, input_piece, static_cast<size_t>(got));
        ShowFileProgress(si, output.written);
        got = read_piece(source, input_piece, PIECE_SIZE);
    }
    if (got < 0)
        source_failed(si, stage, source);
    CloseHandle(source);
    if (result == LZ_MORE_INPUT)
        result = LzExpandEnd(&decoder);
    if (result != LZ_DONE)
        StageWriteFailed(si, stage, 0);
    CloseStageWriter(si, stage, output.written);
    return 1;
}

// The copy keeps what CopyFileA keeps: the time of the last change and the
// attributes.
void CopyFileInPieces(struct _setup_info *si, struct staged_file *stage)
{
    HANDLE source = open_source(si->temp_src_path);
    if (source == INVALID_HANDLE_VALUE)
        StageWriteFailed(si, stage, GetLastError());
    OpenStageWriter(si, stage);
    unsigned long long written = 0;
    long got;
    while ((got = read_piece(source, input_piece, PIECE_SIZE)) > 0) {
        DWORD wrote = 0;
        if (!WriteFile(stage->writer, input_piece, static_cast<DWORD>(got), &wrote, NULL) ||
            wrote != static_cast<DWORD>(got))
            source_failed(si, stage, source);
        written += wrote;
        ShowFileProgress(si, written);
    }
    if (got < 0)
        source_failed(si, stage, source);
    FILETIME created, accessed, changed;
    if (GetFileTime(source, &created, &accessed, &changed))
        SetFileTime(stage->writer, NULL, NULL, &changed);
    CloseHandle(source);
    CloseStageWriter(si, stage, written);
    DWORD attributes = GetFileAttributesA(si->temp_src_path);
    if (attributes != INVALID_FILE_ATTRIBUTES)
        SetFileAttributesA(stage->path, attributes);
}
