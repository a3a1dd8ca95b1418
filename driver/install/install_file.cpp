// install_file.cpp - one file line: the file brought over from the medium
// whole (whole_file.cpp), logged, its shortcut recorded, its size counted in
// the progress.
#include "install/install_fileset.h"
#include "log/install_log.h"
#include "script/script_line.h"
#include "base/text.h"
#include "install/progress.h"

#include <stdio.h>

// The shortcuts are made from these items once every set is copied.
static void record_item(struct _setup_info *si, struct _fileset_info *fs, const struct body_line *line)
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

// The share of the installation done with done bytes more than the files
// installed so far. Without a required size there is no share to show: a
// file written is all there was to do.
static void count_progress(struct _setup_info *si, unsigned long long done)
{
    if (si->total_disk_space_req == 0)
        si->percent_done = 100.0;
    else
        si->percent_done = (static_cast<double>(si->bytes_written_to_disk) + static_cast<double>(done)) /
                           static_cast<double>(si->total_disk_space_req) * 100.0;
}

void ShowFileProgress(struct _setup_info *si, unsigned long long done)
{
    count_progress(si, done);
    ShowCopyProgress(si);
}

// The file counts by the bytes written, which for an expanded file are
// known only now.
static void count_installed_file(struct _setup_info *si, unsigned long long length)
{
    si->bytes_written_to_disk += static_cast<unsigned long>(length);
    count_progress(si, 0);
    ShowCopyProgress(si);
}

// What came from the medium against what the builder put there.
static void check_against_record(struct _setup_info *si, struct staged_file *stage, const struct file_record *record)
{
    if (!record->present || (stage->length == record->length && stage->crc == record->crc))
        return;
    DiscardStage(stage);
    FatalStopFormatted(si, "Fatal Error",
                       "The file %s on the installation disk is damaged: it gave %llu bytes with CRC-32 %08lX, "
                       "setup.inf records %llu bytes with CRC-32 %08lX",
                       si->temp_src_path, stage->length, stage->crc, record->length, record->crc);
}

void InstallFileLine(struct _setup_info *si, struct _fileset_info *fs, const struct body_line *line,
                     const struct file_record *record)
{
    if (si->verbose)
        printf("Expanding %s =>\n\t%s .....\n", si->temp_src_path, si->temp_dst_path);
    ShowCopyStarting(si, si->fname, si->temp_dst_path);
    struct staged_file stage;
    if (si->compressed_files) {
        // An entry in another format is copied: expand.exe needs a file,
        // and would copy it as it is.
        if (!DecodeFile(si, &stage))
            si->archive != NULL ? CopySourceFile(si, &stage) : ExpandFile(si, &stage);
    } else
        CopySourceFile(si, &stage);
    check_against_record(si, &stage, record);
    int existed = PutStageInPlace(si, &stage);
    LogFileWritten(si, si->temp_dst_path, existed, stage.length, stage.crc);
    record_item(si, fs, line);
    count_installed_file(si, stage.length);
}
