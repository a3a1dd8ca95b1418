// Bounded text into fixed buffers.
#include "text.h"

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
