// lz_compress.cpp - greedy matching over hash chains of three-byte prefixes.
//
// The input is seen behind the window's starting blanks, as the decoder sees
// it: input byte i sits at window position (LZ_START_POSITION + i) mod 4096,
// and the blanks just before the first byte may start a run.
#include "lz_compress.h"
#include "lz_expand.h"

#include <string.h>

#include <vector>

namespace {

const size_t kLookBack = LZ_WINDOW_SIZE - LZ_MAX_RUN;  // farthest safe distance
const size_t kBlankLead = LZ_MAX_RUN;                   // blanks a run may start in
const int kChainLimit = 48;                             // candidates tried per byte
const unsigned kHashBits = 15;

unsigned Hash(const unsigned char *at)
{
    uint32_t three = static_cast<uint32_t>(at[0]) << 16 | static_cast<uint32_t>(at[1]) << 8 | at[2];
    return (three * 2654435761u) >> (32 - kHashBits);
}

class Writer {
public:
    explicit Writer(unsigned char *out) : out_(out) {}
    void Literal(unsigned char byte)
    {
        Item(true);
        out_[end_++] = byte;
    }
    void Reference(unsigned position, size_t run)
    {
        Item(false);
        out_[end_++] = static_cast<unsigned char>(position & 0xFF);
        out_[end_++] = static_cast<unsigned char>((position >> 4 & 0xF0) | (run - LZ_MIN_RUN));
    }
    size_t End() const { return end_; }
    void Skip(size_t bytes) { end_ += bytes; }

private:
    void Item(bool literal)
    {
        if (used_ == 8) {
            flag_at_ = end_++;
            out_[flag_at_] = 0;
            used_ = 0;
        }
        if (literal)
            out_[flag_at_] |= static_cast<unsigned char>(1u << used_);
        used_++;
    }
    unsigned char *out_;
    size_t end_ = 0;
    size_t flag_at_ = 0;
    unsigned used_ = 8;
};

}  // namespace

size_t LzCompressBound(size_t size)
{
    return LZ_HEADER_SIZE + size + (size + 7) / 8;
}

size_t LzCompress(const unsigned char *input, size_t size, char last_letter, unsigned char *out)
{
    if (size > 0xFFFFFFFFu)
        return 0;
    memcpy(out, LZ_SIGNATURE, sizeof LZ_SIGNATURE);
    out[8] = 'A';
    out[9] = static_cast<unsigned char>(last_letter);
    for (int shift = 0; shift < 32; shift += 8)
        out[10 + shift / 8] = static_cast<unsigned char>(size >> shift);

    // The blanks in front of the input, then the input: text[kBlankLead + i]
    // is input byte i.
    std::vector<unsigned char> text(kBlankLead + size);
    memset(text.data(), ' ', kBlankLead);
    if (size != 0)
        memcpy(text.data() + kBlankLead, input, size);
    const size_t end = text.size();

    std::vector<int64_t> head(size_t{1} << kHashBits, -1);
    std::vector<int64_t> previous(LZ_WINDOW_SIZE, -1);
    auto insert = [&](size_t at) {
        if (at + LZ_MIN_RUN > end)
            return;
        unsigned hash = Hash(&text[at]);
        previous[at % LZ_WINDOW_SIZE] = head[hash];
        head[hash] = static_cast<int64_t>(at);
    };
    for (size_t at = 0; at < kBlankLead; at++)
        insert(at);

    Writer writer(out);
    writer.Skip(LZ_HEADER_SIZE);
    size_t at = kBlankLead;
    while (at < end) {
        size_t best_run = 0, best_from = 0;
        size_t most = end - at < LZ_MAX_RUN ? end - at : static_cast<size_t>(LZ_MAX_RUN);
        if (most >= LZ_MIN_RUN) {
            int64_t candidate = head[Hash(&text[at])];
            for (int tries = 0; candidate >= 0 && tries < kChainLimit; tries++) {
                size_t from = static_cast<size_t>(candidate);
                if (at - from > kLookBack)
                    break;
                size_t run = 0;
                while (run < most && text[from + run] == text[at + run])
                    run++;
                if (run > best_run) {
                    best_run = run;
                    best_from = from;
                    if (run == most)
                        break;
                }
                int64_t next = previous[from % LZ_WINDOW_SIZE];
                // The ring slot may already hold a newer position.
                if (next >= candidate)
                    break;
                candidate = next;
            }
        }
        if (best_run >= LZ_MIN_RUN) {
            size_t position = (LZ_START_POSITION + best_from - kBlankLead) % LZ_WINDOW_SIZE;
            writer.Reference(static_cast<unsigned>(position), best_run);
        } else {
            best_run = 1;
            writer.Literal(text[at]);
        }
        for (size_t i = 0; i < best_run; i++)
            insert(at + i);
        at += best_run;
    }
    return writer.End();
}
