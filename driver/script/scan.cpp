// scan.cpp - the first reading of setup.inf: fills the file-set table.
//
// A line is recognised by the first keyword of the table that it begins
// with; its handler takes the values it needs and returns 0 when the line
// lacks one of them. Such a line stops the program inside a file-set block
// (from the FILESET line to its END) and is ignored, like an unknown line,
// outside one. Handlers take every value before they change anything, so an
// ignored line leaves no trace.
//
// END and CHANGEDISK lack their number only when the line has no blank at
// all: after the blank, a value without digits is 0 ("END abc" gives size 0).
//
// What a line asks of the machine is judged here too, before anything is
// copied: the paths of the body lines in every block, the search-path
// entries, variables and shortcut names. A line that would reach outside
// its place or damage the environment is a fatal stop naming it, so a run
// never stops half registered for it.
#include "script/body_line.h"
#include "script/script_checks.h"
#include "script/script_line.h"
#include "base/text.h"
#include "script/scan.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

// ROLE_BEFORE_SETS: a line that only stands before the first FILESET line,
// where an installer that does not know it ignores it; inside a block the
// same text is a body line ("PRODUCT.EX_ ..." is a P line).
enum line_role { ROLE_PLAIN, ROLE_OPENS_SET, ROLE_CLOSES_SET, ROLE_BEFORE_SETS };

struct keyword_row {
    const char *keyword;
    int (*take)(struct _setup_info *si, const struct keyword_row *row);
    int value;       // what a flag line sets; sys_app of an application item
    int needs_set;   // the line writes to the set being defined
    enum line_role role;
};

// The line being scanned as the script has it (its handlers cut it into
// values) and its number in setup.inf, for the message that refuses it.
static struct {
    int number;
    char text[sizeof(_setup_info::input_line_buf)];
} scanned_line;

static void keep_scanned_line(const struct _setup_info *si)
{
    CopyText(scanned_line.text, sizeof scanned_line.text, si->line_ptr);
    scanned_line.text[strcspn(scanned_line.text, "\r\n")] = '\0';
}

[[noreturn]] static void refuse_line(struct _setup_info *si, const char *fault)
{
    FatalStopFormatted(si, "Fatal Error", "setup.inf line %d: %s: %s", scanned_line.number, fault,
                       scanned_line.text);
}

static void refuse_if(struct _setup_info *si, const char *fault)
{
    if (fault != NULL)
        refuse_line(si, fault);
}

// Judges an item as it is kept, cut to its field; a refused item is let go.
template <typename Node>
static void refuse_item_if(struct _setup_info *si, Node *item, const char *fault)
{
    if (fault != NULL) {
        free(item);
        refuse_line(si, fault);
    }
}

// AUTOEXEC.BAT keeps the environment of the 95 family.
static int in_batch_file(const struct _setup_info *si)
{
    return si->platform == PLATFORM_WIN95;
}

// The set being defined: the one whose END has not been read yet. Only
// valid while fewer than MAX_FILE_SETS sets are complete.
static struct _fileset_info *current_set(struct _setup_info *si)
{
    return &si->file_set_list[si->num_file_sets];
}

static int take_fileset(struct _setup_info *si, const struct keyword_row *)
{
    if (si->num_file_sets >= MAX_FILE_SETS)
        FatalStop(si, "MAX_FILE_SETS (10) exceed, redfined and re-reun", "Fatal Error");
    struct _fileset_info *set = current_set(si);
    int complete = take_bracket_value(si);
    // The name is registered and shown as it stands, so it is never cut.
    // Without its "]" the token runs to the line's end; that catches a name
    // split by the line length limit as well.
    if (si->token != NULL && strcspn(si->token, "\n") >= sizeof set->name)
        FatalStop(si, "File set name longer than 255 characters in setup.inf", "Fatal Error");
    if (!complete)
        return 0;
    copy_cut(set->name, sizeof set->name, si->token);
    set->selected = si->num_file_sets == 1;
    // The installer seeks back here to read the set's block again.
    set->seek_value = static_cast<unsigned long>(ftell(si->setup_inf_ptr));
    if (si->verbose)
        printf(" %s ...\n", set->name);
    return 1;
}

static int take_begin(struct _setup_info *si, const struct keyword_row *)
{
    if (si->begin)
        FatalStop(si, "Corrupted setup files\n", "Fatal Error");
    si->begin = 1;
    current_set(si)->starting_diskid = si->current_diskid;
    return 1;
}

static int take_end(struct _setup_info *si, const struct keyword_row *)
{
    if (!take_number_value(si))
        return 0;
    current_set(si)->size = strtoul(si->token, NULL, 10);
    si->num_file_sets++;
    si->begin = 0;
    return 1;
}

static int take_express(struct _setup_info *si, const struct keyword_row *)
{
    current_set(si)->express = 1;
    current_set(si)->selected = 1;
    return 1;
}

static int take_compression(struct _setup_info *si, const struct keyword_row *row)
{
    si->compressed_files = row->value;
    return 1;
}

