// whole_file.cpp - an installed file that replaces an earlier one is written
// under a temporary name in its destination directory and takes its own
// name only once it is whole; a file whose name is free is written under
// it at once.
//
// A failure, a full disk or a killed run thus never costs the earlier
// installation's file. A new file is named in the installation log before
// its first byte, so that what a killed run left of it is known as a part:
// the uninstallation and the next run take it away. The temporary name is
// fixed per destination file, so a later run finds what a killed one left.
#include "install/install_fileset.h"
#include "log/log_lines.h"
#include "log/install_log.h"
#include "base/paths.h"
#include "base/text.h"
#include "base/fatal.h"
#include "later_windows.h"

#include <string.h>

static const char stage_suffix[] = ".~part";

void StageWriteFailed(struct _setup_info *si, struct staged_file *stage, DWORD error)
{
    DiscardStage(stage);
    if (si->compressed_files)
        FatalStopFormatted(si, "Fatal Error", "Error expanding file %s", si->temp_src_path);
    FatalStopFormatted(si, "Fatal Error", "Error 0x%x Copying File %s to %s\n", static_cast<unsigned>(error),
                       si->temp_src_path, si->temp_dst_path);
}

[[noreturn]] static void placing_failed(struct _setup_info *si, struct staged_file *stage, DWORD error)
{
    DiscardStage(stage);
    if (si->compressed_files)
        FatalStopFormatted(si, "Fatal Error", "Error moving expanded file to %s", si->temp_dst_path);
    FatalStopFormatted(si, "Fatal Error", "Error 0x%x Copying File %s to %s\n", static_cast<unsigned>(error),
                       si->temp_src_path, si->temp_dst_path);
}

static int name_taken(DWORD error)
{
    return error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS;
}


// Only a name that is free: then nothing earlier can be lost, and the file
// is the run's own from its creation. The log names it before its first
// byte.
static int opened_in_place(struct _setup_info *si, struct staged_file *stage, DWORD attributes)
{
    stage->writer = CreateFileA(si->temp_dst_path, GENERIC_WRITE, 0, NULL, CREATE_NEW, attributes, NULL);
    if (stage->writer == INVALID_HANDLE_VALUE) {
        stage->name_taken = name_taken(GetLastError());
        return 0;
    }
    CopyText(stage->path, sizeof stage->path, si->temp_dst_path);
    stage->in_place = 1;
    LogFileStarted(si, si->temp_dst_path);
    return 1;
}

void OpenStage(struct _setup_info *si, struct staged_file *stage, DWORD attributes)
{
    SetOpenStage(stage);
    if (opened_in_place(si, stage, attributes))
        return;
    char fixed[sizeof stage->path];
    DWORD error = ERROR_FILENAME_EXCED_RANGE;
    if (FormatText(fixed, sizeof fixed, "%s%s", si->temp_dst_path, stage_suffix)) {
        stage->writer = CreateFileA(fixed, GENERIC_WRITE, 0, NULL, CREATE_NEW, attributes, NULL);
        if (stage->writer != INVALID_HANDLE_VALUE) {
            CopyText(stage->path, sizeof stage->path, fixed);
            return;
        }
        error = GetLastError();
    }
    // A name that fits without the suffix may not fit with it.
    int taken = name_taken(error);
    if (!taken && error != ERROR_FILENAME_EXCED_RANGE)
        StageWriteFailed(si, stage, error);
    // The name is taken, most likely by a run cut short; whether it is
    // that run's is known once the new file is whole. Meanwhile a name of
    // its own: GetTempFileNameA creates the file, so it is never another's.
    if (taken)
        CopyText(stage->leftover, sizeof stage->leftover, fixed);
    char dir[sizeof stage->path];
    if (!DirectoryOfPath(si->temp_dst_path, dir, sizeof dir) || !GetTempFileNameA(dir, "~in", 0, stage->path)) {
        error = GetLastError();
        stage->path[0] = '\0';
        StageWriteFailed(si, stage, error);
    }
    stage->writer = CreateFileA(stage->path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, attributes, NULL);
    if (stage->writer == INVALID_HANDLE_VALUE)
        StageWriteFailed(si, stage, GetLastError());
}

