// common.h - what every part of the runtime shares: the copy rule for results
// in caller-owned buffers, and paths.
#pragma once

#include <string>

namespace rt {

// Copies at most size-1 bytes and a terminator; returns the full length, so a
// result of size or more tells the caller it did not fit.
unsigned CopyResult(const std::string &value, char *buffer, unsigned size);

// Null and "" name nothing.
inline bool IsGiven(const char *text) { return text && *text; }

// True when the text's last character is a backslash or a slash, stepping by
// character so the trail byte of a double-byte character never counts.
bool EndsInSeparator(const std::string &text);

// directory + file, with one separator between them.
std::string JoinPath(const std::string &directory, const std::string &file);

// An existing file, not a directory.
bool IsFile(const std::string &path);

// An existing directory.
bool IsDirectory(const std::string &path);

// The full path, so a relative directory gives a usable result.
std::string FullPath(const std::string &path);

}  // namespace rt
