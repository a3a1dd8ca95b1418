// body_line.cpp - the body lines of a file set's block taken apart.
//
// Every part of a line is taken before the installer does anything, so a
// damaged line installs nothing; and every name and path is composed here
// within its buffer, so no text from the medium reaches a buffer too small
// for it.
#include "script/body_line.h"
#include "script/script_line.h"
#include "base/text.h"

#include <string.h>

struct body_rule {
    const char *keyword;
    void (*take)(struct _setup_info *si, struct body_line *line);
    enum body_line_kind kind;
    int file_type;
};

// An item keeps the installed path in a field of this size.
static_assert(sizeof(_ProgItems::exe_path) == sizeof(_InfoItems::info_file), "item path fields differ");
static const size_t ITEM_PATH_SIZE = sizeof(_ProgItems::exe_path);

void CorruptedScript(struct _setup_info *si)
{
    FatalStop(si, "Corrupted setup.inf file", "Fatal Error");
}

static void take_nothing(struct _setup_info *, struct body_line *)
{
}

static void reject_line(struct _setup_info *si, struct body_line *)
{
    CorruptedScript(si);
}

static void take_changedisk(struct _setup_info *si, struct body_line *line)
{
    if (!take_number_value(si))
        CorruptedScript(si);
    line->disk = number_as_int(si->token);
}

static int take_directory_word(struct _setup_info *si, struct body_line *line)
{
    si->line_ptr = CharNextA(si->line_ptr);  // the letter
    if (!take_word(si))
        return 0;
    line->destination = si->token;
    return 1;
}

// One level below the destination directory.
static void take_directory(struct _setup_info *si, struct body_line *line)
{
    if (!take_directory_word(si, line))
        CorruptedScript(si);
    if (!FormatText(si->temp_dst_path, sizeof si->temp_dst_path, "%s\\%s", si->dst_dir, line->destination))
        FatalStopFormatted(si, "Fatal Error", "Directory name too long: %s", line->destination);
}

static int take_file_words(struct _setup_info *si, struct body_line *line)
{
    si->line_ptr = CharNextA(si->line_ptr);  // the letter
    if (!take_word(si))
        return 0;
    line->source = si->token;
    if (!take_word(si))
        return 0;
    line->destination = si->token;
    if (line->file_type == FILE_LINE_PLAIN)
        return 1;

    if (!take_word(si))
        return 0;
    line->icon = si->token;
    if (!take_bracket_value(si))
        return 0;
    line->name = si->token;
    if (line->file_type == FILE_LINE_PROGRAM)
        return 1;
    // A document's shortcut needs a name and the program that opens it.
    if (*line->name == '\0' || !take_bracket_value(si))
        return 0;
    line->program = si->token;
    return 1;
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

static void compose_file_paths(struct _setup_info *si, const struct body_line *line)
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

static void take_file(struct _setup_info *si, struct body_line *line)
{
    if (!take_file_words(si, line))
        CorruptedScript(si);
    compose_file_paths(si, line);
}

// Walked in this order; the first keyword a line begins with wins, so a
// FILESET line is never taken for a file line "F".
static const struct body_rule body_rules[] = {
    // keyword            take              kind              file_type
    {";",                 take_nothing,     BODY_PASSED_OVER, 0},
    {"FILESET",           reject_line,      BODY_PASSED_OVER, 0},
    {"BEGIN",             take_nothing,     BODY_BEGIN,       0},
    {"END",               take_nothing,     BODY_END,         0},
    {"D",                 take_directory,   BODY_DIRECTORY,   0},
    {"CHANGEDISK",        take_changedisk,  BODY_CHANGEDISK,  0},
    {"EXPRESS",           take_nothing,     BODY_PASSED_OVER, 0},
    {"COMPRESSED",        take_nothing,     BODY_PASSED_OVER, 0},
    {"NOT COMPRESSED",    take_nothing,     BODY_PASSED_OVER, 0},
    {"SINGLE DIR IMAGE",  take_nothing,     BODY_PASSED_OVER, 0},
    {"FLOPPY DISK IMAGE", take_nothing,     BODY_PASSED_OVER, 0},
    {"CDROM IMAGE",       take_nothing,     BODY_PASSED_OVER, 0},
    {"F",                 take_file,        BODY_FILE,        FILE_LINE_PLAIN},
    {"I",                 take_file,        BODY_FILE,        FILE_LINE_INFO},
    {"P",                 take_file,        BODY_FILE,        FILE_LINE_PROGRAM},
    {"SOFTWARE",          take_nothing,     BODY_PASSED_OVER, 0},
    {"MAJORVERSION",      take_nothing,     BODY_PASSED_OVER, 0},
    {"MINORVERSION",      take_nothing,     BODY_PASSED_OVER, 0},
    {"RELEASE",           take_nothing,     BODY_PASSED_OVER, 0},
    {"CPUTYPE",           take_nothing,     BODY_PASSED_OVER, 0},
    {"ADDPATH",           take_nothing,     BODY_PASSED_OVER, 0},
    {"APPITEM",           take_nothing,     BODY_PASSED_OVER, 0},
    {"SYSAPP",            take_nothing,     BODY_PASSED_OVER, 0},
    {"ENVIRONMENT",       take_nothing,     BODY_PASSED_OVER, 0},
};

static const struct body_rule *find_body_rule(const char *line)
{
    for (const struct body_rule &rule : body_rules) {
        if (line_starts_with(line, rule.keyword))
            return &rule;
    }
    return NULL;
}

static void start_line(struct body_line *line, const struct body_rule *rule)
{
    *line = {};
    line->kind = rule->kind;
    line->file_type = rule->file_type;
}

void TakeBodyLine(struct _setup_info *si, struct body_line *line)
{
    const struct body_rule *rule = find_body_rule(si->line_ptr);
    // An empty line, COMPANY and every unknown line: the script is
    // damaged. The title lacks its last letter, as it always has.
    if (rule == NULL)
        FatalStop(si, "Corrupted setup.inf file", "Fatal Erro");
    start_line(line, rule);
    rule->take(si, line);
}

int TakeBodyLineWords(struct _setup_info *si, struct body_line *line)
{
    const struct body_rule *rule = find_body_rule(si->line_ptr);
    if (rule == NULL || (rule->kind != BODY_DIRECTORY && rule->kind != BODY_FILE))
        return 0;
    start_line(line, rule);
    return rule->kind == BODY_DIRECTORY ? take_directory_word(si, line) : take_file_words(si, line);
}
