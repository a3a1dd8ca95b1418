// Helpers of the runtime tests: a scratch directory, files, the transcript.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "setuprt.h"

namespace rttest {

// The stand-in dialog library built beside the test program.
constexpr char kTestDll[] = "rttestdlg.dll";

// A fresh directory per test, removed afterwards. It is named after the test,
// so the child process of a death test finds the same directory.
class ScratchDir {
public:
    ScratchDir() {
        char temp[MAX_PATH];
        GetTempPathA(sizeof temp, temp);
        const ::testing::TestInfo *test = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string("rt_") + test->test_suite_name() + "_" + test->name();
        path_ = std::filesystem::path(temp) / name;
        std::filesystem::create_directories(path_);
    }
    ~ScratchDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    std::string File(const std::string &name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

inline void WriteText(const std::string &path, const std::string &text) {
    std::ofstream(path, std::ios::binary) << text;
}

inline std::string ReadText(const std::string &path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// The transcript's lines without their line ends.
inline std::vector<std::string> ReadLines(const std::string &path) {
    std::vector<std::string> lines;
    std::ifstream file(path, std::ios::binary);
    for (std::string line; std::getline(file, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

inline std::string Symbol(const char *name) {
    char value[512];
    CbGetSymbolValue(name, value, sizeof value);
    return value;
}

// Every test that starts the frame ends it, so the next one can start again.
class FrameTest : public ::testing::Test {
protected:
    void TearDown() override { TerminateFrame(); }

    // Starts the frame with options; the command line is built by the caller.
    int Start(const std::string &cmdLine) { return InitializeFrame(cmdLine.c_str()); }

    ScratchDir scratch_;
};

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

}  // namespace rttest
