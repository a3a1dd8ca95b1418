// install_fileset.cpp - the second reading of a file set's block: its body
// lines are carried out in order.
//
// The block is read from the private copy of setup.inf, which stays
// readable while the user swaps diskettes. Every line inside the block must
// be one the rule table knows; anything else means the script is damaged.
#include "install_fileset.h"
#include "script_line.h"
#include "text.h"

#include <errno.h>
#include <direct.h>
#include <stdio.h>

enum line_outcome { NEXT_LINE, SET_COMPLETE };

struct body_rule {
    const char *keyword;
    enum line_outcome (*carry_out)(struct _setup_info *si, struct _fileset_info *fs, int value);
    int value;  // the kind of a file line
};

void CorruptedScript(struct _setup_info *si)
{
    FatalStop(si, "Corrupted setup.inf file", "Fatal Error");
}

// Where the files of disk n lie, by the first rule that fits the medium.
// A diskette keeps them in its FILES directory, a CD-ROM image in DISKn\FILES
// below the script, a floppy image on a hard disk in DISKn\FILES beside the
// directory of the script, a single directory beside the script.
static void set_source_disk_dir(struct _setup_info *si, int n)
{
    char *dir = si->src_disk_dir;
    size_t cb = sizeof si->src_disk_dir;
    int fits;
    if (si->src_drive_type == DRIVE_REMOVABLE)
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

static enum line_outcome skip_line(struct _setup_info *, struct _fileset_info *, int)
{
    return NEXT_LINE;
}

static enum line_outcome reject_line(struct _setup_info *si, struct _fileset_info *, int)
{
    CorruptedScript(si);
}

static enum line_outcome finish_set(struct _setup_info *, struct _fileset_info *, int)
{
    return SET_COMPLETE;
}

static enum line_outcome begin_body(struct _setup_info *si, struct _fileset_info *fs, int)
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
    return NEXT_LINE;
}

static enum line_outcome change_disk(struct _setup_info *si, struct _fileset_info *, int)
{
    if (!take_number_value(si))
        CorruptedScript(si);
    si->current_diskid = number_as_int(si->token);
    if (si->verbose)
        printf("Changing Disk to DISK%d\n", si->current_diskid);
    // Asked even for the disk in the drive: the script says a swap is due.
    if (si->src_drive_type == DRIVE_REMOVABLE)
        ChangeDisketteMsg(si->current_diskid, si);
    set_source_disk_dir(si, si->current_diskid);
    return NEXT_LINE;
}

// One level below the destination; a directory that is there already is
// fine, so a second installation over the first goes through.
static enum line_outcome make_directory(struct _setup_info *si, struct _fileset_info *, int)
{
    si->line_ptr = CharNextA(si->line_ptr);
    if (!take_word(si))
        CorruptedScript(si);
    if (!FormatText(si->temp_dst_path, sizeof si->temp_dst_path, "%s\\%s", si->dst_dir, si->token))
        FatalStopFormatted(si, "Fatal Error", "Directory name too long: %s", si->token);
    if (si->verbose)
        printf("Will Make directory => %s\n", si->temp_dst_path);
    if (_mkdir(si->temp_dst_path) != 0 && errno != EACCES && errno != EEXIST)
        FatalStopFormatted(si, "Fatal Error", "Unable to create dir %s", si->temp_dst_path);
    return NEXT_LINE;
}

static enum line_outcome install_file(struct _setup_info *si, struct _fileset_info *fs, int file_type)
{
    InstallFileLine(si, fs, file_type);
    return NEXT_LINE;
}

// Walked in this order; the first keyword a line begins with wins, so a
// FILESET line is never taken for a file line "F".
static const struct body_rule body_rules[] = {
    {";",                 skip_line,      0},
    {"FILESET",           reject_line,    0},
    {"BEGIN",             begin_body,     0},
    {"END",               finish_set,     0},
    {"D",                 make_directory, 0},
    {"CHANGEDISK",        change_disk,    0},
    {"EXPRESS",           skip_line,      0},
    {"COMPRESSED",        skip_line,      0},
    {"NOT COMPRESSED",    skip_line,      0},
    {"SINGLE DIR IMAGE",  skip_line,      0},
    {"FLOPPY DISK IMAGE", skip_line,      0},
    {"CDROM IMAGE",       skip_line,      0},
    {"F",                 install_file,   FILE_LINE_PLAIN},
    {"I",                 install_file,   FILE_LINE_INFO},
    {"P",                 install_file,   FILE_LINE_PROGRAM},
    {"SOFTWARE",          skip_line,      0},
    {"MAJORVERSION",      skip_line,      0},
    {"MINORVERSION",      skip_line,      0},
    {"RELEASE",           skip_line,      0},
    {"CPUTYPE",           skip_line,      0},
    {"ADDPATH",           skip_line,      0},
    {"APPITEM",           skip_line,      0},
    {"SYSAPP",            skip_line,      0},
    {"ENVIRONMENT",       skip_line,      0},
};

static const struct body_rule *find_body_rule(const char *line)
{
    for (const struct body_rule &rule : body_rules) {
        if (line_starts_with(line, rule.keyword))
            return &rule;
    }
    return NULL;
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

    while (read_script_line(si)) {
        const struct body_rule *rule = find_body_rule(si->line_ptr);
        // An empty line, COMPANY and every unknown line: the script is
        // damaged. The title lacks its last letter, as it always has.
        if (rule == NULL)
            FatalStop(si, "Corrupted setup.inf file", "Fatal Erro");
        if (rule->carry_out(si, fs, rule->value) == SET_COMPLETE)
            return 1;
    }
    return 1;
}
