// Fixed-width copies and the fields of date texts.
#include "detect_fixture.h"

#include "msdetect.h"

#include <cstring>

namespace {

// Eight bytes of 0xA5 and a canary, so every byte a copy writes shows.
struct Target {
    char bytes[9];
    Target() { std::memset(bytes, 0xA5, sizeof bytes); bytes[8] = 0x5A; }
    unsigned char At(int i) const { return static_cast<unsigned char>(bytes[i]); }
};

}  // namespace

TEST(FixedWidthCopy, ShortSourceIsPaddedWithZerosToExactlyN)
{
    Target t;
    EXPECT_EQ(t.bytes, lstrncpy(t.bytes, "abc", 5));
    EXPECT_EQ(0, std::memcmp(t.bytes, "abc\0\0", 5));
    EXPECT_EQ(0xA5, t.At(5));
    EXPECT_EQ(0x5A, t.At(8));
}

TEST(FixedWidthCopy, LongSourceFillsNBytesWithoutATerminator)
{
    Target t;
    lstrncpy(t.bytes, "abcdef", 4);
    EXPECT_EQ(0, std::memcmp(t.bytes, "abcd", 4));
    EXPECT_EQ(0xA5, t.At(4));

    Target exact;
    lstrncpy(exact.bytes, "abcd", 4);
    EXPECT_EQ(0xA5, exact.At(4));
}

TEST(DateFields, EachFieldIsReadFromItsPosition)
{
    const char *date = "2031-12-24-23-59-58";
    EXPECT_EQ(2031, GetYearFromDate(date));
    EXPECT_EQ(12, GetMonthFromDate(date));
    EXPECT_EQ(24, GetDayFromDate(date));
    EXPECT_EQ(23, GetHourFromDate(date));
    EXPECT_EQ(59, GetMinuteFromDate(date));
    EXPECT_EQ(58, GetSecondFromDate(date));
}

TEST(DateFields, FieldsEndAtTheirWidth)
{
    // No separators at all: each field still takes only its own characters.
    const char *date = "19991231235958123456";
    EXPECT_EQ(1999, GetYearFromDate(date));
    EXPECT_EQ(23, GetMonthFromDate(date));
    EXPECT_EQ(45, GetSecondFromDate(date));
}

TEST(DateFields, OnlyLeadingDigitsCount)
{
    EXPECT_EQ(7, GetMonthFromDate("1994-7x-15-13-05-09"));
    EXPECT_EQ(0, GetDayFromDate("1994-07-x5-13-05-09"));
    EXPECT_EQ(19, GetYearFromDate("19a4-07-15"));
    EXPECT_EQ(0, GetHourFromDate("1994-07-15-  -05-09"));
}

TEST(DateFields, FieldsBeyondTheEndOfTheTextAreZero)
{
    // The rest of the buffer is not part of the text and must not be read.
    char date[32];
    std::memset(date, '7', sizeof date);
    std::memcpy(date, "1994-07\0", 8);
    EXPECT_EQ(7, GetMonthFromDate(date));
    EXPECT_EQ(0, GetDayFromDate(date));
    EXPECT_EQ(0, GetSecondFromDate(date));
    EXPECT_EQ(0, GetYearFromDate(""));
}
