// lz_expand_fuzz.cpp - any bytes as a compressed file. The decoder stays in
// its buffers and ends; it gives the model's bytes and no more than the
// header allows; fed in pieces it gives what it gives fed at once.
// Input: one byte that picks the piece sizes, then the file.
#include "fuzz_support.h"

#include <stdint.h>
#include <string.h>

#include <algorithm>
#include <memory>
#include <string>

#include "lz_expand.h"
#include "lz_model.h"

namespace {

struct Run {
    LzResult result;
    std::string output;
};

int Collect(void *context, const unsigned char *bytes, size_t size)
{
    Require(size != 0 && size <= LZ_BLOCK_SIZE, "a block of a size the sink cannot expect");
    static_cast<std::string *>(context)->append(reinterpret_cast<const char *>(bytes), size);
    return 1;
}

// Pieces of 0 to 31 bytes, from a sequence that the seed picks; 0 feeds
// the whole file at once.
Run Expand(const uint8_t *file, size_t size, unsigned seed)
{
    Run run;
    std::unique_ptr<_lz_expand> lz(new _lz_expand);
    LzExpandBegin(lz.get(), Collect, &run.output);
    LzResult result = LZ_MORE_INPUT;
    for (size_t at = 0; at < size && result == LZ_MORE_INPUT;) {
        size_t piece = size - at;
        if (seed != 0) {
            seed = seed * 1103515245u + 12345u;
            piece = std::min(piece, size_t(seed >> 16 & 31));
        }
        result = LzExpandFeed(lz.get(), file + at, piece);
        at += piece;
    }
    run.result = LzExpandEnd(lz.get());
    Require(result == LZ_MORE_INPUT || result == run.result, "the end changed a judged stream");
    return run;
}

uint32_t Announced(const uint8_t *file)
{
    return file[10] | file[11] << 8 | file[12] << 16 | uint32_t(file[13]) << 24;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const uint8_t *file = data + 1;
    size_t file_size = size - 1;
    Run whole = Expand(file, file_size, 0);
    Run pieces = Expand(file, file_size, data[0] | 1u);
    Require(whole.result == pieces.result, "pieces changed the result");
    Require(whole.output == pieces.output, "pieces changed the output");
    Require(whole.result != LZ_MORE_INPUT, "the end left the stream unjudged");

    bool signature = file_size >= 8 && memcmp(file, "SZDD\x88\xF0\x27\x33", 8) == 0;
    Require(signature == (whole.result != LZ_NOT_COMPRESSED), "the signature misjudged");
    bool header = signature && file_size >= LZ_HEADER_SIZE && file[8] == 'A';
    Require(header || whole.output.empty(), "output without a whole header");
    if (!header)
        return 0;
    Require(header == (whole.result != LZ_BAD_HEADER), "a good header judged bad");

    uint32_t announced = Announced(file);
    std::string model = ModelExpand(std::string(reinterpret_cast<const char *>(file) + LZ_HEADER_SIZE,
                                                file_size - LZ_HEADER_SIZE));
    Require(whole.output.size() <= announced, "more output than the header allows");
    Require(model.compare(0, whole.output.size(), whole.output) == 0, "output differs from the model");
    Require((whole.result == LZ_DONE) == (model.size() == announced && whole.result != LZ_CUT_INSIDE_ITEM),
            "judged against the length wrongly");
    if (whole.result != LZ_LONGER_THAN_HEADER)
        Require(whole.output == model, "output cut short");
    return 0;
}
