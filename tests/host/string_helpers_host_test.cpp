// string_helpers_host_test.cpp - the toolkit's string helpers under the
// sanitizers, for inputs the fuzzer met.
#include <gtest/gtest.h>

#include <limits.h>

#include <chrono>

#include "string_helpers.h"

namespace {

struct SetupErrorCalled {};

}  // namespace

[[noreturn]] void SetupError(int)
{
    throw SetupErrorCalled{};
}

[[noreturn]] void BufferOverflow(void)
{
    throw SetupErrorCalled{};
}

// A field number far past the last field reads as empty, and the skipping
// ends with the line, not after iField - 1 rounds: a large number must not
// hold the run for seconds.
TEST(FieldFromIniString, AFieldFarPastTheEndIsEmptyAtOnce)
{
    char line[] = "a,b,c";
    char field[16] = "sentinel";
    auto start = std::chrono::steady_clock::now();
    EXPECT_STREQ(GetNthFieldFromIniString(line, INT_MAX, field, sizeof field - 1), "");
    auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count(), 100) << "milliseconds";
    EXPECT_STREQ(GetNthFieldFromIniString(line, 4, field, sizeof field - 1), "");
    EXPECT_STREQ(GetNthFieldFromIniString(line, 3, field, sizeof field - 1), "c");
    EXPECT_STREQ(line, "a,b,c");
}
