// zlib_checksums.cpp - zlib's checksums, answered by the installer's own
// CRC-32 (the faster one), so that a program holds one CRC-32 and zlib's
// two checksum modules stay out of it: the program files must fit the
// first diskette, and the launcher stays small. The inflater of raw streams
// never asks for the Adler-32 (only streams with zlib's header do), but it
// links to it. Linked into each program as an object of its own, so that
// the linker takes these before it looks into zlib.
#include <zlib.h>

#include "base/crc32.h"

extern "C" uLong ZEXPORT crc32(uLong crc, const Bytef *bytes, uInt length)
{
    return bytes == NULL ? 0 : Crc32(crc, bytes, length);
}

extern "C" uLong ZEXPORT adler32(uLong adler, const Bytef *bytes, uInt length)
{
    if (bytes == NULL)
        return 1;
    uLong a = adler & 0xFFFF, b = adler >> 16 & 0xFFFF;
    for (uInt i = 0; i < length; i++) {
        a = (a + bytes[i]) % 65521;
        b = (b + a) % 65521;
    }
    return b << 16 | a;
}
