// lz_compress_fuzz.cpp - any bytes compressed, then expanded by the
// installer's decoder: the stream is whole, of its bound at most, and gives
// the bytes back.
#include "fuzz_support.h"

#include <stdint.h>
#include <string.h>

#include <memory>
#include <string>
#include <vector>

#include "lz_compress.h"
#include "lz_expand.h"

namespace {

int Collect(void *context, const unsigned char *bytes, size_t size)
{
    static_cast<std::string *>(context)->append(reinterpret_cast<const char *>(bytes), size);
    return 1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::vector<unsigned char> file(LzCompressBound(size));
    size_t written = LzCompress(data, size, 'x', file.data());
    Require(written >= LZ_HEADER_SIZE && written <= file.size(), "a stream outside its bound");
    std::string output;
    std::unique_ptr<_lz_expand> lz(new _lz_expand);
    LzExpandBegin(lz.get(), Collect, &output);
    LzExpandFeed(lz.get(), file.data(), written);
    Require(LzExpandEnd(lz.get()) == LZ_DONE, "the decoder refused the encoder's stream");
    Require(output.size() == size && (size == 0 || memcmp(output.data(), data, size) == 0),
            "the bytes did not come back");
    return 0;
}
