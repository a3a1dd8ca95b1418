// command_line.h - the launcher's command line, passed on to setup.exe.
#pragma once

#include "bounded_text.h"

// The arguments of the launcher's command line (after its own name) as
// setup.exe gets them: the file after /a, /t, /r and /u made absolute
// against the current directory, since setup.exe starts in another one;
// every other word as it stands. False when they do not fit a command line.
bool PassedOnArguments(const char *command_line, LineText &passed);

// The absolute name of the transcript the command line asks for (/t), or
// an empty text (also for a name too long to be a file's).
void TranscriptFile(const char *command_line, PathText &file);

// Whether the run is unattended (/q or /a): no message box is shown.
bool Unattended(const char *command_line);
