// A buffer filled with 0xA5 and followed by a canary byte, to see what a
// call wrote and that it wrote nothing beyond the size it was given.
#pragma once

#include <vector>

namespace unitcommon {

class GuardedBuffer {
public:
    static constexpr unsigned char kFill = 0xA5;
    static constexpr unsigned char kCanary = 0x5A;

    explicit GuardedBuffer(unsigned size) : bytes_(size + 1, static_cast<char>(kFill))
    {
        bytes_.back() = static_cast<char>(kCanary);
    }
    char *Get() { return bytes_.data(); }
    unsigned Size() const { return static_cast<unsigned>(bytes_.size() - 1); }
    bool CanaryIntact() const { return static_cast<unsigned char>(bytes_.back()) == kCanary; }

private:
    std::vector<char> bytes_;
};

}  // namespace unitcommon
