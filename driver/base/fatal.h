// fatal.h - the driver's common ending for unrecoverable errors, which every
// layer may take. setup.exe's is fatal.cpp; a program that shares the
// script code without the installer (a medium builder, a test) supplies its
// own.
#pragma once

#include "base/setup_info.h"

// The message box with style 0, the scratch files of the run removed, the
// toolkit shut down, exit code 1.
[[noreturn]] void FatalStop(struct _setup_info *si, const char *text, const char *title);
// The same with a text formatted into output_buf; a text longer than
// output_buf is shown cut, the stop is the same.
[[noreturn]] void FatalStopFormatted(struct _setup_info *si, const char *title, const char *format, ...)
    __attribute__((format(printf, 3, 4)));
