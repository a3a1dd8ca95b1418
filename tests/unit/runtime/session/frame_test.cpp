// The frame window and its small services.
#include "runtime_fixture.h"

namespace {

using rttest::FrameTest;
using rttest::kTestDll;

class Frame : public FrameTest {
protected:
    void SetUp() override { ASSERT_GT(Start("/q"), 0); }
};

TEST_F(Frame, IsAMaximisedOverlappedWindowOfTheRuntime) {
    HWND frame = HwndFrame();
    ASSERT_TRUE(IsWindow(frame));
    EXPECT_TRUE(IsWindowVisible(frame)) << "shown also in quiet runs";
    EXPECT_TRUE(IsZoomed(frame));
    EXPECT_EQ(WS_OVERLAPPEDWINDOW, GetWindowLongA(frame, GWL_STYLE) & WS_OVERLAPPEDWINDOW);
    EXPECT_EQ(GetModuleHandleA("setuprt.dll"), HinstFrame());
    EXPECT_TRUE(SetWindowTextA(frame, "Quorvane/32 2.0 Installation"));
}

TEST_F(Frame, BitmapMustExist) {
    EXPECT_TRUE(FSetBitmap(kTestDll, 1));
    EXPECT_FALSE(FSetBitmap(kTestDll, 77));
    EXPECT_FALSE(FSetBitmap("nosuchlib.dll", 1));
    EXPECT_TRUE(RedrawWindow(HwndFrame(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW));
}

TEST_F(Frame, AboutEntryIsAddedToTheSystemMenuOnce) {
    HMENU menu = GetSystemMenu(HwndFrame(), FALSE);
    int before = GetMenuItemCount(menu);
    ASSERT_TRUE(FSetAbout("Quorvane/32 2.0", "Setup"));
    ASSERT_TRUE(FSetAbout("Quorvane/32 2.0", "Setup, again"));
    ASSERT_EQ(before + 2, GetMenuItemCount(menu));
    char text[64];
    GetMenuStringA(menu, before + 1, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ("About Setup...", text);
}

TEST_F(Frame, WaitCursorIsShownAndRestored) {
    HCURSOR arrow = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    HCURSOR wait = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT));
    SetCursor(arrow);
    HCURSOR previous = HShowWaitCursor();
    EXPECT_EQ(arrow, previous);
    EXPECT_EQ(wait, GetCursor());
    EXPECT_TRUE(FRestoreCursor(previous));
    EXPECT_EQ(arrow, GetCursor());
}

TEST(FrameWithoutStart, AboutNeedsTheFrame) {
    EXPECT_EQ(nullptr, HwndFrame());
    EXPECT_FALSE(FSetAbout("a", "b"));
}

}  // namespace
