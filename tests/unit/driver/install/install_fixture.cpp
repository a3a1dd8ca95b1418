// install_fixture.cpp - the toolkit, the record, the medium and the window.
#include "install_fixture.h"

#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <filesystem>

#include "log/install_log.h"
#include "script/scan.h"
#include "dialogs/dialogs.h"
#include "install/progress.h"
#include "setupapi.h"
#include "setuprt.h"

namespace fs = std::filesystem;

namespace {

bool g_tests_done;

// A fatal stop outside a death test ends the whole program through exit();
// say which, or the run just stops.
void ReportEarlyExit()
{
    if (g_tests_done || unitcommon::InDeathTestChild())
        return;
    std::string transcript = ReadTranscript();
    size_t last = transcript.rfind('\n', transcript.size() >= 2 ? transcript.size() - 2 : 0);
    fprintf(stderr, "\nThe test program ended early; last transcript line: %s\n",
            transcript.substr(last == std::string::npos ? 0 : last + 1).c_str());
}

// The quiet toolkit, and the gauge's class as start-up registers it.
class Toolkit : public unitcommon::QuietToolkit {
public:
    Toolkit() : QuietToolkit("install_test") {}
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(QuietToolkit::SetUp());
        atexit(ReportEarlyExit);

        WNDCLASSA wc = {};
        wc.style = CS_SAVEBITS | CS_OWNDC | CS_HREDRAW | CS_VREDRAW;
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(NULL);
        wc.hbrBackground = (HBRUSH)GetStockObject(LTGRAY_BRUSH);
        wc.lpszClassName = "PercentClass";
        ASSERT_NE(RegisterClassA(&wc), 0);
    }
    void TearDown() override { g_tests_done = true; }
};

const auto *const environment = ::testing::AddGlobalTestEnvironment(new Toolkit);

}  // namespace

std::string PayloadDir()
{
    return std::string("Z:") + PAYLOAD_DIR;
}

std::vector<std::string> InstallTest::InstalledNames() const
{
    std::vector<std::string> names;
    for (const auto &entry : fs::directory_iterator(root + "\\dst"))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

void InstallTest::SetUp()
{
    root = unitcommon::ScratchPath("install_test\\");
    std::error_code ignored;
    fs::remove_all(root, ignored);
    fs::create_directories(root + "\\dst");
    fs::create_directories(root + "\\tmp");

    // What start-up leaves in the record; the destination is the test's.
    si.reset(new _setup_info());
    si->platform = PLATFORM_NT;
    si->image_type = IMAGE_SINGLE_DIR;
    GetSystemDirectoryA(si->sys_dir, sizeof si->sys_dir);
    snprintf(si->expand_path, sizeof si->expand_path, "%s\\expand.exe", si->sys_dir);
    snprintf(si->temp_dir, sizeof si->temp_dir, "%s\\tmp", root.c_str());
    snprintf(si->dst_dir, sizeof si->dst_dir, "%s\\dst", root.c_str());
    snprintf(si->dst_drive, sizeof si->dst_drive, "C:");
    si->installType = 1;
    STARTUPINFOA &startup = si->process_startup_info;
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);

    // As Install opens it.
    si->hProgBarDlg = CreateDialogParamA(GetModuleHandleA(NULL), "SETUPSTATUS", HwndFrame(), ProgBarDlgProc,
                                         (LPARAM)si.get());
    ASSERT_NE(si->hProgBarDlg, nullptr) << GetLastError();
    ShowWindow(si->hProgBarDlg, SW_SHOWNORMAL);
    SetForegroundWindow(si->hProgBarDlg);
}

void InstallTest::TearDown()
{
    CloseInstallLog();
    DestroyWindow(si->hProgBarDlg);
    if (si->setup_inf_ptr != nullptr)
        fclose(si->setup_inf_ptr);
    std::error_code ignored;
    fs::remove_all(root, ignored);
}

void InstallTest::UseMedium(const std::string &src_dir, const std::string &script)
{
    if (si->setup_inf_ptr != nullptr)
        fclose(si->setup_inf_ptr);
    WriteText(src_dir + "setup.inf", script);
    snprintf(si->src_dir, sizeof si->src_dir, "%s", src_dir.c_str());
    SetSourceDrive(si.get());

    ASSERT_NE(GetTempFileNameA(si->temp_dir, "pex", 0, si->setup_inf_file), 0u);
    ASSERT_TRUE(CopyFileA((src_dir + "setup.inf").c_str(), si->setup_inf_file, FALSE));
    si->setup_inf_ptr = fopen(si->setup_inf_file, "rb");
    ASSERT_NE(si->setup_inf_ptr, nullptr);
    ScanForFileSets(si.get());
}

std::string InstallTest::SimpleScript(const std::string &body, const std::string &header)
{
    return header + "FILESET [Setup files]\nBEGIN\nEND 0\nFILESET [Tools]\nBEGIN\n" + body +
           "END 1000\nFILESET [Other]\nBEGIN\nF never.txt never.txt\nEND 5\n";
}

void InstallTest::UseSimpleMedium(const std::string &body, const std::string &header)
{
    UseMedium(root + "\\medium\\", SimpleScript(body, header));
}

void InstallTest::LogSetOne()
{
    snprintf(si->company_name, sizeof si->company_name, "Works");
    snprintf(si->file_set_list[1].software_name, sizeof si->file_set_list[1].software_name, "Tools");
    SelectInstallLog(si.get(), &si->file_set_list[1]);
}

std::vector<log_record> InstallTest::LoggedFiles()
{
    CloseInstallLog();
    std::vector<log_record> records, files;
    std::string problem;
    EXPECT_TRUE(ParseLog(ReadText(Installed("uninstall-Works-Tools.log")), records, problem)) << problem;
    for (const log_record &record : records) {
        if (record.kind == LOG_FILE)
            files.push_back(record);
    }
    return files;
}

void InstallTest::ClearDriveA()
{
    std::error_code ignored;
    for (const fs::directory_entry &entry : fs::directory_iterator("A:\\", ignored))
        fs::remove_all(entry.path(), ignored);
}
