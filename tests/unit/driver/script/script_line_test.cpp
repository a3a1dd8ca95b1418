// script_line_test.cpp - the line helpers that the installer shares.
#include <gtest/gtest.h>

#include <string.h>

#include "script/script_line.h"

TEST(LineHelpers, SkipDelimitersStopsAtTheFirstOtherCharacter)
{
    char line[] = " \t\n \rD bin";
    EXPECT_EQ(skip_delimiters(line), line + 4);   // a carriage return is no delimiter

    char blanks[] = " \t \n";
    EXPECT_EQ(skip_delimiters(blanks), blanks + 4);
}

TEST(LineHelpers, SkipTillCharStopsAtTheCharacterOrTheTerminator)
{
    char line[] = "ab[c]";
    EXPECT_EQ(skip_till_char(line, '['), line + 2);
    EXPECT_EQ(skip_till_char(line, '#'), line + 5);
    EXPECT_EQ(skip_till_char(line, '\0'), line + 5);
}

TEST(LineHelpers, GetTillCharCutsTheTokenInPlace)
{
    char line[] = "Tool] [-i]";
    char *token = nullptr;
    EXPECT_EQ(get_till_char(line, ']', &token), line + 4);
    EXPECT_EQ(token, line);
    EXPECT_STREQ(token, "Tool");
    EXPECT_STREQ(line + 5, " [-i]");

    char unclosed[] = "Tool [-i";
    token = nullptr;
    EXPECT_EQ(get_till_char(unclosed, ']', &token), nullptr);
    EXPECT_EQ(token, unclosed);
    EXPECT_STREQ(unclosed, "Tool [-i");
}