int WriteStage(struct staged_file *stage, const void *bytes, DWORD size)
{
    // A disk running full may take a part and refuse only the rest, with
    // the reason.
    const char *rest = static_cast<const char *>(bytes);
    for (DWORD left = size; left > 0;) {
        DWORD wrote = 0;
        if (!WriteFile(stage->writer, rest, left, &wrote, NULL))
            return 0;
        if (wrote == 0) {
            SetLastError(ERROR_WRITE_FAULT);
            return 0;
        }
        rest += wrote;
        left -= wrote;
    }
    stage->length += size;
    stage->crc = Crc32(stage->crc, bytes, size);
    return 1;
}

static void check_writer_holds_all(struct _setup_info *si, struct staged_file *stage)
{
    long long length = 0;
    if (!FileSize(stage->writer, &length) || static_cast<unsigned long long>(length) != stage->length)
        StageWriteFailed(si, stage, ERROR_WRITE_FAULT);
}

// Closing flushes what the system still holds: a full disk may show only
// now.
static void close_writer_checked(struct _setup_info *si, struct staged_file *stage)
{
    BOOL closed = CloseHandle(stage->writer);
    stage->writer = INVALID_HANDLE_VALUE;
    if (!closed)
        StageWriteFailed(si, stage, GetLastError());
}

void CloseStageWriter(struct _setup_info *si, struct staged_file *stage)
{
    check_writer_holds_all(si, stage);
    close_writer_checked(si, stage);
}

int HasLength(const char *path, unsigned long long length)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    return FileAttributesOf(path, &data) &&
           (static_cast<unsigned long long>(data.nFileSizeHigh) << 32 | data.nFileSizeLow) == length;
}

// A leftover is the killed run's when it holds the beginning of the file
// just installed: it was being written from the same source. Anything else
// under that name is somebody else's and stays.
static int is_beginning_of(const char *leftover, const char *installed)
{
    HANDLE part = CreateFileA(leftover, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (part == INVALID_HANDLE_VALUE)
        return 0;
    HANDLE whole = CreateFileA(installed, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    int same = whole != INVALID_HANDLE_VALUE;
    static char part_block[65536], whole_block[65536];
    while (same) {
        DWORD got_part = 0, got_whole = 0;
        if (!ReadFile(part, part_block, sizeof part_block, &got_part, NULL) ||
            !ReadFile(whole, whole_block, got_part, &got_whole, NULL) || got_whole != got_part ||
            memcmp(part_block, whole_block, got_part) != 0)
            same = 0;
        else if (got_part < sizeof part_block)
            break;
    }
    if (whole != INVALID_HANDLE_VALUE)
        CloseHandle(whole);
    CloseHandle(part);
    return same;
}

// Replaces the earlier file in one step where the system can: the 95
// family has no MoveFileExA, so there the earlier file is deleted first.
// Whether there was one is learnt on the way: asking before costs a look
// through the whole directory under Wine, as much as copying a small file.
// TAKEN: the name was in use when the file was begun.
static int replace_file(const struct _setup_info *si, const char *from, const char *to, int taken, int *replaced)
{
    *replaced = 0;
    if (si->platform == PLATFORM_WIN95) {
        *replaced = DeleteFileA(to);
        if (!*replaced && GetLastError() != ERROR_FILE_NOT_FOUND)
            return 0;
        return MoveFileA(from, to);
    }
    if (!taken && MoveFileWithFlags(from, to, 0))
        return 1;
    if (!taken && !name_taken(GetLastError()))
        return 0;
    *replaced = 1;
    return MoveFileWithFlags(from, to, MOVEFILE_REPLACE_EXISTING);
}

void MakeStageWritable(struct _setup_info *si, struct staged_file *stage)
{
    DWORD attributes = GetFileAttributesA(stage->path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) &&
        !SetFileAttributesA(stage->path, attributes & ~FILE_ATTRIBUTE_READONLY))
        placing_failed(si, stage, GetLastError());
}

int PutStageInPlace(struct _setup_info *si, struct staged_file *stage)
{
    int replaced = 0;
    if (stage->writer != INVALID_HANDLE_VALUE)
        CloseStageWriter(si, stage);
    if (!stage->in_place && !replace_file(si, stage->path, si->temp_dst_path, stage->name_taken, &replaced))
        placing_failed(si, stage, GetLastError());
    stage->path[0] = '\0';
    SetOpenStage(NULL);
    if (stage->leftover[0] != '\0' && is_beginning_of(stage->leftover, si->temp_dst_path))
        DeleteFileA(stage->leftover);
    return replaced;
}