static int take_image_type(struct _setup_info *si, const struct keyword_row *row)
{
    si->image_type = row->value;
    return 1;
}

static int take_changedisk(struct _setup_info *si, const struct keyword_row *)
{
    if (!take_number_value(si))
        return 0;
    si->current_diskid = number_as_int(si->token);
    return 1;
}

static int take_text(struct _setup_info *si, char *field, size_t field_size)
{
    if (!take_bracket_value(si))
        return 0;
    copy_cut(field, field_size, si->token);
    return 1;
}

static int take_company(struct _setup_info *si, const struct keyword_row *)
{
    return take_text(si, si->company_name, sizeof si->company_name);
}

// The software name is the name of the file set's program group.
static int take_software(struct _setup_info *si, const struct keyword_row *)
{
    struct _fileset_info *set = current_set(si);
    if (!take_text(si, set->software_name, sizeof set->software_name))
        return 0;
    refuse_if(si, GroupNameFault(set->software_name));
    return 1;
}

static int take_major_version(struct _setup_info *si, const struct keyword_row *)
{
    struct _fileset_info *set = current_set(si);
    return take_text(si, set->major_version, sizeof set->major_version);
}

static int take_minor_version(struct _setup_info *si, const struct keyword_row *)
{
    struct _fileset_info *set = current_set(si);
    return take_text(si, set->minor_version, sizeof set->minor_version);
}

static int take_release(struct _setup_info *si, const struct keyword_row *)
{
    struct _fileset_info *set = current_set(si);
    return take_text(si, set->release, sizeof set->release);
}

static int take_cpu_type(struct _setup_info *si, const struct keyword_row *)
{
    struct _fileset_info *set = current_set(si);
    return take_text(si, set->cpu_type, sizeof set->cpu_type);
}

static int take_add_path(struct _setup_info *si, const struct keyword_row *)
{
    if (!take_bracket_value(si))
        return 0;
    struct _fileset_info *set = current_set(si);
    struct _PathItems *item = new_item_node<struct _PathItems>(si);
    copy_cut(item->path, sizeof item->path, si->token);
    refuse_item_if(si, item, SearchPathEntryFault(item->path, in_batch_file(si)));
    append_item_node(&set->path_items, &set->cur_path_item, item);
    return 1;
}

// The product's name: the line stops the run when it is wrong, never cut.
static int take_product(struct _setup_info *si, const struct keyword_row *)
{
    if (!take_bracket_value(si))
        refuse_line(si, "the product name needs its \"[\" and \"]\"");
    refuse_if(si, ProductNameFault(si->token));
    CopyText(si->product_name, sizeof si->product_name, si->token);
    return 1;
}

static int take_banner(struct _setup_info *si, const struct keyword_row *)
{
    if (!take_bracket_value(si))
        refuse_line(si, "the banner needs its file name in \"[\" and \"]\"");
    refuse_if(si, BannerFileFault(si->token));
    if (!CopyText(si->banner_file, sizeof si->banner_file, si->token))
        refuse_line(si, "the banner's file name is too long");
    return 1;
}

// "APPITEM" or "SYSAPP", a blank, the program word, the icon word, the
// shortcut [name] (not empty) and the [arguments] (may be empty).
static int take_app_item(struct _setup_info *si, const struct keyword_row *row)
{
    char *blank = skip_till_char(si->line_ptr, ' ');
    if (*blank != ' ')
        return 0;
    si->line_ptr = blank + 1;
    if (!take_word(si))
        return 0;
    const char *program = si->token;
    if (!take_word(si))
        return 0;
    const char *icon = si->token;
    if (!take_bracket_value(si) || *si->token == '\0')
        return 0;
    const char *name = si->token;
    if (!take_bracket_value(si))
        return 0;

    struct _fileset_info *set = current_set(si);
    struct _AppItems *item = new_item_node<struct _AppItems>(si);
    copy_cut(item->name, sizeof item->name, name);
    copy_cut(item->app_exe_path, sizeof item->app_exe_path, program);
    copy_cut(item->icon_path, sizeof item->icon_path, icon);
    copy_cut(item->app_args, sizeof item->app_args, si->token);
    item->sys_app = row->value;
    refuse_item_if(si, item, ShortcutNameFault(item->name));
    append_item_node(&set->app_items, &set->cur_app_item, item);
    return 1;
}

static int take_environment(struct _setup_info *si, const struct keyword_row *)
{
    if (!take_bracket_value(si))
        return 0;
    const char *var = si->token;
    if (!take_bracket_value(si))
        return 0;

    struct _fileset_info *set = current_set(si);
    struct _EnvironItems *item = new_item_node<struct _EnvironItems>(si);
    copy_cut(item->var, sizeof item->var, var);
    copy_cut(item->value, sizeof item->value, si->token);
    refuse_item_if(si, item, VariableNameFault(item->var, in_batch_file(si)));
    refuse_item_if(si, item, VariableValueFault(item->value, in_batch_file(si)));
    append_item_node(&set->environ_items, &set->cur_environ_item, item);
    return 1;
}

