// lz_compress.h - writes the medium's compressed files: the format that
// lz_expand.h reads and expand.exe expands (see there for the layout).
//
// Every length is written whole, 0 and the tiniest files included: the
// header states the length, the items follow in flag groups of up to
// eight, and nothing comes after the last item. References start in the
// window's starting blanks as well as in the bytes already written; they
// never reach back further than the window minus the longest run, so a
// decoder that copies a run byte by byte reads each byte before it is
// overwritten. Nothing here calls Windows.
#pragma once

#include <stddef.h>
#include <stdint.h>

enum {
    LZ_MIN_RUN = 3,
    LZ_MAX_RUN = 18,
    LZ_START_POSITION = 4096 - 16,  // the window position of the first byte written
};

// The most bytes LzCompress can write for size bytes of input.
size_t LzCompressBound(size_t size);

// Compresses size bytes (at most 0xFFFFFFFF) into out, which has room for
// LzCompressBound(size) bytes; last_letter is the last letter of the
// original name (0 for none), kept in the header for whoever restores the
// name. Returns the bytes written, or 0 when size does not fit the header.
size_t LzCompress(const unsigned char *input, size_t size, char last_letter, unsigned char *out);
