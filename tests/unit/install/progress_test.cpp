// The copy-progress window: its template, what ShowStatus shows and paints,
// and its Cancel button.
#include "install_fixture.h"

#include <string>
#include <vector>

namespace {

using ProgressWindow = InstallTest;

std::string Text(HWND hwnd)
{
    char text[256];
    GetWindowTextA(hwnd, text, sizeof text);
    return text;
}

std::string ClassOf(HWND hwnd)
{
    char name[64];
    GetClassNameA(hwnd, name, sizeof name);
    return CharUpperA(name);
}

TEST_F(ProgressWindow, TemplateHasItsCaptionAndNineControlsInOrder)
{
    HWND dlg = si->hProgBarDlg;
    EXPECT_NE(FindResourceExA(NULL, RT_DIALOG, "SETUPSTATUS", MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US)), nullptr);
    EXPECT_EQ(Text(dlg), "Quorvane/32 Setup - Copying Files");
    LONG style = GetWindowLongA(dlg, GWL_STYLE);
    EXPECT_EQ(style & (WS_POPUP | WS_CAPTION | WS_SYSMENU), WS_POPUP | WS_CAPTION);

    struct Control {
        int id;
        const char *cls;
        const char *text;
        LONG style;  // beyond WS_CHILD | WS_VISIBLE
    };
    const Control expected[] = {
        {1016, "PERCENTCLASS", "User1", 0},
        {543, "STATIC", "", WS_GROUP | SS_LEFT},
        {-1, "BUTTON", "File ", BS_GROUPBOX},
        {542, "STATIC", "", WS_GROUP | SS_LEFT},
        {-1, "BUTTON", "Dir", BS_GROUPBOX},
        {541, "STATIC", "", WS_GROUP | SS_LEFT},
        {-1, "STATIC", "To", WS_GROUP | SS_CENTER},
        {-1, "BUTTON", "", BS_GROUPBOX},
        {IDCANCEL, "BUTTON", "Cancel", WS_TABSTOP | BS_PUSHBUTTON},
    };
    HWND control = GetWindow(dlg, GW_CHILD);
    for (const Control &c : expected) {
        SCOPED_TRACE(c.text);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(static_cast<short>(GetDlgCtrlID(control)), c.id);
        EXPECT_EQ(ClassOf(control), c.cls);
        EXPECT_EQ(Text(control), c.text);
        EXPECT_EQ(GetWindowLongA(control, GWL_STYLE) & 0xFFFF00FF, WS_CHILD | WS_VISIBLE | c.style);
        control = GetWindow(control, GW_HWNDNEXT);
    }
    EXPECT_EQ(control, nullptr);

    // The gauge at 10, 76, 190 x 14 dialog units.
    RECT units = {10, 76, 190, 14};
    MapDialogRect(dlg, &units);
    RECT gauge;
    GetWindowRect(GetDlgItem(dlg, 1016), &gauge);
    MapWindowPoints(NULL, dlg, reinterpret_cast<POINT *>(&gauge), 2);
    EXPECT_EQ(gauge.left, units.left);
    EXPECT_EQ(gauge.top, units.top);
    EXPECT_EQ(gauge.right - gauge.left, units.right);
    EXPECT_EQ(gauge.bottom - gauge.top, units.bottom);
}

bool BlueAt(HWND gauge, int x)
{
    HDC dc = GetDC(gauge);
    COLORREF color = GetPixel(dc, x, 2);
    ReleaseDC(gauge, dc);
    return color == RGB(0, 0, 255);
}

