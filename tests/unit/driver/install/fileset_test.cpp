// A file set's body lines carried out from plain media of every kind.
#include "install_fixture.h"
#include "install/progress.h"
#include "install/install.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

using FileSet = InstallTest;

std::string Medium(const std::string &root) { return root + "\\medium\\"; }

// The transcript written from here on.
class TranscriptTail {
public:
    TranscriptTail() : start_(ReadTranscript().size()) {}
    std::string Text() const { return ReadTranscript().substr(start_); }

private:
    size_t start_;
};

int Count(const std::string &text, const std::string &part)
{
    int count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        count++;
    return count;
}

std::string DiskPrompt(int disk, int button)
{
    return MsgBoxLine("Please Insert DISK Labeled " + std::to_string(disk) + " \n into Drive A:", "Change Disk", 1,
                      button);
}

TEST_F(FileSet, BodyLinesAreCarriedOutInOrderUpToEnd)
{
    WriteText(Medium(root) + "a.txt", "alpha");
    WriteText(Medium(root) + "b.dat", "beta");
    WriteText(Medium(root) + "view.ex_", "viewer");
    WriteText(Medium(root) + "readme.txt", "read me");
    UseSimpleMedium("; header and global lines are passed over\n"
                    "SOFTWARE [Tools]\nEXPRESS\nNOT COMPRESSED\nSINGLE DIR IMAGE\nADDPATH [bin]\n"
                    "D bin\n\tD bin\n"
                    "F a.txt a.txt\n"
                    "F\tb.dat\tbin\\b.cfg\n"
                    "P view.ex_ bin\\view.exe bin\\view.ico [Viewer]\n"
                    "P view.ex_ bin\\second.exe second.ico [Second]\n"
                    "I readme.txt readme.txt bin\\view.ico [Read me] [notepad.exe]\n");
    EXPECT_EQ(InstallFileSet(1, si.get()), 1);

    EXPECT_EQ(ReadText(Installed("a.txt")), "alpha");
    EXPECT_EQ(ReadText(Installed("bin\\b.cfg")), "beta");
    EXPECT_EQ(ReadText(Installed("bin\\view.exe")), "viewer");
    EXPECT_EQ(ReadText(Installed("readme.txt")), "read me");

    const _fileset_info &set = si->file_set_list[1];
    ASSERT_NE(set.prog_items, nullptr);
    EXPECT_EQ(set.prog_items->exe_path, Installed("bin\\view.exe"));
    EXPECT_STREQ(set.prog_items->icon_path, "bin\\view.ico");
    EXPECT_STREQ(set.prog_items->name, "Viewer");
    ASSERT_NE(set.prog_items->next, nullptr);
    EXPECT_EQ(set.prog_items->next, set.cur_prog_item);
    EXPECT_EQ(set.cur_prog_item->exe_path, Installed("bin\\second.exe"));
    EXPECT_STREQ(set.cur_prog_item->name, "Second");

    ASSERT_NE(set.info_items, nullptr);
    EXPECT_EQ(set.info_items, set.cur_info_item);
    EXPECT_EQ(set.info_items->info_file, Installed("readme.txt"));
    EXPECT_STREQ(set.info_items->icon_path, "bin\\view.ico");
    EXPECT_STREQ(set.info_items->name, "Read me");
    EXPECT_STREQ(set.info_items->app_exe_path, "notepad.exe");
}

TEST_F(FileSet, ScriptEndingInsideTheBlockInstallsWhatWasRead)
{
    WriteText(Medium(root) + "a.txt", "alpha");
    UseMedium(Medium(root), "FILESET [Setup]\nBEGIN\nEND 0\nFILESET [Tools]\nBEGIN\nF a.txt a.txt");
    EXPECT_EQ(InstallFileSet(1, si.get()), 1);
    EXPECT_EQ(ReadText(Installed("a.txt")), "alpha");
}

// Every text that the percentage field of the progress window was given.
std::vector<std::string> *g_shown;
WNDPROC g_static_proc;

LRESULT CALLBACK RecordText(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_SETTEXT)
        g_shown->push_back(reinterpret_cast<const char *>(lParam));
    return CallWindowProcA(g_static_proc, hwnd, msg, wParam, lParam);
}

