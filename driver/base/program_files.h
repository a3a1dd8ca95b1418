// program_files.h - where the running installer's own files lie.
#pragma once

#include <stddef.h>

// The three files an installation copies for taking it back.
extern const char *const PROGRAM_FILES[3];

// The file of a program part as it runs: the program itself, a loaded
// library, or a library that lies beside the runtime; 0 when the path
// cannot be had or does not fit cb.
int ProgramFilePath(const char *name, char *path, size_t cb);
