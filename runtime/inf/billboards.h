// billboards.h - the billboards shown over the frame while files are copied.
#pragma once

#include <windows.h>

namespace rt {

// Puts up the billboard whose turn it is as the copy goes on, and takes the
// last one down at the end of the copy.
class BillboardShow {
public:
    BillboardShow() = default;
    BillboardShow(const BillboardShow &) = delete;
    BillboardShow &operator=(const BillboardShow &) = delete;
    ~BillboardShow() { TakeDown(); }

    // percent: how much of the copy is done, 0 to 100. A billboard is shown
    // for its ticks, one tick a hundredth of the copy, the list over again
    // when it runs out.
    void Update(int percent);

private:
    void TakeDown();

    size_t shown_ = static_cast<size_t>(-1);  // the entry up now; none at first
    HWND window_ = nullptr;                    // null for a blank pause
};

}  // namespace rt
