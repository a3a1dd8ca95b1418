// The common ending for unrecoverable errors.
#include "base/fatal.h"
#include "setupapi.h"
#include "setuprt.h"
#include "base/scratch_files.h"
#include "base/text.h"

#include <objbase.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>

void FatalStop(struct _setup_info *si, const char *text, const char *title)
{
    DoMsgBox(text, title, 0);
    RemoveScratchFiles(si);
    EndSetupToolkit();
    if (si->platform == PLATFORM_WIN95)
        CoUninitialize();
    exit(1);
}

void FatalStopFormatted(struct _setup_info *si, const char *title, const char *format, ...)
{
    // Room for the longest text the copy phase composes: the decompressor's
    // path and command line. Cut to output_buf by whole characters.
    char text[sizeof si->expand_path + sizeof si->system_buf + 64];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof text, format, args);
    va_end(args);
    copy_cut(si->output_buf, sizeof si->output_buf, text);
    FatalStop(si, si->output_buf, title);
}