TEST_F(FileSet, ProgressCountsTheInstalledBytesOverAllSets)
{
    for (const char *name : {"a.txt", "b.txt", "c.txt", "d.txt"})
        WriteText(Medium(root) + name, std::string(250, name[0]));
    UseMedium(Medium(root), "FILESET [Setup]\nBEGIN\nEND 0\n"
                            "FILESET [One]\nBEGIN\nF a.txt a.txt\nF b.txt b.txt\nEND 500\n"
                            "FILESET [Two]\nBEGIN\nD sub\nF c.txt sub\\c.txt\nF d.txt sub\\d.txt\nEND 500\n");
    si->total_disk_space_req = 1000;
    std::vector<std::string> shown;
    g_shown = &shown;
    HWND percent = GetDlgItem(si->hProgBarDlg, 543);
    g_static_proc = (WNDPROC)SetWindowLongPtrA(percent, GWLP_WNDPROC, (LONG_PTR)RecordText);

    char text[MAX_PATH];
    GetDlgItemTextA(si->hProgBarDlg, 543, text, sizeof text);
    EXPECT_STREQ(text, "0 % done");
    InstallFileSet(1, si.get());
    EXPECT_DOUBLE_EQ(si->percent_done, 50.0);
    InstallFileSet(2, si.get());
    // As Install ends the copy: what came too soon after the last update
    // to be shown is shown now.
    ShowFinalStatus(si.get());
    SetWindowLongPtrA(percent, GWLP_WNDPROC, (LONG_PTR)g_static_proc);

    // Fast files may skip a share, but what is shown goes up from the 0 the
    // window starts with to the end of the last file, each share once.
    const std::vector<std::string> shares = {"0 % done", "25 % done", "50 % done", "75 % done", "100 % done"};
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown.back(), shares.back());
    auto next = shares.begin();
    for (const std::string &text : shown) {
        next = std::find(next, shares.end(), text);
        ASSERT_NE(next, shares.end()) << text << " out of order or unknown";
        ++next;
    }
    EXPECT_EQ(si->bytes_written_to_disk, 1000u);
    GetDlgItemTextA(si->hProgBarDlg, 541, text, sizeof text);
    EXPECT_STREQ(text, "d.txt");
    GetDlgItemTextA(si->hProgBarDlg, 542, text, sizeof text);
    EXPECT_EQ(text, Installed("sub\\d.txt"));
}

TEST_F(FileSet, NoRequiredSizeShowsEverythingDone)
{
    WriteText(Medium(root) + "a.txt", "alpha");
    UseSimpleMedium("F a.txt a.txt\n");
    si->total_disk_space_req = 0;
    InstallFileSet(1, si.get());
    ShowFinalStatus(si.get());  // as Install ends the copy
    EXPECT_EQ(si->percent_done, 100.0);
    char text[32];
    GetDlgItemTextA(si->hProgBarDlg, 543, text, sizeof text);
    EXPECT_STREQ(text, "100 % done");
}

// Where the files of disks 1 and 2 lie on each kind of medium, relative to
// the directory of setup.inf (the source directory).
struct MediumKind {
    const char *image_line;
    const char *source;  // below the scratch directory; A:\ for a diskette
    const char *disk1;
    const char *disk2;
};

TEST_F(FileSet, FilesComeFromTheRightPlaceOfEachMedium)
{
    const MediumKind kinds[] = {
        {"SINGLE DIR IMAGE", "\\medium\\", "", ""},
        {"FLOPPY DISK IMAGE", "\\image\\DISK1\\", "FILES\\", "..\\DISK2\\FILES\\"},
        {"CDROM IMAGE", "\\cd\\", "DISK1\\FILES\\", "DISK2\\FILES\\"},
        {"SINGLE DIR IMAGE", "A:\\", "FILES\\", "FILES\\"},
    };
    for (const MediumKind &kind : kinds) {
        SCOPED_TRACE(kind.source);
        bool diskette = kind.source[0] == 'A';
        std::string source = diskette ? std::string(kind.source) : root + kind.source;
        if (diskette) {
            ClearDriveA();
            WriteText("A:\\DISKID2", "");
        }
        WriteText(source + kind.disk1 + "one.txt", source + " disk 1");
        WriteText(source + kind.disk2 + "two.txt", source + " disk 2");
        UseMedium(source, SimpleScript("F one.txt one.txt\nCHANGEDISK 2\nF two.txt two.txt\n",
                                       std::string(kind.image_line) + "\n"));

        TranscriptTail tail;
        EXPECT_EQ(InstallFileSet(1, si.get()), 1);
        EXPECT_EQ(ReadText(Installed("one.txt")), source + " disk 1");
        EXPECT_EQ(ReadText(Installed("two.txt")), source + " disk 2");
        EXPECT_EQ(si->src_disk_dir, source + kind.disk2);
        // Only a diskette is asked for, at CHANGEDISK.
        EXPECT_EQ(Count(tail.Text(), "Change Disk"), diskette ? 1 : 0);
        EXPECT_EQ(Count(tail.Text(), DiskPrompt(2, IDOK)), diskette ? 1 : 0);
    }
    ClearDriveA();
}

