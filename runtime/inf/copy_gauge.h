// copy_gauge.h - the copy gauge: the file being copied, a bar and Cancel.
#pragma once

#include <windows.h>

#include <string>

namespace rt {

// Shown over the frame for the life of the object. A gauge that cannot be
// made leaves the copy without one; the copy itself goes on.
class CopyGauge {
public:
    explicit CopyGauge(HINSTANCE hinst);
    CopyGauge(const CopyGauge &) = delete;
    CopyGauge &operator=(const CopyGauge &) = delete;
    ~CopyGauge();

    void Show(const std::string &file, int percent);

    // Serves every message waiting for the thread; false when one was
    // WM_QUIT, the frame's request to end the run.
    bool ServeMessages();

    // True when Cancel (or Esc) was pressed since the last call.
    bool TakeCancel();

    HWND Window() const { return window_; }

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    HWND window_ = nullptr;
    bool cancelled_ = false;
};

}  // namespace rt
