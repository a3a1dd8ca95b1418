// dialog_window.h - the fixture of the tests that run the dialogs through the
// runtime over its frame, as a user sees them. Needs a display.
#pragma once

#include <gtest/gtest.h>

#include "setuprt.h"

class DialogWindow : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_GT(InitializeFrame(""), 0); }
    void TearDown() override { FKillNDialogs(-1); }
};