using Diskette = InstallTest;

// Set 1 starts on disk 2 because set 0 changed to it; set 2 as well.
const char kTwoSetsOnDisk2[] = "FILESET [Setup]\nBEGIN\nCHANGEDISK 2\nEND 0\n"
                               "FILESET [One]\nBEGIN\nF a.txt a.txt\nEND 5\n"
                               "FILESET [Two]\nBEGIN\nCHANGEDISK 2\nF b.txt b.txt\nEND 5\n";

TEST_F(Diskette, AskedAtBeginForAnotherDiskAndAtEveryChangeDisk)
{
    ClearDriveA();
    WriteText("A:\\FILES\\a.txt", "alpha");
    WriteText("A:\\FILES\\b.txt", "beta");
    WriteText("A:\\DISKID2", "");
    UseMedium("A:\\", kTwoSetsOnDisk2);
    TranscriptTail tail;
    InstallFileSet(1, si.get());
    InstallFileSet(2, si.get());
    // BEGIN of each set (the counter still says disk 1), and CHANGEDISK 2
    // although disk 2 is in the drive.
    EXPECT_EQ(Count(tail.Text(), DiskPrompt(2, IDOK)), 3);
    EXPECT_EQ(ReadText(Installed("b.txt")), "beta");
    ClearDriveA();
}

TEST_F(Diskette, WithoutTheMarkerThePromptComesBack)
{
    ClearDriveA();
    WriteText("A:\\FILES\\a.txt", "alpha");
    UseMedium("A:\\", kTwoSetsOnDisk2);
    // Quiet answers OK every time, until the run gives up on the loop.
    ForgetChildTranscript();
    EXPECT_EXIT(InstallFileSet(1, si.get()), ::testing::ExitedWithCode(3), "");
    EXPECT_GT(Count(ReadTranscript(true), DiskPrompt(2, IDOK)), 1);
    EXPECT_FALSE(Exists(Installed("a.txt")));
    ClearDriveA();
}

TEST_F(Diskette, CancelAsksWhetherToQuit)
{
    ClearDriveA();
    WriteText("A:\\FILES\\a.txt", "alpha");
    WriteText("A:\\DISKID2", "");
    UseMedium("A:\\", kTwoSetsOnDisk2);
    {
        ChildAnswers goOn("msgbox CANCEL\ndialog 200 CONTINUE\nmsgbox OK\n");
        ForgetChildTranscript();
        EXPECT_EXIT(
            {
                InstallFileSet(1, si.get());
                exit(CHILD_RETURNED);
            },
            ::testing::ExitedWithCode(CHILD_RETURNED), "");
    }
    std::string transcript = ReadTranscript(true);
    size_t cancelled = transcript.find(DiskPrompt(2, IDCANCEL));
    size_t asked = transcript.find("dialog 200 CONTINUE\n");
    size_t again = transcript.find(DiskPrompt(2, IDOK));
    EXPECT_TRUE(cancelled < asked && asked < again && again != std::string::npos) << transcript;
    EXPECT_EQ(ReadText(Installed("a.txt")), "alpha");

    DeleteFileA(Installed("a.txt").c_str());
    ChildAnswers quit("msgbox CANCEL\ndialog 200 EXIT\n");
    EXPECT_EXIT(InstallFileSet(1, si.get()), ::testing::ExitedWithCode(0), "");
    EXPECT_FALSE(Exists(Installed("a.txt")));
    ClearDriveA();
}

struct StopCase {
    std::string body;
    std::string text;  // %R stands for the scratch directory
    std::string title;
};

class FatalStops : public InstallTest, public ::testing::WithParamInterface<StopCase> {};

std::string WithRoot(std::string text, const std::string &root)
{
    for (size_t at = text.find("%R"); at != std::string::npos; at = text.find("%R", at + root.size()))
        text.replace(at, 2, root);
    return text;
}