// Walked in this order; the first keyword a line begins with wins, so
// "NOT COMPRESSED" needs its own row and "ENDING" is an END line.
static const struct keyword_row keyword_table[] = {
    // keyword              handler             value              needs_set  role
    {"FILESET",             take_fileset,       0,                 0, ROLE_OPENS_SET},
    {"BEGIN",               take_begin,         0,                 1, ROLE_PLAIN},
    {"END",                 take_end,           0,                 1, ROLE_CLOSES_SET},
    {"EXPRESS",             take_express,       0,                 1, ROLE_PLAIN},
    {"COMPRESSED",          take_compression,   1,                 0, ROLE_PLAIN},
    {"NOT COMPRESSED",      take_compression,   0,                 0, ROLE_PLAIN},
    {"SINGLE DIR IMAGE",    take_image_type,    IMAGE_SINGLE_DIR,  0, ROLE_PLAIN},
    {"FLOPPY DISK IMAGE",   take_image_type,    IMAGE_FLOPPY,      0, ROLE_PLAIN},
    {"CDROM IMAGE",         take_image_type,    IMAGE_CDROM,       0, ROLE_PLAIN},
    {"CHANGEDISK",          take_changedisk,    0,                 0, ROLE_PLAIN},
    {"COMPANY",             take_company,       0,                 0, ROLE_PLAIN},
    {"SOFTWARE",            take_software,      0,                 1, ROLE_PLAIN},
    {"MAJORVERSION",        take_major_version, 0,                 1, ROLE_PLAIN},
    {"MINORVERSION",        take_minor_version, 0,                 1, ROLE_PLAIN},
    {"RELEASE",             take_release,       0,                 1, ROLE_PLAIN},
    {"CPUTYPE",             take_cpu_type,      0,                 1, ROLE_PLAIN},
    {"ADDPATH",             take_add_path,      0,                 1, ROLE_PLAIN},
    {"APPITEM",             take_app_item,      0,                 1, ROLE_PLAIN},
    {"SYSAPP",              take_app_item,      1,                 1, ROLE_PLAIN},
    {"ENVIRONMENT",         take_environment,   0,                 1, ROLE_PLAIN},
    {"PRODUCT",             take_product,       0,                 0, ROLE_BEFORE_SETS},
    {"BANNER",              take_banner,        0,                 0, ROLE_BEFORE_SETS},
};

// A body line's paths and shortcut name. A line lacking a word is left to
// the installer, which stops at it.
static void check_body_line(struct _setup_info *si)
{
    struct body_line line;
    if (!TakeBodyLineWords(si, &line))
        return;
    if (line.kind == BODY_DIRECTORY) {
        refuse_if(si, DirectoryFault(line.destination));
        return;
    }
    refuse_if(si, SourceFault(line.source));
    refuse_if(si, DestinationFault(line.destination));
    // A program may go without a shortcut; a document's needs its name.
    int no_shortcut = line.file_type == FILE_LINE_PROGRAM && *line.name == '\0';
    if (line.file_type != FILE_LINE_PLAIN && !no_shortcut)
        refuse_if(si, ShortcutNameFault(line.name));
}

static const struct keyword_row *find_keyword(const char *line)
{
    for (const struct keyword_row &row : keyword_table) {
        if (line_starts_with(line, row.keyword))
            return &row;
    }
    return NULL;
}

int ScannedLineNumber(void)
{
    return scanned_line.number;
}

int ScanForFileSets(struct _setup_info *si)
{
    si->num_file_sets = 0;
    si->current_diskid = 1;
    fseek(si->setup_inf_ptr, 0, SEEK_SET);
    if (si->verbose)
        printf("Scanning for  FILESETs in setup_inf_file\n");
    si->begin = 0;

    int in_file_set = 0, sets_begun = 0;
    int line_ended = 1;
    scanned_line.number = 0;
    while (read_script_line(si)) {
        // A line longer than one read keeps its number.
        scanned_line.number += line_ended;
        size_t length = strlen(si->input_line_buf);
        line_ended = length > 0 && si->input_line_buf[length - 1] == '\n';
        keep_scanned_line(si);

        const struct keyword_row *row = find_keyword(si->line_ptr);
        if (row != NULL && row->role == ROLE_BEFORE_SETS && sets_begun) {
            if (!in_file_set)
                refuse_line(si, "this line stands before the first FILESET line");
            row = NULL;
        }
        if (row == NULL) {
            if (in_file_set)
                check_body_line(si);
            continue;
        }
        // After the tenth END there is no record to describe.
        if (row->needs_set && si->num_file_sets >= MAX_FILE_SETS)
            continue;
        if (row->role == ROLE_OPENS_SET)
            in_file_set = sets_begun = 1;
        int complete = row->take(si, row);
        if (!complete && in_file_set)
            FatalStop(si, "Corrupted setup.inf file", "Fatal Error");
        if (complete && row->role == ROLE_CLOSES_SET)
            in_file_set = 0;
    }
    si->current_diskid = 1;
    return 1;
}
