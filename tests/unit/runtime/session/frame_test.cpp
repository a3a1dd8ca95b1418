// The frame window and its small services.
#include "runtime_fixture.h"

#include <string>

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

// A BMP file of 64 x 32 pixels in 8 bits, as the installer reads it from a
// medium: the frame takes nothing that reaches past its end.
TEST_F(Frame, BannerFromTheBytesOfABitmapFile) {
    const unsigned long palette = 256, pixels = 64 * 32, offset = 14 + 40 + 4 * palette;
    std::string file(offset + pixels, '\0');
    auto put = [&file](size_t at, unsigned long value, int bytes) {
        for (int i = 0; i < bytes; i++) file[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    };
    file[0] = 'B';
    file[1] = 'M';
    put(2, offset + pixels, 4);
    put(10, offset, 4);
    put(14, 40, 4);
    put(18, 64, 4);
    put(22, 32, 4);
    put(26, 1, 2);
    put(28, 8, 2);
    EXPECT_TRUE(FSetBitmapBits(file.data(), static_cast<unsigned>(file.size())));
    EXPECT_TRUE(RedrawWindow(HwndFrame(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW));

    EXPECT_FALSE(FSetBitmapBits(nullptr, 0));
    EXPECT_FALSE(FSetBitmapBits(file.data(), static_cast<unsigned>(file.size() - 1))) << "cut short";
    std::string beyond = file;
    put(10, offset + 1, 4);
    EXPECT_FALSE(FSetBitmapBits(file.data(), static_cast<unsigned>(file.size()))) << "pixels past the end";
    file = beyond;
    put(46, 0x40000000, 4);
    EXPECT_FALSE(FSetBitmapBits(file.data(), static_cast<unsigned>(file.size()))) << "a palette past the end";
    file = beyond;
    put(22, 0x7FFFFFFF, 4);
    EXPECT_FALSE(FSetBitmapBits(file.data(), static_cast<unsigned>(file.size()))) << "rows past the end";
}

TEST_F(Frame, ProductNameStandsUntilTakenBack) {
    char name[8] = "xxxxxxx";
    ASSERT_TRUE(FSetProductName("Pinecone Notes 3.1"));
    EXPECT_EQ(18u, CbGetProductName(name, sizeof name));
    EXPECT_STREQ("Pinecon", name);
    EXPECT_TRUE(RedrawWindow(HwndFrame(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW));
    ASSERT_TRUE(FSetProductName(""));
    EXPECT_EQ(0u, CbGetProductName(name, sizeof name));
    EXPECT_STREQ("", name);
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
