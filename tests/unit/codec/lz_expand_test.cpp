// The decoder of compressed files on hand-made streams: the corners of the
// window, the header and the length, and input fed in pieces of any size.
#include <gtest/gtest.h>
#include <stdint.h>

#include <algorithm>
#include <memory>
#include <random>
#include <string>

#include "lz_expand.h"
#include "lz_model.h"

namespace {

const char kSignature[] = "SZDD\x88\xF0\x27\x33";

std::string Header(uint32_t announced, char method = 'A')
{
    std::string header(kSignature, 8);
    header += method;
    header += 'x';
    for (int shift = 0; shift < 32; shift += 8)
        header += static_cast<char>(announced >> shift);
    return header;
}

// The items of a stream, with their flag bytes placed as a compressor does.
class Items {
public:
    Items &Literal(unsigned char byte)
    {
        Flag(true);
        bytes += static_cast<char>(byte);
        return *this;
    }
    Items &Literals(const std::string &text)
    {
        for (unsigned char byte : text)
            Literal(byte);
        return *this;
    }
    // A run of 3 to 18 bytes from a window position.
    Items &Reference(unsigned position, unsigned run)
    {
        Flag(false);
        bytes += static_cast<char>(position & 0xFF);
        bytes += static_cast<char>((position >> 4 & 0xF0) | (run - 3));
        return *this;
    }
    std::string bytes;

private:
    void Flag(bool literal)
    {
        if (used == 8) {
            flag_at = bytes.size();
            bytes += '\0';
            used = 0;
        }
        if (literal)
            bytes[flag_at] = static_cast<char>(bytes[flag_at] | 1 << used);
        used++;
    }
    size_t flag_at = 0;
    int used = 8;
};

struct Expanded {
    LzResult result;
    std::string output;
    size_t largest_block = 0;
};

int Collect(void *context, const unsigned char *bytes, size_t size)
{
    Expanded *expanded = static_cast<Expanded *>(context);
    expanded->output.append(reinterpret_cast<const char *>(bytes), size);
    expanded->largest_block = std::max(expanded->largest_block, size);
    return 1;
}

// Feeds the file in pieces of the given size, stopping at the first result
// that is not LZ_MORE_INPUT, then ends the input.
Expanded Expand(const std::string &file, size_t piece = SIZE_MAX)
{
    Expanded expanded;
    std::unique_ptr<_lz_expand> lz(new _lz_expand);
    LzExpandBegin(lz.get(), Collect, &expanded);
    const unsigned char *data = reinterpret_cast<const unsigned char *>(file.data());
    LzResult result = LZ_MORE_INPUT;
    for (size_t at = 0; at < file.size() && result == LZ_MORE_INPUT; at += piece)
        result = LzExpandFeed(lz.get(), data + at, std::min(piece, file.size() - at));
    expanded.result = LzExpandEnd(lz.get());
    EXPECT_TRUE(result == LZ_MORE_INPUT || result == expanded.result) << "the end changed a judged stream";
    return expanded;
}

std::string Whole(const Items &items)
{
    return Header(ModelExpand(items.bytes).size()) + items.bytes;
}

TEST(LzExpand, RunsReadTheWindowAsItIsWritten)
{
    // A run overlapping what it writes; runs from the starting blanks, one
    // of them ending in the first bytes written; a run across the window's end.
    Items items;
    items.Literals("ab").Reference(4080, 3).Reference(0, 4).Reference(4078, 4);
    items.Literals("xyz0123").Reference(4094, 5);
    Expanded expanded = Expand(Whole(items));
    EXPECT_EQ(expanded.result, LZ_DONE);
    EXPECT_EQ(expanded.output, "ababa" "    " "  ab" "xyz0123" "yz012");

    // One byte repeated by the longest run.
    Items repeated;
    repeated.Literal('x').Reference(4080, 18);
    EXPECT_EQ(Expand(Whole(repeated)).output, std::string(19, 'x'));
}

TEST(LzExpand, ARunFromTheWritePositionReadsTheByteOneWindowBack)
{
    std::mt19937 random(7);
    std::string first;
    for (int i = 0; i < 4100; i++)
        first += static_cast<char>(random());
    Items items;
    items.Literals(first).Reference((4080 + first.size()) & 0xFFF, 18);
    Expanded expanded = Expand(Whole(items));
    EXPECT_EQ(expanded.result, LZ_DONE);
    EXPECT_EQ(expanded.output, first + first.substr(first.size() - 4096, 18));
}

// Random streams far longer than a block, with runs from everywhere in
// the window, give the model's bytes in whatever pieces they are fed.
TEST(LzExpand, PiecesAndBlocksDoNotChangeTheOutput)
{
    std::mt19937 random(11);
    Items items;
    for (int i = 0; i < 60000; i++) {
        if (random() % 3 == 0)
            items.Literal(static_cast<unsigned char>(random() % 4));
        else
            items.Reference(random() % 4096, 3 + random() % 16);
    }
    std::string expected = ModelExpand(items.bytes);
    ASSERT_GT(expected.size(), 3u * LZ_BLOCK_SIZE);
    for (size_t piece : {size_t(1), size_t(2), size_t(3), size_t(13), size_t(4096), SIZE_MAX}) {
        Expanded expanded = Expand(Header(expected.size()) + items.bytes, piece);
        EXPECT_EQ(expanded.result, LZ_DONE) << "piece " << piece;
        EXPECT_TRUE(expanded.output == expected) << "piece " << piece;
        EXPECT_LE(expanded.largest_block, size_t(LZ_BLOCK_SIZE));
    }
}

TEST(LzExpand, WithoutTheSignatureTheFileIsNotTouched)
{
    std::string signature(kSignature, 8);
    std::string wrong_last = signature.substr(0, 7) + '4' + Header(3).substr(8) + "\x07" "abc";
    for (const std::string &file : {std::string(), std::string("SZDD"), signature.substr(0, 7), wrong_last,
                                    std::string("plain text, longer than a header\n")}) {
        Expanded expanded = Expand(file, 1);
        EXPECT_EQ(expanded.result, LZ_NOT_COMPRESSED) << file;
        EXPECT_EQ(expanded.output, "") << file;
    }
}

TEST(LzExpand, ASignatureWithAShortHeaderOrAnotherMethodIsDamage)
{
    for (size_t size = 8; size < 14; size++)
        EXPECT_EQ(Expand(Header(3).substr(0, size)).result, LZ_BAD_HEADER) << size;
    EXPECT_EQ(Expand(Header(3, 'B') + "\x07" "abc").result, LZ_BAD_HEADER);
    // A header alone, announcing nothing, is an empty file.
    Expanded empty = Expand(Header(0));
    EXPECT_EQ(empty.result, LZ_DONE);
    EXPECT_EQ(empty.output, "");
}

TEST(LzExpand, TheLengthMustBeTheHeaders)
{
    std::string abc = "\x07" "abc";
    EXPECT_EQ(Expand(Header(3) + abc).result, LZ_DONE);
    EXPECT_EQ(Expand(Header(4) + abc).result, LZ_SHORTER_THAN_HEADER);
    EXPECT_EQ(Expand(Header(0xFFFFFFFF) + abc).result, LZ_SHORTER_THAN_HEADER);

    // Nothing beyond the announced length reaches the sink, be it a literal
    // or a run that would cross it.
    Expanded literal = Expand(Header(2) + abc, 1);
    EXPECT_EQ(literal.result, LZ_LONGER_THAN_HEADER);
    EXPECT_LE(literal.output.size(), 2u);
    Items run;
    run.Literals("ab").Reference(4080, 5);
    Expanded crossing = Expand(Header(6) + run.bytes);
    EXPECT_EQ(crossing.result, LZ_LONGER_THAN_HEADER);
    EXPECT_LE(crossing.output.size(), 6u);
    // What mscompress writes for an empty file: one literal too many.
    EXPECT_EQ(Expand(Header(0) + std::string("\x01\x00", 2)).result, LZ_LONGER_THAN_HEADER);
}

TEST(LzExpand, TheInputMayEndOnlyBetweenItems)
{
    Items items;
    items.Literals("abc").Reference(4080, 3);
    std::string file = Whole(items);
    EXPECT_EQ(Expand(file.substr(0, file.size() - 1)).result, LZ_CUT_INSIDE_ITEM);
    // Split between pieces, the same reference is whole.
    EXPECT_EQ(Expand(file, file.size() - 1).output, "abcabc");

    // A flag byte at the very end, with no items after it, ends cleanly.
    Items eight;
    eight.Literals("12345678");
    EXPECT_EQ(Expand(Whole(eight) + '\xFF').result, LZ_DONE);
}

int Refuse(void *, const unsigned char *, size_t)
{
    return 0;
}

TEST(LzExpand, AJudgedStreamStaysJudged)
{
    std::unique_ptr<_lz_expand> lz(new _lz_expand);
    LzExpandBegin(lz.get(), Refuse, nullptr);
    std::string file = Header(3) + "\x07" "abc";
    const unsigned char *data = reinterpret_cast<const unsigned char *>(file.data());
    EXPECT_EQ(LzExpandFeed(lz.get(), data, file.size()), LZ_MORE_INPUT);
    EXPECT_EQ(LzExpandEnd(lz.get()), LZ_WRITE_FAILED);
    EXPECT_EQ(LzExpandFeed(lz.get(), data, file.size()), LZ_WRITE_FAILED);

    Expanded expanded;
    LzExpandBegin(lz.get(), Collect, &expanded);
    std::string longer = Header(1) + "\x07" "abc";
    data = reinterpret_cast<const unsigned char *>(longer.data());
    EXPECT_EQ(LzExpandFeed(lz.get(), data, longer.size()), LZ_LONGER_THAN_HEADER);
    EXPECT_EQ(LzExpandFeed(lz.get(), data + 14, longer.size() - 14), LZ_LONGER_THAN_HEADER);
    EXPECT_EQ(LzExpandEnd(lz.get()), LZ_LONGER_THAN_HEADER);
    EXPECT_EQ(expanded.output, "");
}

}  // namespace
