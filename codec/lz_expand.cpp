// Expanding the medium's compressed files; see lz_expand.h for the format
// and for what counts as damage.
#include "lz_expand.h"

#include <string.h>

const unsigned char LZ_SIGNATURE[8] = {'S', 'Z', 'D', 'D', 0x88, 0xF0, 0x27, 0x33};

namespace {

const unsigned char kMethod = 'A';

enum : unsigned {
    FIRST_POSITION = LZ_WINDOW_SIZE - 16,  // window position of the first byte written
    POSITION_MASK = LZ_WINDOW_SIZE - 1,
    SHORTEST_RUN = 3,
    LONGEST_RUN = SHORTEST_RUN + 15,
    FLAG_MARKER = 0x100,                   // set above the eight bits of a flag byte
};

LzResult Judge(_lz_expand *lz, LzResult result)
{
    lz->result = result;
    return result;
}

// Hands the output to the sink and keeps the last window's worth before the
// next block.
bool Flush(_lz_expand *lz)
{
    size_t size = lz->end - LZ_WINDOW_SIZE;
    if (size != 0 && !lz->sink(lz->context, lz->buffer + LZ_WINDOW_SIZE, size))
        return false;
    memmove(lz->buffer, lz->buffer + size, LZ_WINDOW_SIZE);
    lz->end = LZ_WINDOW_SIZE;
    return true;
}

const unsigned char *ReadHeader(_lz_expand *lz, const unsigned char *in, const unsigned char *stop)
{
    while (lz->header_size < LZ_HEADER_SIZE && in < stop) {
        lz->header[lz->header_size++] = *in++;
        if (lz->header_size == sizeof LZ_SIGNATURE && memcmp(lz->header, LZ_SIGNATURE, sizeof LZ_SIGNATURE) != 0) {
            Judge(lz, LZ_NOT_COMPRESSED);
            return in;
        }
    }
    if (lz->header_size == LZ_HEADER_SIZE) {
        if (lz->header[8] != kMethod)
            Judge(lz, LZ_BAD_HEADER);
        const unsigned char *length = lz->header + 10;
        lz->announced = length[0] | length[1] << 8 | length[2] << 16 | (uint32_t)length[3] << 24;
        lz->remaining = lz->announced;
    }
    return in;
}

// The items from in to stop. The hot state lives in locals: every byte
// stored into the buffer could otherwise alias the record's fields.
LzResult DecodeItems(_lz_expand *lz, const unsigned char *in, const unsigned char *stop)
{
    unsigned char *const base = lz->buffer;
    unsigned char *const room_end = base + sizeof lz->buffer - LONGEST_RUN;
    unsigned char *out = base + lz->end;
    uint32_t remaining = lz->remaining;
    uint32_t written = lz->announced - remaining;
    unsigned flags = lz->flags;
    LzResult result = LZ_MORE_INPUT;

    while (in < stop) {
        if (out > room_end) {
            lz->end = out - base;
            if (!Flush(lz)) {
                result = LZ_WRITE_FAILED;
                break;
            }
            out = base + lz->end;
        }
        if (flags == 1) {
            flags = *in++ | FLAG_MARKER;
            continue;
        }
        if (flags & 1) {
            if (remaining == 0) {
                result = LZ_LONGER_THAN_HEADER;
                break;
            }
            *out++ = *in++;
            remaining--;
            written++;
        } else {
            if (stop - in < 2) {
                lz->cut_low = *in++;
                break;
            }
            unsigned position = in[0] | (in[1] & 0xF0u) << 4;
            uint32_t run = (in[1] & 0x0Fu) + SHORTEST_RUN;
            if (run > remaining) {
                result = LZ_LONGER_THAN_HEADER;
                break;
            }
            // Distance back to the byte last written at that position; a
            // position never written lies in the starting blanks before
            // the output. Byte by byte: a run may overlap what it writes.
            size_t distance = (FIRST_POSITION + written - position) & POSITION_MASK;
            if (distance == 0)
                distance = LZ_WINDOW_SIZE;
            const unsigned char *from = out - distance;
            for (uint32_t i = 0; i < run; i++)
                out[i] = from[i];
            out += run;
            remaining -= run;
            written += run;
            in += 2;
        }
        flags >>= 1;
    }
    lz->end = out - base;
    lz->remaining = remaining;
    lz->flags = flags;
    return result == LZ_MORE_INPUT ? result : Judge(lz, result);
}

}  // namespace

void LzExpandBegin(_lz_expand *lz, LzSink sink, void *context)
{
    lz->sink = sink;
    lz->context = context;
    lz->result = LZ_MORE_INPUT;
    lz->header_size = 0;
    lz->announced = 0;
    lz->remaining = 0;
    lz->flags = 1;
    lz->cut_low = -1;
    memset(lz->buffer, ' ', LZ_WINDOW_SIZE);
    lz->end = LZ_WINDOW_SIZE;
}

LzResult LzExpandFeed(_lz_expand *lz, const unsigned char *input, size_t size)
{
    const unsigned char *in = input, *stop = input + size;
    if (lz->result == LZ_MORE_INPUT && lz->header_size < LZ_HEADER_SIZE)
        in = ReadHeader(lz, in, stop);
    if (lz->result != LZ_MORE_INPUT || in == stop)
        return lz->result;
    if (lz->cut_low >= 0) {
        const unsigned char reference[2] = {(unsigned char)lz->cut_low, *in++};
        lz->cut_low = -1;
        if (DecodeItems(lz, reference, reference + 2) != LZ_MORE_INPUT)
            return lz->result;
    }
    return DecodeItems(lz, in, stop);
}

LzResult LzExpandEnd(_lz_expand *lz)
{
    if (lz->result != LZ_MORE_INPUT)
        return lz->result;
    if (lz->header_size < sizeof LZ_SIGNATURE)
        return Judge(lz, LZ_NOT_COMPRESSED);
    if (lz->header_size < LZ_HEADER_SIZE)
        return Judge(lz, LZ_BAD_HEADER);
    if (!Flush(lz))
        return Judge(lz, LZ_WRITE_FAILED);
    if (lz->cut_low >= 0)
        return Judge(lz, LZ_CUT_INSIDE_ITEM);
    if (lz->remaining != 0)
        return Judge(lz, LZ_SHORTER_THAN_HEADER);
    return Judge(lz, LZ_DONE);
}

const char *LzResultText(LzResult result)
{
    switch (result) {
    case LZ_MORE_INPUT: return "needs more input";
    case LZ_DONE: return "expanded";
    case LZ_NOT_COMPRESSED: return "not a compressed file";
    case LZ_BAD_HEADER: return "damaged header";
    case LZ_CUT_INSIDE_ITEM: return "input ends inside an item";
    case LZ_LONGER_THAN_HEADER: return "longer than its header says";
    case LZ_SHORTER_THAN_HEADER: return "shorter than its header says";
    case LZ_WRITE_FAILED: return "output could not be written";
    }
    return "unknown result";
}
