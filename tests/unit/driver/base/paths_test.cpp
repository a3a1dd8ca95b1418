// paths_test.cpp - the trailing backslash of a path.
#include <gtest/gtest.h>

#include <string.h>

#include "base/setup_info.h"
#include "base/paths.h"

struct PathCase {
    const char *before;
    const char *after;
};

// Runs change on a copy of before in a buffer with exactly one spare byte
// and a canary after it.
static void ExpectPath(void (*change)(char *), const PathCase &c)
{
    SCOPED_TRACE(c.before);
    char buffer[32];
    memset(buffer, 0xA5, sizeof buffer);
    size_t size = strlen(c.before) + 2;
    memcpy(buffer, c.before, size - 1);
    change(buffer);
    EXPECT_STREQ(buffer, c.after);
    EXPECT_EQ(static_cast<unsigned char>(buffer[size]), 0xA5u);
}

TEST(AppendSlash, EndsAPathInOneBackslash)
{
    const PathCase cases[] = {
        {"", "\\"}, {"C:", "C:\\"}, {"C:\\", "C:\\"}, {"C:\\usr", "C:\\usr\\"},
        {"C:\\usr\\\\", "C:\\usr\\\\"}, {"\\\\server\\share", "\\\\server\\share\\"},
    };
    for (const PathCase &c : cases)
        ExpectPath(AppendSlash, c);
}

TEST(StripSlash, RemovesOneTrailingBackslash)
{
    const PathCase cases[] = {
        {"", ""}, {"\\", ""}, {"C:\\", "C:"}, {"C:\\usr\\", "C:\\usr"},
        {"C:\\usr\\\\", "C:\\usr\\"}, {"C:\\usr", "C:\\usr"},
    };
    for (const PathCase &c : cases)
        ExpectPath(StripSlash, c);
}

// 0x81 leads a double-byte character in code page 932 (its trail byte may
// be 0x5C) and stands alone in a single-byte code page.
TEST(DoubleBytePaths, ATrailByte0x5CIsNoBackslash)
{
    if (IsDBCSLeadByte(0x81)) {
        ExpectPath(AppendSlash, {"C:\\\x81\x5C", "C:\\\x81\x5C\\"});
        ExpectPath(StripSlash, {"C:\\\x81\x5C", "C:\\\x81\x5C"});
    } else {
        ExpectPath(AppendSlash, {"C:\\\x81\x5C", "C:\\\x81\x5C"});
        ExpectPath(StripSlash, {"C:\\\x81\x5C", "C:\\\x81"});
    }
    ExpectPath(StripSlash, {"C:\\\x81\x5C\\", "C:\\\x81\x5C"});
}
