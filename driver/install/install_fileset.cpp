// install_fileset.cpp - the second reading of a file set's block: its body
// lines are carried out in order.
//
// The block is read from the private copy of setup.inf, which stays
// readable while the user swaps diskettes. Each line is taken apart first
// (body_line.cpp), which refuses every line the block may not hold; what is
// left here is what touches the medium and the destination.
#include "install/install_fileset.h"
#include "log/install_log.h"
#include "script/script_line.h"
#include "base/text.h"
#include "install/progress.h"
#include "install/install.h"

#include <errno.h>
#include <direct.h>
#include <stdio.h>

enum line_outcome { NEXT_LINE, SET_COMPLETE };

// Where the files of disk n lie, by the first rule that fits the medium.
// The one-file medium's archive holds them under their names, a diskette
// in its FILES directory, a CD-ROM image in DISKn\FILES below the script, a
// floppy image on a hard disk in DISKn\FILES beside the directory of the
// script, a single directory beside the script.
static void set_source_disk_dir(struct _setup_info *si, int n)
{
    char *dir = si->src_disk_dir;
    size_t cb = sizeof si->src_disk_dir;
    int fits;
    if (si->archive != NULL)  // one medium: every file under its name
        fits = FormatText(dir, cb, "%s", si->src_dir);
    else if (si->src_drive_type == DRIVE_REMOVABLE)
        fits = FormatText(dir, cb, "%s\\FILES\\", si->src_drive);
    else if (si->image_type == IMAGE_SINGLE_DIR)
        fits = FormatText(dir, cb, "%s", si->src_dir);
    else if (si->image_type == IMAGE_CDROM)
        fits = FormatText(dir, cb, "%sDISK%d\\FILES\\", si->src_dir, n);
    else
        fits = FormatText(dir, cb, "%s..\\DISK%d\\FILES\\", si->src_dir, n);
    if (!fits)
        FatalStopFormatted(si, "Fatal Error", "Source directory name too long: %s", si->src_dir);
}

static void begin_body(struct _setup_info *si, struct _fileset_info *fs)
{
    if (si->begin)
        CorruptedScript(si);
    si->begin = 1;
    if (si->verbose)
        printf("Checking for correct DISKID %d\n", fs->starting_diskid);
    // Only a real diskette can be the wrong one; the disk counter stays, so
    // the next set that starts elsewhere asks again.
    if (si->src_drive_type == DRIVE_REMOVABLE && fs->starting_diskid != si->current_diskid)
        ChangeDisketteMsg(fs->starting_diskid, si);
    set_source_disk_dir(si, fs->starting_diskid);
}

static void change_disk(struct _setup_info *si, int disk)
{
    si->current_diskid = disk;
    if (si->verbose)
        printf("Changing Disk to DISK%d\n", si->current_diskid);
    // Asked even for the disk in the drive: the script says a swap is due.
    if (si->src_drive_type == DRIVE_REMOVABLE)
        ChangeDisketteMsg(si->current_diskid, si);
    set_source_disk_dir(si, si->current_diskid);
}

// One level below the destination; a directory that is there already is
// fine, so a second installation over the first goes through.
static void make_directory(struct _setup_info *si)
{
    if (si->verbose)
        printf("Will Make directory => %s\n", si->temp_dst_path);
    if (_mkdir(si->temp_dst_path) == 0)
        LogDirectoryMade(si, si->temp_dst_path);
    else if (errno != EACCES && errno != EEXIST)
        FatalStopFormatted(si, "Fatal Error", "Unable to create dir %s", si->temp_dst_path);
}

static enum line_outcome carry_out(struct _setup_info *si, struct _fileset_info *fs,
                                   const struct body_line *line, const struct file_record *record)
{
    switch (line->kind) {
    case BODY_PASSED_OVER:
        break;
    case BODY_BEGIN:
        begin_body(si, fs);
        break;
    case BODY_END:
        return SET_COMPLETE;
    case BODY_DIRECTORY:
        make_directory(si);
        break;
    case BODY_CHANGEDISK:
        change_disk(si, line->disk);
        break;
    case BODY_FILE:
        InstallFileLine(si, fs, line, record);
        break;
    }
    return NEXT_LINE;
}

int InstallFileSet(int file_set_no, struct _setup_info *si)
{
    // The first set of a script holds the installer's own files; an index
    // outside the table has no block to read.
    if (file_set_no == 0 || static_cast<unsigned>(file_set_no) >= MAX_FILE_SETS)
        return 0;
    struct _fileset_info *fs = &si->file_set_list[file_set_no];
    si->begin = 0;
    fseek(si->setup_inf_ptr, static_cast<long>(fs->seek_value), SEEK_SET);

    // A file's record stands on the line just before it.
    struct file_record record = {}, next_record = {};
    while (read_script_line(si)) {
        struct body_line line;
        TakeFileRecord(si->line_ptr, &next_record);
        TakeBodyLine(si, &line);
        if (carry_out(si, fs, &line, &record) == SET_COMPLETE)
            return 1;
        record = next_record;
    }
    return 1;
}
