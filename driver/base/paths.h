// paths.h - the trailing backslash of a path, found by character.
#pragma once

// AppendSlash needs room for one more character.
void AppendSlash(char *sz1);
void StripSlash(char *sz1);
