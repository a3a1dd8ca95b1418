// Version texts compared field by field.
#include "msshared.h"

#include <gtest/gtest.h>

TEST(WCompareVersion, FieldsCompareAsNumbers)
{
    EXPECT_EQ(0, WCompareVersion("1.2.3.4", "1.2.3.4"));
    EXPECT_EQ(-1, WCompareVersion("1.2.3.2", "1.2.3.10"));
    EXPECT_EQ(1, WCompareVersion("1.2.3.10", "1.2.3.2"));
    EXPECT_EQ(1, WCompareVersion("10.0.0.0", "9.99.99.99"));
    EXPECT_EQ(-1, WCompareVersion("2.0.9.0", "2.1.0.0"));
}

TEST(WCompareVersion, EmptyIsOlderThanAnything)
{
    EXPECT_EQ(-1, WCompareVersion("", "0.0.0.1"));
    EXPECT_EQ(1, WCompareVersion("0.0.0.1", ""));
    EXPECT_EQ(0, WCompareVersion("", ""));
    // Even a version of all zeros is a version.
    EXPECT_EQ(-1, WCompareVersion("", "0.0.0.0"));
}

TEST(WCompareVersion, OnlyTheFirstFourFieldsCount)
{
    EXPECT_EQ(0, WCompareVersion("1.2.3.4.9", "1.2.3.4.1"));
    EXPECT_EQ(0, WCompareVersion("1.2", "1.2.0.0"));
    EXPECT_EQ(-1, WCompareVersion("1.2", "1.2.0.1"));
}
