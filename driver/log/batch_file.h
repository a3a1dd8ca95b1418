// batch_file.h - AUTOEXEC.BAT as lines, for recording and taking back what
// the installation changed in it (the Windows 95 family).
#pragma once

#include <stddef.h>

#include <string>
#include <vector>

// A file at the root of the Windows drive ("C:\AUTOEXEC.BAT"); 0 when the
// Windows directory has no drive letter.
int RootFilePath(char *path, size_t cb, const char *name);

// The lines without their ends, as the toolkit reads them: CR LF or LF,
// a Ctrl+Z at the end dropped. 0 when the file cannot be read; a missing
// file is no lines.
int ReadBatchLines(const char *path, std::vector<std::string> &lines);
// Each line ends in CR LF, as the toolkit writes them.
int WriteBatchLines(const char *path, const std::vector<std::string> &lines);
