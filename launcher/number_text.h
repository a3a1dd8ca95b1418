// number_text.h - numbers as text without the C library's formatting,
// which would bring user32's or a large printf into the launcher.
#pragma once

#include <string>

// value in base (10 or 16, lower case), at least width digits.
inline std::string NumberText(unsigned long long value, unsigned base, size_t width = 1)
{
    std::string digits;
    do {
        digits.insert(digits.begin(), "0123456789abcdef"[value % base]);
        value /= base;
    } while (value != 0);
    return digits.size() < width ? std::string(width - digits.size(), '0') + digits : digits;
}
