// installer_stop.cpp - the driver's fatal stops, for the driver code that
// mkmedia shares: instead of a message box and the end of the process, the
// text goes back to the line being judged.
#include "installer_stop.h"

#include <stdarg.h>
#include <stdio.h>

#include "base/fatal.h"

void FatalStop(struct _setup_info *, const char *text, const char *)
{
    throw InstallerStop{text};
}

void FatalStopFormatted(struct _setup_info *si, const char *, const char *format, ...)
{
    va_list args;
    va_start(args, format);
    vsnprintf(si->output_buf, sizeof si->output_buf, format, args);
    va_end(args);
    throw InstallerStop{si->output_buf};
}
