// zip_format.h - the records of a ZIP archive that the reader takes apart:
// their signatures, fixed lengths and flags, little-endian fields.
#pragma once

#include <stdint.h>

enum : uint32_t {
    LOCAL_SIGNATURE = 0x04034b50,
    CENTRAL_SIGNATURE = 0x02014b50,
    END_SIGNATURE = 0x06054b50,
    ZIP64_LOCATOR_SIGNATURE = 0x07064b50,
};

enum : size_t {
    LOCAL_SIZE = 30,
    CENTRAL_SIZE = 46,
    END_SIZE = 22,
    ZIP64_LOCATOR_SIZE = 20,
};

enum : uint16_t {
    FLAG_ENCRYPTED = 1 << 0,
    FLAG_DESCRIPTOR = 1 << 3,  // CRC-32 and lengths follow the data, not in the local header
    FLAG_STRONG_ENCRYPTION = 1 << 6,
    METHOD_STORED = 0,
    METHOD_DEFLATED = 8,
};

inline uint16_t Le16(const unsigned char *p)
{
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

inline uint32_t Le32(const unsigned char *p)
{
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}
