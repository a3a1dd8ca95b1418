// The copy gauge while files are copied: what it shows, where, its Cancel
// button, and the billboards shown in turn over the frame.
#include "inf_fixture.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <cstring>

#include "setupapi.h"
#include "setuprt.h"

namespace {

std::string ClassOf(HWND hwnd)
{
    char name[64] = "";
    GetClassNameA(hwnd, name, sizeof name);
    return name;
}

// Watches what the gauge is told while it lives, through a hook on the
// messages sent in this thread; can press Cancel when a file is shown.
class GaugeWatch {
public:
    enum class Press { Click, Esc };

    explicit GaugeWatch(size_t cancelAtFile = 0, Press press = Press::Click)
        : cancelAt_(cancelAtFile), press_(press)
    {
        active_ = this;
        hook_ = SetWindowsHookExA(WH_CALLWNDPROC, Hook, NULL, GetCurrentThreadId());
        EXPECT_NE(hook_, nullptr) << GetLastError();
    }
    ~GaugeWatch()
    {
        UnhookWindowsHookEx(hook_);
        active_ = nullptr;
    }

    std::vector<std::string> files;  // each text the gauge showed
    std::vector<int> positions;      // each position of its bar
    HWND gauge = NULL, owner = NULL;
    RECT place = {};

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam)
    {
        if (code == HC_ACTION && active_)
            active_->Look(*reinterpret_cast<const CWPSTRUCT *>(lParam));
        return CallNextHookEx(NULL, code, wParam, lParam);
    }

    void Look(const CWPSTRUCT &sent)
    {
        HWND parent = GetParent(sent.hwnd);
        if (!parent || ClassOf(parent) != COPY_GAUGE_CLASS)
            return;
        int id = GetDlgCtrlID(sent.hwnd);
        if (sent.message == PBM_SETPOS && id == COPY_GAUGE_BAR)
            positions.push_back(static_cast<int>(sent.wParam));
        if (sent.message != WM_SETTEXT || id != COPY_GAUGE_FILE)
            return;
        files.push_back(reinterpret_cast<const char *>(sent.lParam));
        gauge = parent;
        owner = GetWindow(parent, GW_OWNER);
        GetWindowRect(parent, &place);
        if (files.size() == cancelAt_) {
            HWND cancel = GetDlgItem(parent, IDCANCEL);
            if (press_ == Press::Click)
                PostMessageA(cancel, BM_CLICK, 0, 0);
            else
                PostMessageA(cancel, WM_KEYDOWN, VK_ESCAPE, 0);
        }
    }

    static GaugeWatch *active_;
    HHOOK hook_ = NULL;
    size_t cancelAt_;
    Press press_;
};

GaugeWatch *GaugeWatch::active_ = nullptr;

// Three files of 300, 100 and 200 bytes.
class CopyGauge : public CopyTest {
protected:
    void SetUp() override
    {
        CopyTest::SetUp();
        WriteText(Src("one.txt"), std::string(300, '1'));
        WriteText(Src("two.txt"), std::string(100, '2'));
        WriteText(Src("three.txt"), std::string(200, '3'));
        ASSERT_TRUE(OpenInf("[Files]\n" + FileLine("", "one.txt") + FileLine("", "two.txt") +
                            FileLine("", "three.txt")));
        AddSectionFilesToCopyList("Files", src.c_str(), dst.c_str());
    }
};

using CopyGaugeDeathTest = CopyGauge;

const char kQuitQuestion[] = "Do you want to quit Setup?";

TEST_F(CopyGauge, ShowsEachFileOverTheFrameAndFillsTheBarByBytes)
{
    GaugeWatch watch;
    EXPECT_EQ(GRC_OKAY, GrcCopyFilesInCopyList(HinstFrame()));

    EXPECT_EQ((std::vector<std::string>{Dst("one.txt"), Dst("two.txt"), Dst("three.txt"), Dst("three.txt")}),
              watch.files);
    EXPECT_EQ((std::vector<int>{0, 50, 66, 100}), watch.positions);
    EXPECT_EQ(HwndFrame(), watch.owner);
    EXPECT_FALSE(IsWindow(watch.gauge)) << "the gauge outlived the copy";
    EXPECT_EQ(std::string(200, '3'), ReadText(Dst("three.txt")));
}

TEST_F(CopyGauge, SitsLowOnTheFrameUntilPlaced)
{
    RECT frame;
    ASSERT_TRUE(GetWindowRect(HwndFrame(), &frame));
    {
        GaugeWatch watch;
        ASSERT_EQ(GRC_OKAY, GrcCopyFilesInCopyList(HinstFrame()));
        int width = watch.place.right - watch.place.left;
        EXPECT_EQ(frame.left + (frame.right - frame.left - width) / 2, watch.place.left);
        EXPECT_GT(watch.place.top, (frame.top + frame.bottom) / 2);
    }
    SetCopyGaugePosition(40, 60);
    AddSectionFilesToCopyList("Files", src.c_str(), dst.c_str());
    GaugeWatch watch;
    ASSERT_EQ(GRC_OKAY, GrcCopyFilesInCopyList(HinstFrame()));
    EXPECT_EQ(40, watch.place.left);
    EXPECT_EQ(60, watch.place.top);
}