TEST_P(FatalStops, EndTheRunWithTheirMessageAndNothingInstalled)
{
    WriteText(Medium(root) + "a.txt", "alpha");
    UseSimpleMedium(GetParam().body);
    ForgetChildTranscript();
    EXPECT_EXIT(InstallFileSet(1, si.get()), ::testing::ExitedWithCode(1), "");
    std::string transcript = ReadTranscript(true);
    EXPECT_NE(transcript.find(FatalLine(WithRoot(GetParam().text, root), GetParam().title)), std::string::npos)
        << transcript;
    // Not even a temporary file.
    EXPECT_TRUE(InstalledNames().empty());
}

// The scanner lets no such block through; the installer is given one
// directly.
TEST_F(FileSet, BlocksTheScannerRefusesStopTheInstallerToo)
{
    for (const char *block : {"; set up\nFILESET [Inner]\n", "BEGIN\nBEGIN\n", "CHANGEDISK\n"}) {
        SCOPED_TRACE(block);
        WriteText(root + "\\block.inf", block);
        si->setup_inf_ptr = fopen((root + "\\block.inf").c_str(), "rb");
        ForgetChildTranscript();
        EXPECT_EXIT(InstallFileSet(1, si.get()), ::testing::ExitedWithCode(1), "");
        EXPECT_NE(ReadTranscript(true).find(FatalLine("Corrupted setup.inf file")), std::string::npos);
        fclose(si->setup_inf_ptr);
        si->setup_inf_ptr = nullptr;
    }
}

TEST_F(FileSet, MessageTooLongForItsBufferIsShownCut)
{
    const std::string source(255, 's'), destination(250, 'd');
    UseSimpleMedium("F " + source + " " + destination + "\n");
    ForgetChildTranscript();
    EXPECT_EXIT(InstallFileSet(1, si.get()), ::testing::ExitedWithCode(1), "");
    std::string transcript = ReadTranscript(true);
    size_t start = transcript.find("msgbox \"Error 0x");
    size_t end = transcript.find("\" \"Fatal Error\" 0 1\n", start);
    ASSERT_NE(end, std::string::npos) << transcript;
    std::string shown = transcript.substr(start + 8, end - start - 8);
    EXPECT_NE(shown.find(source + " to "), std::string::npos);
    for (size_t at = shown.find("\\\\"); at != std::string::npos; at = shown.find("\\\\", at + 1))
        shown.erase(at, 1);
    EXPECT_EQ(shown.size(), 511u);
}

const std::string kLongDestination(250, 'p');

INSTANTIATE_TEST_SUITE_P(
    BodyLines, FatalStops,
    ::testing::Values(
        StopCase{"\n", "Corrupted setup.inf file", "Fatal Erro"},
        StopCase{"   \n", "Corrupted setup.inf file", "Fatal Erro"},
        StopCase{"COMPANY [Elsewhere]\n", "Corrupted setup.inf file", "Fatal Erro"},
        StopCase{"ERASE a.txt\n", "Corrupted setup.inf file", "Fatal Erro"},
        // Lines lacking a part stop before the file is touched.
        StopCase{"F a.txt\n", "Corrupted setup.inf file", "Fatal Error"},
        StopCase{"P a.txt a.txt\n", "Corrupted setup.inf file", "Fatal Error"},
        StopCase{"P a.txt a.txt i.ico Name\n", "Corrupted setup.inf file", "Fatal Error"},
        StopCase{"I a.txt a.txt i.ico [] [notepad.exe]\n", "Corrupted setup.inf file", "Fatal Error"},
        StopCase{"I a.txt a.txt i.ico [Doc]\n", "Corrupted setup.inf file", "Fatal Error"},
        StopCase{"D\n", "Corrupted setup.inf file", "Fatal Error"},
        StopCase{"F missing.txt a.txt\n", "Error 0x2 Copying File %R\\medium\\missing.txt to %R\\dst\\a.txt\n",
                 "Fatal Error"},
        StopCase{"D no\\such\n", "Unable to create dir %R\\dst\\no\\such", "Fatal Error"},
        // Paths too long for their fields are refused, never cut or overrun.
        // (A single name longer than a file system takes is refused by the
        // scan already.)
        StopCase{"P a.txt " + kLongDestination + " i.ico [n]\n", "Destination path too long: " + kLongDestination,
                 "Fatal Error"}));

}  // namespace
