// decompress.cpp - files of a compressed medium, expanded by expand.exe.
//
// expand.exe runs as a child with a three-word command line: itself, the
// source and the target. Only an exit code of 0 and a target of the length
// the source's header announces count: a file that failed to expand is
// never taken as installed.
#include "install_fileset.h"
#include "text.h"

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
static void compose_command_line(struct _setup_info *si, const char *source, const char *target)
{
    const char *program = si->expand_path;
    if (!FormatText(si->system_buf, sizeof si->system_buf, "%s%s%s %s%s%s %s%s%s", quote_for(program),
                    program, quote_for(program), quote_for(source), source, quote_for(source),
                    quote_for(target), target, quote_for(target)))
        FatalStopFormatted(si, "Fatal Error", "Command line too long for file %s", si->temp_src_path);
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
static DWORD run_expand(struct _setup_info *si)
{
    si->process_created = CreateProcessA(si->expand_path, si->system_buf, NULL, NULL, TRUE,
                                         CREATE_DEFAULT_ERROR_MODE | NORMAL_PRIORITY_CLASS | DETACHED_PROCESS,
                                         NULL, NULL, &si->process_startup_info, &si->process_info);
    if (!si->process_created)
        FatalStopFormatted(si, "Fatal Error", "Error Creating process %s %s\n", si->expand_path, si->system_buf);

    DWORD ret_val;
    do {
        ret_val = WaitForSingleObject(si->process_info.hProcess, 1000);
    } while (ret_val == WAIT_TIMEOUT);
    if (ret_val != WAIT_OBJECT_0) {
        close_child_handles(si);
        FatalStop(si, "Wait_failed", "Fatal Error");
    }
    DWORD exit_code;
    // An exit code that cannot be read is no proof of success.
    if (!GetExitCodeProcess(si->process_info.hProcess, &exit_code))
        exit_code = STILL_ACTIVE;
    close_child_handles(si);
    return exit_code;
}

// The compressor's header: its signature, the method, the name's last
// letter, and the expanded length as four bytes, low byte first.
static const unsigned char compressed_signature[8] = {'S', 'Z', 'D', 'D', 0x88, 0xF0, 0x27, 0x33};
enum { COMPRESSED_HEADER_SIZE = 14, EXPANDED_LENGTH_OFFSET = 10 };

enum source_header { SOURCE_NOT_COMPRESSED, SOURCE_COMPRESSED, SOURCE_HEADER_CUT };

// What the source's header says. expand.exe copies a file without the
// signature as it is, and ends a stream cut short with success and a
// shorter file, so the announced length is the only proof of a whole file.
static enum source_header read_source_header(const char *source, unsigned long *expanded_length)
{
    unsigned char header[COMPRESSED_HEADER_SIZE];
    FILE *file = fopen(source, "rb");
    if (file == NULL)
        return SOURCE_NOT_COMPRESSED;  // expand.exe reports that itself
    size_t got = fread(header, 1, sizeof header, file);
    fclose(file);
    if (got < sizeof compressed_signature || memcmp(header, compressed_signature, sizeof compressed_signature) != 0)
        return SOURCE_NOT_COMPRESSED;
    if (got < sizeof header)
        return SOURCE_HEADER_CUT;
    const unsigned char *length = header + EXPANDED_LENGTH_OFFSET;
    *expanded_length = length[0] | length[1] << 8 | length[2] << 16 | static_cast<unsigned long>(length[3]) << 24;
    return SOURCE_COMPRESSED;
}

static int has_length(const char *path, unsigned long length)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    return GetFileAttributesExA(path, GetFileExInfoStandard, &data) && data.nFileSizeHigh == 0 &&
           data.nFileSizeLow == length;
}

static void expand_checked(struct _setup_info *si, const char *source, const char *target)
{
    unsigned long expanded_length = 0;
    enum source_header header = read_source_header(si->temp_src_path, &expanded_length);
    compose_command_line(si, source, target);
    if (run_expand(si) != 0 || header == SOURCE_HEADER_CUT ||
        (header == SOURCE_COMPRESSED && !has_length(target, expanded_length)))
        FatalStopFormatted(si, "Fatal Error", "Error expanding file %s", si->temp_src_path);
}

// The Windows 95 family's expand.exe is given the short name of the source
// and the temporary file made at start-up as its target; the result is then
// moved to the long name.
static void expand_through_temp_file(struct _setup_info *si)
{
    DWORD length = GetShortPathNameA(si->temp_src_path, si->temp_src_short_path,
                                     sizeof si->temp_src_short_path);
    if (length == 0 || length >= sizeof si->temp_src_short_path)
        FatalStopFormatted(si, "Fatal Error", "Could not find short path name of %s", si->temp_src_path);
    expand_checked(si, si->temp_src_short_path, si->temp_expand_path);
    // MoveFileA never replaces a file; a second installation replaces the
    // first one's files as it does on Windows NT.
    DeleteFileA(si->temp_dst_path);
    if (!MoveFileA(si->temp_expand_path, si->temp_dst_path))
        FatalStopFormatted(si, "Fatal Error", "Error moving expanded file to %s", si->temp_dst_path);
}

void ExpandFile(struct _setup_info *si)
{
    if (si->platform == PLATFORM_WIN95)
        expand_through_temp_file(si);
    else
        expand_checked(si, si->temp_src_path, si->temp_dst_path);
}
