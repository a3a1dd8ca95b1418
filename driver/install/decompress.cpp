// decompress.cpp - files of a compressed medium in a format other than the
// compressor's, handed to expand.exe.
//
// expand.exe runs as a child with a three-word command line: itself, the
// source and the target, the temporary file beside the destination. It is
// judged by its exit code and by the file it leaves: a file that failed to
// expand is never taken as installed.
#include "install/install_fileset.h"
#include "log/install_log.h"
#include "base/text.h"
#include "base/fatal.h"
#include "later_windows.h"

#include <stdio.h>
#include <string.h>

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

static unsigned long little_endian(const unsigned char *bytes, int count)
{
    unsigned long value = 0;
    for (int i = count - 1; i >= 0; i--)
        value = value << 8 | bytes[i];
    return value;
}

// A cabinet names what it holds: the target is whole when it has the length
// of the one file in it. expand.exe writes every file of a larger cabinet
// into the one target, each over the one before, and still reports success.
// Any other format says nothing of its result, and the exit code judges.
static int cabinet_result_whole(const char *source, const char *target)
{
    enum { HEADER = 36, FILES_OFFSET = 16, FILE_COUNT = 28 };
    HANDLE file = CreateFileA(source, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    unsigned char header[HEADER], entry[4];
    DWORD got = 0;
    int whole = 1;
    if (ReadFile(file, header, sizeof header, &got, NULL) && got == sizeof header &&
        memcmp(header, "MSCF", 4) == 0) {
        DWORD first_file = little_endian(header + FILES_OFFSET, 4);
        whole = little_endian(header + FILE_COUNT, 2) == 1 && first_file >= HEADER &&
                SetFilePointer(file, static_cast<LONG>(first_file), NULL, FILE_BEGIN) == first_file &&
                ReadFile(file, entry, sizeof entry, &got, NULL) && got == sizeof entry &&
                HasLength(target, little_endian(entry, 4));
    }
    CloseHandle(file);
    return whole;
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
    if (!compose_command_line(si, source, target)) {
        DiscardStage(stage);
        FatalStopFormatted(si, "Fatal Error", "Command line too long for file %s", si->temp_src_path);
    }
    // The log needs the sum of what expand.exe wrote, which only reading
    // it back gives.
    if (run_expand(si, stage) != 0 || !cabinet_result_whole(si->temp_src_path, stage->path) ||
        !FileChecksum(stage->path, &stage->length, &stage->crc))
        StageWriteFailed(si, stage, 0);
    MakeStageWritable(si, stage);
}
