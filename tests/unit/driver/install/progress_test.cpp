// The copy-progress window: its template, what ShowStatus shows and paints,
// and its Cancel button.
#include "install_fixture.h"
#include "install/progress.h"
#include "install/install.h"
#include "base/text.h"

#include "setuprt.h"

#include <stdlib.h>

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
    // The vendor's product, when the script names it.
    CopyText(si->product_name, sizeof si->product_name, "Pinecone Notes 3.1");
    HWND branded = CreateDialogParamA(GetModuleHandleA(NULL), "SETUPSTATUS", HwndFrame(), ProgBarDlgProc,
                                      (LPARAM)si.get());
    EXPECT_EQ(Text(branded), "Pinecone Notes 3.1 Setup - Copying Files");
    TitleProgress(branded, si.get(), "Removing Files");
    EXPECT_EQ(Text(branded), "Pinecone Notes 3.1 Setup - Removing Files");
    DestroyWindow(branded);
    *si->product_name = '\0';
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
        // The share is shown from the start.
        {543, "STATIC", "0 % done", WS_GROUP | SS_LEFT},
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

}

RECT RectInDialog(HWND dlg, HWND control)
{
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(NULL, dlg, reinterpret_cast<POINT *>(&rect), 2);
    return rect;
}

HWND NthControl(HWND dlg, int n)
{
    HWND control = GetWindow(dlg, GW_CHILD);
    while (control && --n > 0)
        control = GetWindow(control, GW_HWNDNEXT);
    return control;
}