// Quiet runs answer the question with its first button, Yes.
TEST_F(CopyGauge, EscOnTheGaugeAsksAndYesStopsBeforeTheNextFile)
{
    GaugeWatch watch(2, GaugeWatch::Press::Esc);
    EXPECT_EQ(GRC_USER_QUIT, GrcCopyFilesInCopyList(HinstFrame()));

    EXPECT_TRUE(Exists(Dst("one.txt")));
    EXPECT_FALSE(Exists(Dst("two.txt")));
    EXPECT_NE(std::string::npos,
              TranscriptSinceStart().find(MsgBoxLine(kQuitQuestion, "Setup", MB_YESNO | MB_ICONQUESTION, IDYES)));
    EXPECT_FALSE(IsWindow(watch.gauge));
}

TEST_F(CopyGaugeDeathTest, CancelAnsweredNoGoesOn)
{
    ChildAnswers answers("msgbox NO\n");
    EXPECT_EXIT(
        {
            GaugeWatch watch(1);
            int grc = GrcCopyFilesInCopyList(HinstFrame());
            exit(grc == GRC_OKAY && Exists(Dst("three.txt")) ? CHILD_RETURNED : 10 + grc);
        },
        ::testing::ExitedWithCode(CHILD_RETURNED), "");
}

TEST_F(CopyGaugeDeathTest, CancelAnsweredYesEndsTheRunThroughTheWrapper)
{
    ChildAnswers answers("msgbox YES\ndialog 400 CONTINUE\n");
    ForgetChildTranscript();
    EXPECT_EXIT(
        {
            GaugeWatch watch(2);
            CopyFilesInCopyList();
        },
        ::testing::ExitedWithCode(SETUP_ERROR_EXIT_CODE), "");

    std::string transcript = ReadTranscript(true);
    size_t copied = transcript.find(Quoted(Dst("one.txt")));
    size_t asked = transcript.find(MsgBoxLine(kQuitQuestion, "Setup", MB_YESNO | MB_ICONQUESTION, IDYES));
    ASSERT_NE(std::string::npos, copied);
    ASSERT_NE(std::string::npos, asked);
    EXPECT_LT(copied, asked);
    EXPECT_NE(std::string::npos, transcript.find("dialog 400 CONTINUE\n", asked));
    EXPECT_EQ(std::string::npos, transcript.find("abort"));
    EXPECT_TRUE(Exists(Dst("one.txt")));
    EXPECT_FALSE(Exists(Dst("two.txt")));
}

struct CaptionSearch {
    const char *caption;
    bool found;
};

BOOL CALLBACK MatchCaption(HWND hwnd, LPARAM param)
{
    auto *search = reinterpret_cast<CaptionSearch *>(param);
    char text[128] = "";
    GetWindowTextA(hwnd, text, sizeof text);
    search->found = search->found || strcmp(text, search->caption) == 0;
    return TRUE;
}

// A window of this thread with this caption, shown or not.
bool ThreadHasWindow(const char *caption)
{
    CaptionSearch search = {caption, false};
    EnumThreadWindows(GetCurrentThreadId(), MatchCaption, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string BillboardLines(const std::string &transcript)
{
    std::string lines;
    for (size_t at = transcript.find("billboard "); at != std::string::npos;
         at = transcript.find("billboard ", at + 1))
        lines += transcript.substr(at, transcript.find('\n', at) + 1 - at);
    return lines;
}

const char kWelcome[] = "billboard \"mscuistf.dll\" 100\n";
const char kBlank[] = "billboard \"\" 0\n";

// Before the files: 0, 50 and 66 per cent of the copy.
TEST_F(CopyGauge, BillboardsTakeTurnsByTicksOfTheCopy)
{
    AddToBillboardList("mscuistf.dll", 100, "FInfoDlgProc", 40);
    AddBlankToBillboardList(20);
    EXPECT_EQ(GRC_OKAY, GrcCopyFilesInCopyList(HinstFrame()));
    EXPECT_EQ(std::string(kWelcome) + kBlank + kWelcome, BillboardLines(TranscriptSinceStart()));
    EXPECT_FALSE(ThreadHasWindow("Welcome")) << "a billboard outlived the copy";
}

TEST_F(CopyGauge, ClearedBillboardsShowNothing)
{
    AddToBillboardList("mscuistf.dll", 100, "FInfoDlgProc", 10);
    ClearBillboardList();
    EXPECT_EQ(GRC_OKAY, GrcCopyFilesInCopyList(HinstFrame()));
    EXPECT_EQ("", BillboardLines(TranscriptSinceStart()));
}

TEST_F(CopyGaugeDeathTest, BillboardsThatCannotBeShownAreRefused)
{
    EXPECT_EQ(0, FAddToBillboardList("mscuistf.dll", 100, "FInfoDlgProc", 0));
    EXPECT_EQ(0, FAddToBillboardList("mscuistf.dll", 9999, "FInfoDlgProc", 10));
    EXPECT_EQ(0, FAddToBillboardList("mscuistf.dll", 100, "NoSuchDlgProc", 10));
    EXPECT_EQ(0, FAddToBillboardList("mscuistf.dll", 100, NULL, 10));
    EXPECT_EQ(0, FAddToBillboardList("nosuch.dll", 100, "FInfoDlgProc", 10));
    EXPECT_EXIT(AddBlankToBillboardList(-5), ::testing::ExitedWithCode(SETUP_ERROR_EXIT_CODE), "");
    EXPECT_EXIT(AddToBillboardList("mscuistf.dll", 9999, "FInfoDlgProc", 10),
                ::testing::ExitedWithCode(SETUP_ERROR_EXIT_CODE), "");
}

}  // namespace
