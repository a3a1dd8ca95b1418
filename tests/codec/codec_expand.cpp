// codec_expand SRC DST [PIECE]: expands one compressed file with the
// installer's decoder, reading PIECE bytes at a time (default 65536), for
// comparing its output with expand.exe's. DST holds whatever was decoded,
// even from a damaged file. Exit code 0 when whole, 1 when the decoder
// judged the file damaged or not compressed (the reason on standard
// error), 2 on a usage or file error.
#include <stdio.h>
#include <stdlib.h>

#include <memory>
#include <vector>

#include "lz_expand.h"

namespace {

int WriteBlock(void *context, const unsigned char *bytes, size_t size)
{
    return fwrite(bytes, 1, size, static_cast<FILE *>(context)) == size;
}

int Fail(const char *what, const char *name)
{
    fprintf(stderr, "codec_expand: %s %s\n", what, name);
    return 2;
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc < 3 || argc > 4)
        return Fail("usage: codec_expand SRC DST [PIECE]", "");
    long piece = argc == 4 ? strtol(argv[3], nullptr, 10) : 65536;
    if (piece <= 0)
        return Fail("bad piece size", argv[3]);
    FILE *src = fopen(argv[1], "rb");
    if (!src)
        return Fail("cannot open", argv[1]);
    FILE *dst = fopen(argv[2], "wb");
    if (!dst)
        return Fail("cannot create", argv[2]);

    std::unique_ptr<_lz_expand> lz(new _lz_expand);
    LzExpandBegin(lz.get(), WriteBlock, dst);
    std::vector<unsigned char> input(piece);
    LzResult result = LZ_MORE_INPUT;
    size_t got;
    while (result == LZ_MORE_INPUT && (got = fread(input.data(), 1, input.size(), src)) > 0)
        result = LzExpandFeed(lz.get(), input.data(), got);
    if (ferror(src))
        return Fail("cannot read", argv[1]);
    result = LzExpandEnd(lz.get());
    fclose(src);
    if (fclose(dst) != 0)
        return Fail("cannot write", argv[2]);
    if (result != LZ_DONE) {
        fprintf(stderr, "codec_expand: %s: %s\n", argv[1], LzResultText(result));
        return 1;
    }
    return 0;
}
