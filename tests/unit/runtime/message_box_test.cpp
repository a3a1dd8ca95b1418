// Boxes in interactive runs, closed by a helper thread as a user would.
#include <thread>

#include "runtime_fixture.h"

namespace {

using rttest::FrameTest;
using rttest::ReadLines;

// Waits for a box with this caption, records its owner and texts, then
// presses the button.
class BoxPresser {
public:
    BoxPresser(const char *caption, int button)
        : thread_([this, caption, button] { Press(caption, button); }) {}
    ~BoxPresser() { Join(); }
    void Join() {
        if (thread_.joinable()) thread_.join();
    }

    HWND owner = nullptr;
    std::string texts;  // of the box's controls, each followed by '|'

private:
    void Press(const char *caption, int button) {
        HWND box = nullptr;
        for (int tries = 0; tries < 500 && !box; ++tries) {
            box = FindWindowA("#32770", caption);
            if (!box) Sleep(20);
        }
        if (!box) return;
        owner = GetWindow(box, GW_OWNER);
        EnumChildWindows(box, CollectText, reinterpret_cast<LPARAM>(&texts));
        PostMessageA(box, WM_COMMAND, button, 0);
    }
    static BOOL CALLBACK CollectText(HWND child, LPARAM texts) {
        char text[512];
        GetWindowTextA(child, text, sizeof text);
        *reinterpret_cast<std::string *>(texts) += std::string(text) + "|";
        return TRUE;
    }

    std::thread thread_;
};

class InteractiveBox : public FrameTest {};

TEST_F(InteractiveBox, ShowsOverTheFrameAndReturnsThePressedButton) {
    std::string transcript = scratch_.File("t.txt");
    ASSERT_GT(Start("/t \"" + transcript + "\""), 0);
    BoxPresser user("Interactive Box", IDNO);
    EXPECT_EQ(IDNO, DoMsgBox("Proceed?", "Interactive Box", MB_YESNO));
    user.Join();
    EXPECT_EQ(HwndFrame(), user.owner);
    EXPECT_NE(std::string::npos, user.texts.find("Proceed?"));
    EXPECT_EQ(std::vector<std::string>{"msgbox \"Proceed?\" \"Interactive Box\" 4 7"}, ReadLines(transcript));
}

TEST_F(InteractiveBox, StartupFailureNamesTheProblemAndTheUsage) {
    BoxPresser user("Setup", IDOK);
    EXPECT_EQ(0, Start("/t"));
    user.Join();
    EXPECT_NE(std::string::npos, user.texts.find("The option /t needs a file name.")) << user.texts;
    EXPECT_NE(std::string::npos, user.texts.find("Usage: setup [/q] [/a FILE] [/t FILE] [/u LOG] [/?]")) << user.texts;
}

TEST_F(InteractiveBox, UsageBoxThenStopQuietly) {
    BoxPresser user("Setup", IDOK);
    EXPECT_EQ(-1, Start("/?"));
    user.Join();
    EXPECT_NE(std::string::npos, user.texts.find("/a FILE")) << user.texts;
    EXPECT_EQ(nullptr, HwndFrame());
}

}  // namespace
