// paths.cpp - the trailing backslash of a path and its directory.
#include "base/paths.h"

#include <string.h>
#include <windows.h>

// Start of the last character of sz1, or null for an empty string. The walk
// goes by character: a double-byte character whose trail byte is 0x5C ends
// in that byte but is no backslash.
static char *last_character(char *sz1)
{
    char *last = NULL;
    for (char *ch = sz1; *ch != '\0'; ch = CharNextA(ch))
        last = ch;
    return last;
}

// A character that begins with 0x5C is a single-byte backslash: 0x5C is
// never a lead byte.
static int is_backslash(const char *ch)
{
    return ch != NULL && *ch == '\\';
}

void AppendSlash(char *sz1)
{
    if (is_backslash(last_character(sz1)))
        return;
    size_t length = strlen(sz1);
    sz1[length] = '\\';
    sz1[length + 1] = '\0';
}

void StripSlash(char *sz1)
{
    char *last = last_character(sz1);
    if (is_backslash(last))
        *last = '\0';
}

int DirectoryOfPath(const char *path, char *dir, size_t cb)
{
    const char *last = NULL;
    for (const char *p = path; *p != '\0'; p = CharNextA(p)) {
        if (*p == '\\')
            last = p;
    }
    if (last == NULL || static_cast<size_t>(last - path) >= cb)
        return 0;
    memcpy(dir, path, last - path);
    dir[last - path] = '\0';
    return 1;
}