TEST_F(ProgressWindow, LinesUpItsPartsAndStandsInTheMiddleOfTheFrame)
{
    HWND dlg = si->hProgBarDlg;
    const RECT gauge = RectInDialog(dlg, GetDlgItem(dlg, 1016));
    const RECT file_box = RectInDialog(dlg, NthControl(dlg, 3));
    const RECT dir_box = RectInDialog(dlg, NthControl(dlg, 5));
    const RECT share_box = RectInDialog(dlg, NthControl(dlg, 8));
    const RECT cancel = RectInDialog(dlg, GetDlgItem(dlg, IDCANCEL));
    const RECT file = RectInDialog(dlg, GetDlgItem(dlg, 541));
    const RECT dir = RectInDialog(dlg, GetDlgItem(dlg, 542));
    const RECT share = RectInDialog(dlg, GetDlgItem(dlg, 543));
    for (const RECT &left_edge : {dir_box, gauge, share_box})
        EXPECT_EQ(left_edge.left, file_box.left);
    for (const RECT &right_edge : {dir_box, gauge, cancel})
        EXPECT_EQ(right_edge.right, file_box.right);
    EXPECT_EQ(dir.left, file.left);
    EXPECT_EQ(share.left, file.left);
    EXPECT_EQ(dir.right, file.right);
    // Each text inside its box, and the boxes one below the other.
    EXPECT_TRUE(file.top > file_box.top && file.bottom < file_box.bottom);
    EXPECT_TRUE(dir.top > dir_box.top && dir.bottom < dir_box.bottom);
    EXPECT_TRUE(share.top > share_box.top && share.bottom < share_box.bottom && share.right < share_box.right);
    EXPECT_LT(file_box.bottom, dir_box.top);
    EXPECT_LT(dir_box.bottom, gauge.top);
    EXPECT_LT(gauge.bottom, share_box.top);

    // A sunken edge around the gauge; the bar fills what is inside it.
    HWND gauge_window = GetDlgItem(dlg, 1016);
    EXPECT_TRUE(GetWindowLongA(gauge_window, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    RECT client;
    GetClientRect(gauge_window, &client);
    EXPECT_LT(client.right, gauge.right - gauge.left);

    RECT frame, window;
    GetWindowRect(HwndFrame(), &frame);
    GetWindowRect(dlg, &window);
    EXPECT_LE(abs((frame.left + frame.right) - (window.left + window.right)), 1);
    EXPECT_LE(abs((frame.top + frame.bottom) - (window.top + window.bottom)), 1);
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
    // The bar only ever grows over the grey, so the steps go up. Beyond 100
    // the share is shown as 100.
    const Step steps[] = {
        {0.0, "0 % done", 0},
        {42.9, "42 % done", static_cast<int>(0.429 * width)},
        {99.99, "99 % done", static_cast<int>(0.9999 * width)},
        {104.0, "100 % done", width},
        {1e12, "100 % done", width},
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

TEST_F(ProgressWindow, TheBarComesBackAfterTheWindowWasCovered)
{
    HWND gauge = GetDlgItem(si->hProgBarDlg, 1016);
    RECT client;
    GetClientRect(gauge, &client);
    si->percent_done = 50.0;
    ShowStatus(si.get(), "a.txt", "C:\\usr\\a.txt");
    RedrawWindow(si->hProgBarDlg, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    EXPECT_TRUE(BlueAt(gauge, client.right / 2 - 1));
    EXPECT_FALSE(BlueAt(gauge, client.right / 2 + 1));
}

std::string DlgText(HWND dlg, int id)
{
    char text[600];
    GetDlgItemTextA(dlg, id, text, sizeof text);
    return text;
}

// Names of small files may go by unseen, but once the copy is over the
// window shows the last file and the final share.
TEST_F(ProgressWindow, AfterTheCopyTheLastFileAndTheFinalShareAreShown)
{
    std::string body;
    for (int i = 1; i <= 20; i++) {
        std::string name = "f" + std::to_string(i) + ".txt";
        WriteText(root + "\\medium\\" + name, std::string(50, 'x'));
        body += "F " + name + " " + name + "\n";
    }
    UseSimpleMedium(body);
    si->total_disk_space_req = 1000;
    InstallFileSet(1, si.get());
    ShowFinalStatus(si.get());
    HWND dlg = si->hProgBarDlg;
    EXPECT_EQ(DlgText(dlg, 541), "f20.txt");
    EXPECT_EQ(DlgText(dlg, 542), Installed("f20.txt"));
    EXPECT_EQ(DlgText(dlg, 543), "100 % done");
    HWND gauge = GetDlgItem(dlg, 1016);
    RECT client;
    GetClientRect(gauge, &client);
    EXPECT_TRUE(BlueAt(gauge, client.right - 1));
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

// Cancel while one large file is written, plain or decoded: the quit
// dialog comes within the file; quitting removes the part written and
// leaves the earlier file.
class CancelInALargeFile : public InstallTest, public ::testing::WithParamInterface<bool> {
protected:
    static constexpr size_t size = 128u << 20;

    // In the compressor's format with literals only: a flag byte of eight
    // ones before every eight bytes.
    static void WriteCompressed(const std::string &path, const std::string &data)
    {
        std::string out("SZDD\x88\xF0\x27\x33" "A", 9);
        out += '\0';
        for (int shift = 0; shift < 32; shift += 8)
            out += char(data.size() >> shift & 0xFF);
        for (size_t at = 0; at < data.size(); at += 8)
            out += '\xFF' + data.substr(at, 8);
        WriteText(path, out);
    }

    static std::string part;
    static HWND dlg;
    // Esc once the temporary file has its first bytes.
    static void CALLBACK EscapeOnceWriting(HWND, UINT, UINT_PTR id, DWORD)
    {
        WIN32_FILE_ATTRIBUTE_DATA data;
        if (GetFileAttributesExA(part.c_str(), GetFileExInfoStandard, &data) && data.nFileSizeLow > 0) {
            KillTimer(NULL, id);
            PostMessageA(dlg, WM_KEYDOWN, VK_ESCAPE, 0);
        }
    }
};

std::string CancelInALargeFile::part;
HWND CancelInALargeFile::dlg;

TEST_P(CancelInALargeFile, QuitRemovesThePartAndKeepsTheEarlierFile)
{
    const bool compressed = GetParam();
    std::string data(size, '\0');
    for (size_t i = 0; i < size; i += 4096)
        data[i] = char(i >> 12);
    if (compressed)
        WriteCompressed(root + "\\medium\\big.bi_", data);
    else
        WriteText(root + "\\medium\\big.bin", data);
    UseSimpleMedium(compressed ? "F big.bi_ big.bin\n" : "F big.bin big.bin\n", compressed ? "COMPRESSED\n" : "");
    si->total_disk_space_req = static_cast<long>(size);
    WriteText(Installed("big.bin"), "from an earlier installation");
    part = Installed("big.bin.~part");
    dlg = si->hProgBarDlg;
    ChildAnswers quit("dialog 200 EXIT\n");
    ForgetChildTranscript();
    EXPECT_EXIT(
        {
            SetTimer(NULL, 0, 10, EscapeOnceWriting);
            InstallFileSet(1, si.get());
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_NE(ReadTranscript(true).find("dialog 200 EXIT"), std::string::npos);
    EXPECT_EQ(ReadText(Installed("big.bin")), "from an earlier installation");
    EXPECT_EQ(InstalledNames(), std::vector<std::string>{"big.bin"});
}

INSTANTIATE_TEST_SUITE_P(PlainAndCompressed, CancelInALargeFile, ::testing::Bool());

}  // namespace
