// decompress.cpp - files of a compressed medium in a format other than the
// compressor's, handed to expand.exe.
//
// expand.exe runs as a child with a three-word command line: itself, the
// source and the target, the temporary file beside the destination. Only an
// exit code of 0 and a target of the source's length count: a file that
// failed to expand is never taken as installed.
#include "install/install_fileset.h"
#include "log/install_log.h"
#include "base/text.h"
#include "base/fatal.h"
#include "later_windows.h"

#include <stdio.h>

static int has_blank(const char *path)
{
    for (; *path != '\0'; path = CharNextA(path)) {
        if (*path == ' ')
            return 1;
    }
    return 0;
}

static const char *quote_for(const char *path)
{
    return has_blank(path) ? "\"" : "";
}

// A path with a blank goes in double quotes, or expand.exe would take it
// for two words.
static int compose_command_line(struct _setup_info *si, const char *source, const char *target)
{
    const char *program = si->expand_path;
    return FormatText(si->system_buf, sizeof si->system_buf, "%s%s%s %s%s%s %s%s%s", quote_for(program), program,
                      quote_for(program), quote_for(source), source, quote_for(source), quote_for(target), target,
                      quote_for(target));
}

static void close_child_handles(struct _setup_info *si)
{
    CloseHandle(si->process_info.hProcess);
    CloseHandle(si->process_info.hThread);
    si->process_info.hProcess = NULL;
    si->process_info.hThread = NULL;
}

// Runs the command line in system_buf to its end and returns the child's
// exit code. No window messages are served meanwhile.
static DWORD run_expand(struct _setup_info *si, struct staged_file *stage)
{
    si->process_created = CreateProcessA(si->expand_path, si->system_buf, NULL, NULL, TRUE,
                                         CREATE_DEFAULT_ERROR_MODE | NORMAL_PRIORITY_CLASS | DETACHED_PROCESS,
                                         NULL, NULL, &si->process_startup_info, &si->process_info);
    if (!si->process_created) {
        DiscardStage(stage);
        FatalStopFormatted(si, "Fatal Error", "Error Creating process %s %s\n", si->expand_path, si->system_buf);
    }

    DWORD ret_val;
    do {
        ret_val = WaitForSingleObject(si->process_info.hProcess, 1000);
    } while (ret_val == WAIT_TIMEOUT);
    if (ret_val != WAIT_OBJECT_0) {
        close_child_handles(si);
        DiscardStage(stage);
        FatalStop(si, "Wait_failed", "Fatal Error");
    }
    DWORD exit_code;
    // An exit code that cannot be read is no proof of success.
    if (!GetExitCodeProcess(si->process_info.hProcess, &exit_code))
        exit_code = STILL_ACTIVE;
    close_child_handles(si);
    return exit_code;
}

// expand.exe copies a file without the compressor's signature as it is
// (those with it are decoded in process), so the copy must have the
// source's length.
static int expected_length(struct _setup_info *si, unsigned long long *length)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!FileAttributesOf(si->temp_src_path, &data))
        return 0;
    *length = static_cast<unsigned long long>(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
    return 1;
}

// The Windows 95 family's expand.exe takes short names only; the
// temporary file is made first, so it has one.
void ExpandFile(struct _setup_info *si, struct staged_file *stage)
{
    OpenStage(si, stage, FILE_ATTRIBUTE_NORMAL);
    CloseStageWriter(si, stage);
    const char *source = si->temp_src_path;
    const char *target = stage->path;
    char short_target[MAX_PATH];
    if (si->platform == PLATFORM_WIN95) {
        DWORD length = GetShortPathNameA(si->temp_src_path, si->temp_src_short_path, sizeof si->temp_src_short_path);
        if (length == 0 || length >= sizeof si->temp_src_short_path) {
            DiscardStage(stage);
            FatalStopFormatted(si, "Fatal Error", "Could not find short path name of %s", si->temp_src_path);
        }
        length = GetShortPathNameA(stage->path, short_target, sizeof short_target);
        if (length == 0 || length >= sizeof short_target) {
            DiscardStage(stage);
            FatalStopFormatted(si, "Fatal Error", "Could not find short path name of %s", si->temp_dst_path);
        }
        source = si->temp_src_short_path;
        target = short_target;
    }
    unsigned long long length = 0;
    int known = expected_length(si, &length);
    if (!compose_command_line(si, source, target)) {
        DiscardStage(stage);
        FatalStopFormatted(si, "Fatal Error", "Command line too long for file %s", si->temp_src_path);
    }
    // The log needs the sum of what expand.exe wrote, which only reading
    // it back gives.
    if (run_expand(si, stage) != 0 || !known || !HasLength(stage->path, length) ||
        !FileChecksum(stage->path, &stage->length, &stage->crc))
        StageWriteFailed(si, stage, 0);
    MakeStageWritable(si, stage);
}
