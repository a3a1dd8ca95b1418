// source_checks.h - the vendor's script judged before it is built, in the
// builder's own words, on the vendor's own lines: the mistakes that the
// installer would pass over in silence or stop at with a fixed text.
#pragma once

#include <vector>

#include "script.h"

// Keywords in the wrong case or unknown, body lines outside BEGIN and END,
// a first part holding files, more parts than the installer takes, lines
// short of a field or a bracket, names holding a blank.
std::vector<Diagnostic> CheckSource(const Script &script);
