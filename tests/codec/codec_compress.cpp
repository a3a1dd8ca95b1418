// codec_compress SRC DST: compresses one file with the medium builder's
// encoder, for expanding it with expand.exe and for timing the encoder.
// Exit code 0 when written, 2 on a usage or file error.
#include <stdio.h>

#include <vector>

#include "lz_compress.h"

namespace {

int Fail(const char *what, const char *name)
{
    fprintf(stderr, "codec_compress: %s %s\n", what, name);
    return 2;
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc != 3)
        return Fail("usage: codec_compress SRC DST", "");
    FILE *src = fopen(argv[1], "rb");
    if (!src)
        return Fail("cannot open", argv[1]);
    std::vector<unsigned char> input;
    unsigned char piece[65536];
    size_t got;
    while ((got = fread(piece, 1, sizeof piece, src)) > 0)
        input.insert(input.end(), piece, piece + got);
    if (ferror(src))
        return Fail("cannot read", argv[1]);
    fclose(src);
    std::vector<unsigned char> output(LzCompressBound(input.size()));
    size_t size = LzCompress(input.data(), input.size(), 0, output.data());
    if (size == 0)
        return Fail("too long for the header:", argv[1]);
    FILE *dst = fopen(argv[2], "wb");
    if (!dst)
        return Fail("cannot create", argv[2]);
    if (fwrite(output.data(), 1, size, dst) != size || fclose(dst) != 0)
        return Fail("cannot write", argv[2]);
    return 0;
}
