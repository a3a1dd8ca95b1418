// Bounded text into fixed buffers.
#include "base/text.h"

#include <windows.h>

#include <stdarg.h>
#include <stdio.h>
#include <string.h>

int FormatText(char *buf, size_t cb, const char *format, ...)
{
    va_list args;
    va_start(args, format);
    int n = vsnprintf(buf, cb, format, args);
    va_end(args);
    return n >= 0 && (size_t)n < cb;
}

int CopyText(char *dst, size_t cb, const char *src)
{
    return FormatText(dst, cb, "%s", src);
}

void copy_cut(char *field, size_t field_size, const char *value)
{
    const char *end = value;
    while (*end != '\0') {
        const char *next = CharNextA(end);
        if (static_cast<size_t>(next - value) > field_size - 1)
            break;
        end = next;
    }
    size_t length = static_cast<size_t>(end - value);
    memcpy(field, value, length);
    field[length] = '\0';
}
