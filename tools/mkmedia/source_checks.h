// source_checks.h - the vendor's script judged before it is built, in the
// builder's own words, on the vendor's own lines: the mistakes that the
// installer would pass over in silence or stop at with a fixed text.
#pragma once

#include <vector>

#include "script.h"

// Keywords in the wrong case or unknown, body lines outside BEGIN and END,
// a first part holding files, more parts than the installer takes, lines
// short of a field or a bracket, names holding a blank. FOLDER lines are
// the vendor's, for the builder: on a medium they are an error.
std::vector<Diagnostic> CheckSource(const Script &script, bool on_medium = false);

// The diagnostics of the installer's reading, but for lines that own
// already speaks of, added to own.
void AddUnlessSaid(std::vector<Diagnostic> &own, const std::vector<Diagnostic> &installer);
