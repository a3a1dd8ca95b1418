// String and Windows helpers of the wrapper layer.
#include "setupapi.h"
#include "string_helpers.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

TEST(NthField, LeadingBlanksSkippedTrailingKept)
{
    char line[] = "a, b ,c";
    char field[16];
    EXPECT_STREQ("b ", GetNthFieldFromIniString(line, 2, field, 15));
    EXPECT_STREQ("a", GetNthFieldFromIniString(line, 1, field, 15));
    EXPECT_STREQ("c", GetNthFieldFromIniString(line, 3, field, 15));
    EXPECT_STREQ("", GetNthFieldFromIniString(line, 4, field, 15));
    EXPECT_STREQ("a, b ,c", line) << "the line must be unchanged";
}

TEST(NthField, FieldFarPastTheEndIsEmptyAtOnce)
{
    char line[] = "a,b,c";
    char field[8] = "x";
    DWORD start = GetTickCount();
    EXPECT_STREQ("", GetNthFieldFromIniString(line, INT_MAX, field, 7));
    EXPECT_LT(GetTickCount() - start, 100u) << "the fields past the end are not stepped one by one";
}

TEST(NthField, FieldOfExactlyTheLimitFits)
{
    char line[] = "12345,6";
    char field[6] = {};
    field[5] = (char)0xA5;
    EXPECT_STREQ("12345", GetNthFieldFromIniString(line, 1, field, 5));
}

TEST(NthFieldDeathTest, OneByteOverTheLimitFails)
{
    char line[] = "123456,7";
    char field[8];
    EXPECT_EXIT(GetNthFieldFromIniString(line, 1, field, 5), ::testing::ExitedWithCode(2), "");
    EXPECT_EXIT(GetNthFieldFromIniString(line, 0, field, 5), ::testing::ExitedWithCode(2), "");
}

TEST(InStr, PositionsCountCharacters)
{
    EXPECT_EQ(4, InStr(3, "abcabc", "abc"));
    EXPECT_EQ(1, InStr(1, "abcabc", "abc"));
    EXPECT_EQ(3, InStr(3, "abcabc", ""));
    EXPECT_EQ(0, InStr(0, "abcabc", "abc"));
    EXPECT_EQ(0, InStr(7, "abcabc", ""));
    EXPECT_EQ(0, InStr(1, "abcabc", "abd"));
    EXPECT_EQ(0, InStr(1, "ab", "abc"));
}

TEST(Lstrchr, FindsFirstOrNothing)
{
    char text[] = "usr\\bin\\tool";
    EXPECT_EQ(text + 3, lstrchr(text, '\\'));
    EXPECT_EQ(nullptr, lstrchr(text, ':'));
}

TEST(RightTrim, OnlyTrailingBlanks)
{
    char a[] = "tool   ";
    RightTrim(a);
    EXPECT_STREQ("tool", a);
    char b[] = "a b c";
    RightTrim(b);
    EXPECT_STREQ("a b c", b);
    char c[] = "tab\t";
    RightTrim(c);
    EXPECT_STREQ("tab\t", c);
    char d[] = "   ";
    RightTrim(d);
    EXPECT_STREQ("", d);
}

TEST(FValidDrive, OnlyTheFormCounts)
{
    EXPECT_EQ(1, FValidDrive("c"));
    EXPECT_EQ(1, FValidDrive("D:"));
    EXPECT_EQ(1, FValidDrive("d:\\anything at all"));
    EXPECT_EQ(1, FValidDrive("\\\\server\\share"));
    EXPECT_EQ(0, FValidDrive(""));
    EXPECT_EQ(0, FValidDrive(nullptr));
    EXPECT_EQ(0, FValidDrive("1:"));
    EXPECT_EQ(0, FValidDrive("c\\"));
}

TEST(SzCat, JoinedIntoTheirOwnBuffers)
{
    char *two = SzCatStr("Tool", ",icon");
    char *three = SzCat2Str("Tool", ",", "C:\\usr\\tool.ico");
    char *four = SzCat3Str("a", "b", "c", "d");
    EXPECT_STREQ("Tool,icon", two);
    EXPECT_STREQ("Tool,C:\\usr\\tool.ico", three);
    EXPECT_STREQ("abcd", four);
    std::string longer(600, 'x');
    EXPECT_EQ(509u, strlen(SzCatStr(longer.c_str(), "y"))) << "cut at the end of its buffer";
}

TEST(WindowsDirs, QualifiedWithTrailingBackslash)
{
    char windows[256], system[256];
    GetWindowsDir(windows, 255);
    GetWindowsSysDir(system, 255);
    EXPECT_EQ(':', windows[1]);
    EXPECT_EQ('\\', windows[strlen(windows) - 1]);
    EXPECT_EQ('\\', system[strlen(system) - 1]);
    EXPECT_EQ(0, IsWindowsShared()) << windows << " / " << system;
}

TEST(WindowsDirsDeathTest, TooSmallBufferFails)
{
    char small[8];
    EXPECT_EXIT(GetWindowsDir(small, 4), ::testing::ExitedWithCode(2), "");
}
