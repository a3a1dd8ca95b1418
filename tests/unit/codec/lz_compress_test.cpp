// The encoder through the installer's decoder: every short length, the
// lengths around the window, data that starts in or ends with the window's
// blanks, and the size it reaches on data that compresses well.
#include <gtest/gtest.h>
#include <stdint.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "lz_compress.h"
#include "lz_expand.h"

namespace {

std::string Compress(const std::string &input, char last_letter = 'e')
{
    std::vector<unsigned char> out(LzCompressBound(input.size()));
    size_t size = LzCompress(reinterpret_cast<const unsigned char *>(input.data()), input.size(), last_letter,
                             out.data());
    EXPECT_LE(size, out.size());
    return std::string(reinterpret_cast<const char *>(out.data()), size);
}

int Collect(void *context, const unsigned char *bytes, size_t size)
{
    static_cast<std::string *>(context)->append(reinterpret_cast<const char *>(bytes), size);
    return 1;
}

// The decoder must take the whole stream as exactly the original.
void ExpectRoundTrip(const std::string &input, const std::string &what)
{
    std::string file = Compress(input);
    std::string output;
    std::unique_ptr<_lz_expand> lz(new _lz_expand);
    LzExpandBegin(lz.get(), Collect, &output);
    LzResult fed = LzExpandFeed(lz.get(), reinterpret_cast<const unsigned char *>(file.data()), file.size());
    LzResult result = LzExpandEnd(lz.get());
    EXPECT_EQ(fed, LZ_MORE_INPUT) << what;
    EXPECT_EQ(result, LZ_DONE) << what << ": " << LzResultText(result);
    EXPECT_TRUE(output == input) << what << ": " << output.size() << " bytes back of " << input.size();
}

std::string RandomBytes(size_t size, unsigned seed, int alphabet = 256)
{
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (char &byte : bytes)
        byte = static_cast<char>(random() % alphabet);
    return bytes;
}

TEST(LzCompress, HeaderStatesTheLengthAndTheLastLetter)
{
    std::string file = Compress(std::string(70000, 'q'), 'x');
    ASSERT_GE(file.size(), 14u);
    EXPECT_EQ(file.substr(0, 10), std::string("SZDD\x88\xF0\x27\x33" "Ax", 10));
    EXPECT_EQ(file.substr(10, 4), std::string("\x70\x11\x01\x00", 4));
    // The empty file is the header alone.
    EXPECT_EQ(Compress("", 0), std::string("SZDD\x88\xF0\x27\x33" "A\0\0\0\0\0", 14));
}

TEST(LzCompress, EveryShortLengthComesBackWhole)
{
    for (size_t size = 0; size <= 300; size++) {
        ExpectRoundTrip(RandomBytes(size, static_cast<unsigned>(size)), "random " + std::to_string(size));
        ExpectRoundTrip(RandomBytes(size, static_cast<unsigned>(size), 3), "three letters " + std::to_string(size));
        ExpectRoundTrip(std::string(size, ' '), "blanks " + std::to_string(size));
    }
}

TEST(LzCompress, LengthsAroundTheWindowComeBackWhole)
{
    for (size_t size = 4060; size <= 4140; size++) {
        ExpectRoundTrip(RandomBytes(size, 5, 4), "four letters " + std::to_string(size));
        ExpectRoundTrip(RandomBytes(size, 6), "random " + std::to_string(size));
    }
    // Blanks after a window of other bytes: the starting blanks are gone.
    ExpectRoundTrip(RandomBytes(4100, 8) + std::string(40, ' ') + RandomBytes(5000, 9, 2) + "   ", "blanks late");
}

TEST(LzCompress, LongInputsComeBackWhole)
{
    std::string mixed;
    std::mt19937 random(3);
    while (mixed.size() < 3 * 1024 * 1024) {
        switch (random() % 4) {
        case 0: mixed += RandomBytes(random() % 9000, random()); break;
        case 1: mixed += std::string(random() % 5000, static_cast<char>(random())); break;
        case 2: mixed += RandomBytes(random() % 20000, random(), 5); break;
        default: mixed += mixed.substr(mixed.size() / 2, random() % 3000); break;
        }
    }
    ExpectRoundTrip(mixed, "mixed");
}

TEST(LzCompress, RepetitiveInputShrinks)
{
    // Every run at its longest: a two-byte reference and a flag bit per 18
    // bytes, once the first bytes are out.
    EXPECT_LT(Compress(std::string(180000, 'z')).size(), 14u + 10000 * 2 + 10000 / 8 + 10);
    std::string text;
    while (text.size() < 100000)
        text += "FILESET [Quorvane/32 core] BEGIN F qv.exe bin\\qv.exe END ";
    EXPECT_LT(Compress(text).size(), text.size() / 5);
    // Bytes that do not compress grow by about one flag byte in eight.
    EXPECT_GT(Compress(RandomBytes(8000, 1)).size(), LzCompressBound(8000) - 30);
}

}  // namespace
