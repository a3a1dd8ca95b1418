// file_record.cpp - reading the builder's record of a file; anything that
// is not exactly a record is an ordinary comment.
#include "script/file_record.h"

#include <windows.h>
#include <string.h>

static const char *take_digits(const char *p, int base, int most, unsigned long long *value)
{
    int taken = 0;
    *value = 0;
    for (; taken < most; p = CharNextA(p), taken++) {
        int digit = *p >= '0' && *p <= '9' ? *p - '0' : base == 16 && *p >= 'A' && *p <= 'F' ? *p - 'A' + 10 : -1;
        if (digit < 0)
            break;
        *value = *value * base + digit;
    }
    return taken == 0 ? NULL : p;
}

void TakeFileRecord(const char *line, struct file_record *record)
{
    static const char length_word[] = "; length ", crc_word[] = " crc32 ";
    unsigned long long length = 0, crc = 0;
    record->present = 0;
    if (strncmp(line, length_word, sizeof length_word - 1) != 0)
        return;
    const char *p = take_digits(line + sizeof length_word - 1, 10, 19, &length);
    if (p == NULL || strncmp(p, crc_word, sizeof crc_word - 1) != 0)
        return;
    p = take_digits(p + sizeof crc_word - 1, 16, 8, &crc);
    if (p == NULL || (*p != '\0' && *p != '\r' && *p != '\n'))
        return;
    record->present = 1;
    record->length = length;
    record->crc = static_cast<unsigned long>(crc);
}
