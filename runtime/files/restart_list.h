// restart_list.h - files that wait for the next start of Windows because
// they were in use.
#pragma once

#include <windows.h>

#include <string>

namespace rt {

// Copies source beside the destination (or into the restart directory) and
// has Windows move it over the destination when it starts again.
bool QueueReplacement(const std::string &source, const std::string &destination);

// Has Windows delete the file when it starts again.
bool QueueRemoval(const std::string &file);

// The errors of a file that another program holds open.
bool IsInUseError(DWORD error);

}  // namespace rt
