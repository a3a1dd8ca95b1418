// file_paths.h - pieces of full paths and new file names.
#pragma once

#include <string>

namespace rt {

// The name after the last directory or drive: "HIMEM.SYS" of "C:\DOS\HIMEM.SYS".
std::string FileNameOf(const std::string &path);

// "C:\dir\file" -> "C:\dir"; "C:\file" -> "C:\". "" when there is no backslash.
std::string ParentOf(const std::string &path);

// "C:\dir\" -> "C:\dir"; a root such as "C:\" keeps its backslash.
std::string WithoutTrailingBackslash(const std::string &path);

// A name without a directory, with no character Windows forbids in a name.
bool IsPlainName(const char *name);

// Makes a new empty file "<prefix><number>.tmp" in the directory and returns
// its path; "" when no file can be made there.
std::string MakeUniqueFile(const std::string &dir, const char *prefix);

// Both name the same file: their full paths are equal without regard to
// case, or both exist and are one file under two names (a short name).
bool IsSameFile(const std::string &a, const std::string &b);

}  // namespace rt
