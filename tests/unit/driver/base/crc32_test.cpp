// crc32_test.cpp - the sums that the log keeps of installed files: the
// standard CRC-32 however the bytes come, in pieces of any length and
// alignment, and the same by tables and by folding.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/crc32.h"

namespace {

std::vector<unsigned char> Pattern(size_t size, unsigned factor, unsigned shift)
{
    std::vector<unsigned char> bytes(size);
    for (size_t i = 0; i < size; i++)
        bytes[i] = static_cast<unsigned char>(i * factor + (i >> shift));
    return bytes;
}

// Pieces too short for folding go through the tables alone.
unsigned long InSmallPieces(unsigned long crc, const std::vector<unsigned char> &bytes)
{
    const size_t piece = 100;
    for (size_t at = 0; at < bytes.size(); at += piece)
        crc = Crc32(crc, bytes.data() + at, std::min(piece, bytes.size() - at));
    return crc;
}

}  // namespace

TEST(Crc32, TheStandardSumOfKnownData)
{
    const std::string fox = "The quick brown fox jumps over the lazy dog";
    EXPECT_EQ(Crc32(0, "", 0), 0u);
    EXPECT_EQ(Crc32(0, "123456789", 9), 0xCBF43926u);
    EXPECT_EQ(Crc32(0, fox.data(), fox.size()), 0x414FA339u);
    for (size_t cut = 0; cut <= fox.size(); cut++) {
        SCOPED_TRACE(cut);
        EXPECT_EQ(Crc32(Crc32(0, fox.data(), cut), fox.data() + cut, fox.size() - cut), 0x414FA339u);
    }
    // As zlib sums them: a megabyte, and a length that leaves a tail.
    const std::vector<unsigned char> megabyte = Pattern(1 << 20, 131, 9), odd = Pattern(100003, 7, 31);
    EXPECT_EQ(Crc32(0, megabyte.data(), megabyte.size()), 0xE1C51887u);
    EXPECT_EQ(Crc32(0, odd.data(), odd.size()), 0x06A8BCD2u);
}

// Every length around the sizes where the way of summing changes, from
// every alignment, fresh and after a sum already begun.
TEST(Crc32, InOneGoAsInPiecesAtEveryLengthAndAlignment)
{
    const std::vector<unsigned char> bytes = Pattern(4096 + 64, 37, 5);
    for (size_t offset = 0; offset < 16; offset++) {
        for (size_t length : {0u, 1u, 15u, 16u, 63u, 64u, 255u, 256u, 257u, 271u, 272u, 319u, 320u, 1000u, 4095u}) {
            SCOPED_TRACE(std::to_string(offset) + "+" + std::to_string(length));
            const std::vector<unsigned char> part(bytes.begin() + offset, bytes.begin() + offset + length);
            for (unsigned long begun : {0ul, 0x12345678ul}) {
                const unsigned long whole = Crc32(begun, part.data(), part.size());
                EXPECT_EQ(whole, InSmallPieces(begun, part));
            }
        }
    }
}
