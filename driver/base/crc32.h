// crc32.h - the CRC-32 of zip and PNG (reflected polynomial 0xEDB88320),
// which the installation log keeps of every file it installs.
#pragma once

#include <stddef.h>

// The CRC-32 of crc's data followed by these length bytes; 0 to start.
unsigned long Crc32(unsigned long crc, const void *data, size_t length);
