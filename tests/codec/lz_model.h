// lz_model.h - the compressed format as described, on a ring window, one
// byte at a time: what the installer's decoder must give. Takes the items
// after the header; an item cut by the end is dropped, as expand.exe does.
#pragma once

#include <string.h>

#include <string>

inline std::string ModelExpand(const std::string &items)
{
    unsigned char window[4096];
    memset(window, ' ', sizeof window);
    unsigned at = 4096 - 16;
    std::string out;
    auto put = [&](unsigned char byte) {
        out += static_cast<char>(byte);
        window[at] = byte;
        at = (at + 1) & 0xFFF;
    };
    size_t i = 0;
    while (i < items.size()) {
        unsigned flags = static_cast<unsigned char>(items[i++]);
        for (int bit = 0; bit < 8 && i < items.size(); bit++, flags >>= 1) {
            if (flags & 1) {
                put(items[i++]);
                continue;
            }
            if (i + 1 == items.size())
                return out;
            unsigned low = static_cast<unsigned char>(items[i]), high = static_cast<unsigned char>(items[i + 1]);
            i += 2;
            unsigned position = low | (high & 0xF0) << 4;
            for (unsigned n = 0; n < (high & 0x0F) + 3u; n++)
                put(window[(position + n) & 0xFFF]);
        }
    }
    return out;
}
