// paths.h - the trailing backslash of a path and its directory, found by
// character.
#pragma once

#include <stddef.h>

// AppendSlash needs room for one more character.
void AppendSlash(char *sz1);
void StripSlash(char *sz1);
// The part of path up to its last backslash, without it; 0 when it has
// none or the part does not fit cb.
int DirectoryOfPath(const char *path, char *dir, size_t cb);
