// program_files.h - the three program files of a medium proven to be this
// product's: a 0-byte, cut-short or stranger's file would stop the
// customer's installation before its first dialog.
#pragma once

#include <vector>

#include "medium.h"

// Errors for program files (setup.exe, setuprt.dll, mscuistf.dll, in the
// order of kProgramFiles; an empty path for one that is missing) that are
// no whole 32-bit Windows program, lack setup.exe's version resource, or
// lack an export that the installer or another of them calls.
std::vector<Diagnostic> CheckProgramFiles(const std::vector<fs::path> &programs);
