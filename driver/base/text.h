// text.h - bounded text into the record's fixed buffers.
#pragma once

#include <stddef.h>

// Both write at most cb bytes, always terminated, and return 1 when the
// whole text fit, 0 when it was cut.
int FormatText(char *buf, size_t cb, const char *format, ...)
    __attribute__((format(printf, 3, 4)));
int CopyText(char *dst, size_t cb, const char *src);
// Copies value into a field of field_size bytes: at most field_size - 1
// bytes, never half of a double-byte character, always terminated.
void copy_cut(char *field, size_t field_size, const char *value);
