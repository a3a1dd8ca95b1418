// install_file.cpp - one file line: the file brought over from the medium,
// its shortcut recorded, its size counted in the progress.
#include "install_fileset.h"
#include "script_line.h"
#include "text.h"

#include <stdio.h>
#include <string.h>
#include <sys/stat.h>

// The parts of a file line; they point into input_line_buf.
struct file_line {
    int file_type;
    const char *source;       // the file's name in the medium's file directory
    const char *destination;  // below the destination directory
    const char *icon;         // program and info lines
    const char *name;         // program and info lines: the shortcut's name
    const char *program;      // info lines: what opens the document
};

// An item keeps the installed path in a field of this size.
static_assert(sizeof(_ProgItems::exe_path) == sizeof(_InfoItems::info_file), "item path fields differ");
static const size_t ITEM_PATH_SIZE = sizeof(_ProgItems::exe_path);

// Takes every part before anything is done, so a damaged line installs
// nothing.
static void take_file_line(struct _setup_info *si, int file_type, struct file_line *line)
{
    *line = {};
    line->file_type = file_type;
    si->line_ptr = CharNextA(si->line_ptr);  // the letter
    if (!take_word(si))
        CorruptedScript(si);
    line->source = si->token;
    if (!take_word(si))
        CorruptedScript(si);
    line->destination = si->token;
    if (file_type == FILE_LINE_PLAIN)
        return;

    if (!take_word(si))
        CorruptedScript(si);
    line->icon = si->token;
    if (!take_bracket_value(si))
        CorruptedScript(si);
    line->name = si->token;
    if (file_type == FILE_LINE_PROGRAM)
        return;
    // A document's shortcut needs a name and the program that opens it.
    if (*line->name == '\0' || !take_bracket_value(si))
        CorruptedScript(si);
    line->program = si->token;
}

// The destination word taken apart as _splitpath does: a drive is dropped,
// dir keeps its trailing separator and ext its dot; fname becomes the
// installed file's name and extension. 0 when a part does not fit.
static int split_destination(struct _setup_info *si, const char *destination)
{
    const char *start = destination;
    // ":" is never the trail byte of a double-byte character.
    if (start[0] != '\0' && start[1] == ':')
        start += 2;
    const char *name = start;
    const char *dot = NULL;
    for (const char *ch = start; *ch != '\0'; ch = CharNextA(ch)) {
        if (*ch == '\\' || *ch == '/') {
            name = ch + 1;
            dot = NULL;
        } else if (*ch == '.') {
            dot = ch;
        }
    }
    size_t dir_length = static_cast<size_t>(name - start);
    if (dir_length >= sizeof si->dir || !CopyText(si->fname, sizeof si->fname, name))
        return 0;
    memcpy(si->dir, start, dir_length);
    si->dir[dir_length] = '\0';
    CopyText(si->ext, sizeof si->ext, dot != NULL ? dot : "");
    return 1;
}

static void compose_paths(struct _setup_info *si, const struct file_line *line)
{
    if (!CopyText(si->unique_src_fname, sizeof si->unique_src_fname, line->source))
        FatalStopFormatted(si, "Fatal Error", "Source file name too long: %s", line->source);
    if (!FormatText(si->temp_src_path, sizeof si->temp_src_path, "%s%s", si->src_disk_dir,
                    si->unique_src_fname))
        FatalStopFormatted(si, "Fatal Error", "Source path too long: %s", line->source);

    // A program or document path is kept in its item as well.
    size_t limit = line->file_type == FILE_LINE_PLAIN ? sizeof si->temp_dst_path : ITEM_PATH_SIZE;
    if (!split_destination(si, line->destination) ||
        !FormatText(si->temp_dst_path, limit, "%s\\%s%s", si->dst_dir, si->dir, si->fname))
        FatalStopFormatted(si, "Fatal Error", "Destination path too long: %s", line->destination);
}

static void copy_file(struct _setup_info *si)
{
    if (!CopyFileA(si->temp_src_path, si->temp_dst_path, FALSE))
        FatalStopFormatted(si, "Fatal Error", "Error 0x%x Copying File %s to %s\n",
                           static_cast<unsigned>(GetLastError()), si->temp_src_path, si->temp_dst_path);
}

// The shortcuts are made from these items once every set is copied.
static void record_item(struct _setup_info *si, struct _fileset_info *fs, const struct file_line *line)
{
    if (line->file_type == FILE_LINE_PROGRAM) {
        struct _ProgItems *item = new_item_node<struct _ProgItems>(si);
        CopyText(item->exe_path, sizeof item->exe_path, si->temp_dst_path);
        copy_cut(item->icon_path, sizeof item->icon_path, line->icon);
        copy_cut(item->name, sizeof item->name, line->name);
        append_item_node(&fs->prog_items, &fs->cur_prog_item, item);
    } else if (line->file_type == FILE_LINE_INFO) {
        struct _InfoItems *item = new_item_node<struct _InfoItems>(si);
        CopyText(item->info_file, sizeof item->info_file, si->temp_dst_path);
        copy_cut(item->icon_path, sizeof item->icon_path, line->icon);
        copy_cut(item->name, sizeof item->name, line->name);
        copy_cut(item->app_exe_path, sizeof item->app_exe_path, line->program);
        append_item_node(&fs->info_items, &fs->cur_info_item, item);
    }
}

// The file counts by its size on disk, which for an expanded file is known
// only now.
static void count_installed_file(struct _setup_info *si)
{
    if (_stat(si->temp_dst_path, &si->stat_info) != 0)
        FatalStopFormatted(si, "Fatal Error", "Could not stat expanded file %s\n", si->temp_dst_path);
    si->bytes_written_to_disk += static_cast<unsigned long>(si->stat_info.st_size);
    // Without a required size there is no share to show: a file written is
    // all there was to do.
    if (si->total_disk_space_req == 0)
        si->percent_done = 100.0;
    else
        si->percent_done = static_cast<double>(si->bytes_written_to_disk) /
                           static_cast<double>(si->total_disk_space_req) * 100.0;
    ShowStatus(si, si->fname, si->temp_dst_path);
}

void InstallFileLine(struct _setup_info *si, struct _fileset_info *fs, int file_type)
{
    struct file_line line;
    take_file_line(si, file_type, &line);
    compose_paths(si, &line);
    if (si->verbose)
        printf("Expanding %s =>\n\t%s .....\n", si->temp_src_path, si->temp_dst_path);
    if (si->compressed_files)
        ExpandFile(si);
    else
        copy_file(si);
    record_item(si, fs, &line);
    count_installed_file(si);
}
