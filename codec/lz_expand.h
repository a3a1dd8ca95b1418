// lz_expand.h - expands the medium's compressed files inside the installer,
// writing the same bytes as expand.exe, without a child process per file.
//
// A compressed file is a 14-byte header (the signature 'S','Z','D','D',0x88,
// 0xF0,0x27,0x33; the method 'A'; the last letter of the original name or 0;
// the expanded length, 4 bytes, low byte first) and then the items: a flag
// byte whose bits, lowest first, say for each of the next eight items
// whether it is one literal byte (1) or a two-byte reference (0) to a run of
// 3 to 18 bytes in a 4096-byte window that starts as blanks. The stream ends
// with the input.
//
// The input is fed in pieces of any size and the output goes to the sink in
// blocks, so a file of any length needs only this record (about 70 KB: keep
// it off small stacks). Nothing here calls Windows.
//
// What counts as damage. expand.exe itself takes anything: it ignores the
// expanded length, drops a reference cut by the end of the file, copies a
// file whose header is cut short and writes an empty file for an unknown
// method, all with success. An installer must not take such a file as
// installed, so the decoder reports:
//   LZ_NOT_COMPRESSED       the first 8 bytes are not the signature (or the
//                           file is shorter): not this format at all; the
//                           sink was never called and the file is for
//                           expand.exe, as before
//   LZ_BAD_HEADER           the signature, then a header cut short or a
//                           method other than 'A'
//   LZ_CUT_INSIDE_ITEM      the input ends between the two bytes of a
//                           reference
//   LZ_LONGER_THAN_HEADER   the items give more bytes than the header says;
//                           reported before any byte beyond that length
//                           reaches the sink
//   LZ_SHORTER_THAN_HEADER  the input ends before the header's length
//   LZ_WRITE_FAILED         the sink refused a block
// A flag byte at the very end, with no items after it, ends the stream
// cleanly, as it does for expand.exe. A reference may name any window
// position: those not yet written hold the starting blanks, which the
// compressor may use. So a whole stream of the right length gives exactly
// expand.exe's bytes; the decoder cannot tell a wrong literal from a right
// one (only the length in the header guards the contents).
#pragma once

#include <stddef.h>
#include <stdint.h>

enum {
    LZ_HEADER_SIZE = 14,
    LZ_WINDOW_SIZE = 4096,
    LZ_BLOCK_SIZE = 65536,  // output handed to the sink at a time, at most
};

// The first bytes of every compressed file.
extern const unsigned char LZ_SIGNATURE[8];

enum LzResult {
    LZ_MORE_INPUT,  // all fed input taken; feed more or end
    LZ_DONE,        // whole and of the header's length; all output written
    LZ_NOT_COMPRESSED,
    LZ_BAD_HEADER,
    LZ_CUT_INSIDE_ITEM,
    LZ_LONGER_THAN_HEADER,
    LZ_SHORTER_THAN_HEADER,
    LZ_WRITE_FAILED,
};

// Takes size bytes of output; returns 0 when they could not be written.
typedef int (*LzSink)(void *context, const unsigned char *bytes, size_t size);

struct _lz_expand {
    LzSink sink;
    void *context;
    enum LzResult result;       // LZ_MORE_INPUT until the stream is judged
    unsigned char header[LZ_HEADER_SIZE];
    size_t header_size;         // header bytes read so far
    uint32_t announced;         // the expanded length from the header
    uint32_t remaining;         // bytes the header still allows
    unsigned flags;             // flag bits still to use, above a marker bit
    int cut_low;                // first byte of a reference cut by a piece's end, or -1
    size_t end;                 // end of the output in buffer
    // The last LZ_WINDOW_SIZE bytes written (blanks at the start), then the
    // output not yet handed to the sink; the window's positions map onto
    // the bytes before end.
    unsigned char buffer[LZ_WINDOW_SIZE + LZ_BLOCK_SIZE];
};

// Starts a stream whose output goes to sink(context, ...).
void LzExpandBegin(struct _lz_expand *lz, LzSink sink, void *context);

// Decodes size bytes of input. Returns LZ_MORE_INPUT, or the damage found;
// once a stream is judged, every later call returns the same result.
enum LzResult LzExpandFeed(struct _lz_expand *lz, const unsigned char *input, size_t size);

// The input has ended: hands the rest of the output to the sink and
// returns LZ_DONE or the damage.
enum LzResult LzExpandEnd(struct _lz_expand *lz);

// A short English description of a result, for traces and tools.
const char *LzResultText(enum LzResult result);
