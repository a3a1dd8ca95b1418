// text.h - bounded text into the record's fixed buffers.
#pragma once

#include <stddef.h>

// Both write at most cb bytes, always terminated, and return 1 when the
// whole text fit, 0 when it was cut.
int FormatText(char *buf, size_t cb, const char *format, ...)
    __attribute__((format(printf, 3, 4)));
int CopyText(char *dst, size_t cb, const char *src);
