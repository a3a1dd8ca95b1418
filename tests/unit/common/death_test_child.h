// The child process of a death test runs the test again up to its
// EXPECT_EXIT, then the statement, and ends there.
#pragma once

#include <gtest/gtest.h>

namespace unitcommon {

// Exit code of a death-test child whose statement came back normally.
enum { CHILD_RETURNED = 7 };

inline bool InDeathTestChild()
{
    return !GTEST_FLAG_GET(internal_run_death_test).empty();
}

}  // namespace unitcommon
