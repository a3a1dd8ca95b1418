// line_file.h - a record written a line at a time (the transcript, a recording).
#pragma once

#include <string>

#include "base/handles.h"

namespace rt {

// Each line goes out with one WriteFile and no buffer of our own, so it is on
// disk even when the run ends through ExitProcess.
class LineFile {
public:
    // Creates (or truncates) the file, readable by others while the run goes
    // on, so tests and users can follow it; lines end in lineEnd.
    bool Open(const std::string &path, const char *lineEnd) {
        lost_ = false;
        lineEnd_ = lineEnd;
        file_.Reset(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        return file_.IsOpen();
    }
    void Close() { file_.Close(); }
    bool IsOpen() const { return file_.IsOpen(); }

    void WriteLine(const std::string &line) {
        if (!file_.IsOpen()) return;
        std::string text = line + lineEnd_;
        DWORD written = 0;
        if (!WriteFile(file_.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) ||
            written != text.size())
            lost_ = true;
    }
    // Something meant for the file did not reach it: the record is incomplete.
    void MarkLost() { lost_ = true; }
    // Every line since Open reached the file (true when none is open).
    bool Complete() const { return !lost_; }

private:
    FileHandle file_;
    std::string lineEnd_;
    bool lost_ = false;
};

}  // namespace rt
