// part_directories.h - every part installs on its own: the customer may
// pick any of them alone in the custom step.
#pragma once

#include <vector>

#include "script.h"

// A line of a part whose directory neither the destination nor an earlier
// line of the same part makes, with the part that makes it, if any.
std::vector<Diagnostic> CheckPartDirectories(const Script &script);