TEST_F(ProgressWindow, ShowsTheWholePercentAndGrowsTheBarByWholePixels)
{
    HWND gauge = GetDlgItem(si->hProgBarDlg, 1016);
    RECT client;
    GetClientRect(gauge, &client);
    const int width = client.right;
    ASSERT_GT(width, 100);

    struct Step {
        double percent;
        const char *text;
        int blue_until;  // first column not painted
    };
    // The bar only ever grows over the grey, so the steps go up.
    const Step steps[] = {
        {0.0, "0 % done", 0},
        {42.9, "42 % done", static_cast<int>(0.429 * width)},
        {99.99, "99 % done", static_cast<int>(0.9999 * width)},
        {104.0, "104 % done", width},
    };
    for (const Step &step : steps) {
        SCOPED_TRACE(step.text);
        si->percent_done = step.percent;
        EXPECT_EQ(ShowStatus(si.get(), "qv.exe", "C:\\usr\\bin\\qv.exe"), 1);
        char text[64];
        GetDlgItemTextA(si->hProgBarDlg, 543, text, sizeof text);
        EXPECT_STREQ(text, step.text);
        if (step.blue_until > 0) {
            EXPECT_TRUE(BlueAt(gauge, step.blue_until - 1));
        }
        if (step.blue_until < width) {
            EXPECT_FALSE(BlueAt(gauge, step.blue_until));
        }
    }
    char text[64];
    GetDlgItemTextA(si->hProgBarDlg, 541, text, sizeof text);
    EXPECT_STREQ(text, "qv.exe");
    GetDlgItemTextA(si->hProgBarDlg, 542, text, sizeof text);
    EXPECT_STREQ(text, "C:\\usr\\bin\\qv.exe");
}

TEST_F(ProgressWindow, AHiddenWindowIsShownAgainWithoutTheFocusAndShowsTheLatestTexts)
{
    HWND dlg = si->hProgBarDlg;
    HWND other = CreateWindowA("STATIC", "other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, NULL, NULL, NULL, NULL);
    // Painted now: a paint pending for another window would bring the
    // progress window to the front through the message loop.
    UpdateWindow(other);
    SetForegroundWindow(other);
    ShowWindow(dlg, SW_HIDE);
    ASSERT_EQ(GetForegroundWindow(), other);
    si->percent_done = 50.0;
    ShowStatus(si.get(), "a.txt", "C:\\usr\\a.txt");
    EXPECT_TRUE(IsWindowVisible(dlg));
    EXPECT_EQ(GetForegroundWindow(), other);

    // The same percentage and file name again, with destinations that
    // differ only at their end; the longer one as long as a destination
    // path can be.
    char text[600];
    for (size_t length : {200u, 519u}) {
        std::string path = "C:\\usr\\" + std::string(length - 8, 'p') + "x";
        ShowStatus(si.get(), "b.txt", path.c_str());
        path.back() = 'y';
        ShowStatus(si.get(), "b.txt", path.c_str());
        GetDlgItemTextA(dlg, 542, text, sizeof text);
        EXPECT_EQ(text, path);
    }
    GetDlgItemTextA(dlg, 541, text, sizeof text);
    EXPECT_STREQ(text, "b.txt");
    GetDlgItemTextA(dlg, 543, text, sizeof text);
    EXPECT_STREQ(text, "50 % done");
    DestroyWindow(other);
}

TEST_F(ProgressWindow, CancelAndEscAskToQuitAndTheCopyGoesOn)
{
    HWND dlg = si->hProgBarDlg;
    size_t start = ReadTranscript().size();
    ShowWindow(dlg, SW_HIDE);
    PostMessageA(dlg, WM_KEYDOWN, VK_ESCAPE, 0);
    ShowStatus(si.get(), "a.txt", "C:\\usr\\a.txt");
    PostMessageA(GetDlgItem(dlg, IDCANCEL), BM_CLICK, 0, 0);
    ShowStatus(si.get(), "b.txt", "C:\\usr\\b.txt");

    // Quiet runs answer the quit question with going on.
    std::string tail = ReadTranscript().substr(start);
    EXPECT_EQ(tail, "dialog 200 CONTINUE\ndialog 200 CONTINUE\n");
    EXPECT_TRUE(IsWindowVisible(dlg));
}

TEST_F(ProgressWindow, CancelThenQuitEndsTheRun)
{
    ChildAnswers quit("dialog 200 EXIT\n");
    EXPECT_EXIT(
        {
            PostMessageA(si->hProgBarDlg, WM_KEYDOWN, VK_ESCAPE, 0);
            ShowStatus(si.get(), "a.txt", "C:\\usr\\a.txt");
        },
        ::testing::ExitedWithCode(0), "");
}

}  // namespace
