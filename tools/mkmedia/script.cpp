// script.cpp - reading and judging setup.inf with the driver's own code.
#include "script.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <memory>

#include "script/body_line.h"
#include "installer_stop.h"
#include "script/script_line.h"
#include "script/script_text.h"
#include "script/scan.h"
#include "base/text.h"

namespace {

// A record as start-up leaves it before the scan, with the shortest
// destination and a CD-ROM's file directory, so that a name too long for
// those is too long anywhere.
std::unique_ptr<_setup_info> FreshRecord(int platform)
{
    std::unique_ptr<_setup_info> si(new _setup_info());
    si->platform = platform;
    si->image_type = IMAGE_SINGLE_DIR;
    CopyText(si->dst_dir, sizeof si->dst_dir, "C:\\usr");
    CopyText(si->src_disk_dir, sizeof si->src_disk_dir, "D:\\DISK1\\FILES\\");
    return si;
}

// Puts text into the record's line buffer as one read of the installer
// would, and the cursor past its leading blanks.
void LoadLine(_setup_info *si, const std::string &text)
{
    snprintf(si->input_line_buf, sizeof si->input_line_buf, "%s\n", text.c_str());
    si->line_ptr = skip_delimiters(si->input_line_buf);
}

// The figure of an END line: after its first blank, as the scanner reads it.
void TakeFigure(const char *line, ScriptLine &out)
{
    const char *blank = strchr(line, ' ');
    if (blank == NULL || strpbrk(blank, "0123456789") == NULL)
        return;
    out.has_figure = true;
    out.figure = strtoul(blank + 1, NULL, 10);
}

// An application item's program word, as the scanner takes it.
void TakeProgram(_setup_info *si, ScriptLine &out)
{
    out.system_program = line_starts_with(si->line_ptr, "SYSAPP");
    char *blank = skip_till_char(si->line_ptr, ' ');
    if (*blank != ' ')
        return;
    si->line_ptr = blank + 1;
    if (take_word(si))
        out.destination = si->token;
}

// A line outside a file set's block: only what the builder rewrites or
// counts matters here; the scanner judges the rest.
void ClassifyOutside(_setup_info *si, ScriptLine &out)
{
    const char *line = si->line_ptr;
    if (line_starts_with(line, "FILESET"))
        out.kind = LineKind::FILESET;
    else if (line_starts_with(line, "BEGIN"))
        out.kind = LineKind::BEGIN;
    else if (line_starts_with(line, "END"))
        out.kind = LineKind::END;
    else if (line_starts_with(line, "COMPRESSED") || line_starts_with(line, "NOT COMPRESSED"))
        out.kind = LineKind::COMPRESSION;
    else if (line_starts_with(line, "SINGLE DIR IMAGE") || line_starts_with(line, "FLOPPY DISK IMAGE") ||
             line_starts_with(line, "CDROM IMAGE"))
        out.kind = LineKind::IMAGE;
    else if (line_starts_with(line, "CHANGEDISK"))
        out.kind = LineKind::CHANGEDISK;
    else if (line_starts_with(line, "APPITEM") || line_starts_with(line, "SYSAPP"))
        out.kind = LineKind::APPITEM;
}

// A line of a block, through the installer's body-line rules.
void ClassifyInBlock(_setup_info *si, ScriptLine &out)
{
    struct body_line line;
    TakeBodyLine(si, &line);
    switch (line.kind) {
    case BODY_BEGIN: out.kind = LineKind::BEGIN; break;
    case BODY_END: out.kind = LineKind::END; break;
    case BODY_CHANGEDISK: out.kind = LineKind::CHANGEDISK; break;
    case BODY_DIRECTORY:
        out.kind = LineKind::DIRECTORY;
        out.destination = line.destination;
        break;
    case BODY_FILE:
        out.kind = LineKind::FILE;
        out.source = line.source;
        out.source_at = static_cast<size_t>(line.source - si->input_line_buf);
        out.destination = line.destination;
        break;
    case BODY_PASSED_OVER: ClassifyOutside(si, out); break;
    }
}

// The scanner reads its stream unbuffered, a byte at a time: from memory
// where the C library can, so a long script costs no system call a byte.
FILE *ScriptStream(std::string &text)
{
#ifndef _WIN32
    if (!text.empty())
        return fmemopen(&text[0], text.size(), "r");
#endif
    FILE *file = tmpfile();
    if (file != NULL)
        fwrite(text.data(), 1, text.size(), file);
    return file;
}

// The bracket values of a header line and the fields the installer keeps
// them in; a longer value is cut there without a word.
struct FieldLimit {
    const char *keyword;
    const char *names[2];
    size_t sizes[2];
    bool words_first = false;  // the program and icon words stand before the brackets
};
const FieldLimit kFieldLimits[] = {
    {"COMPANY", {"the company name"}, {sizeof(_setup_info::company_name)}},
    {"SOFTWARE", {"the software name"}, {sizeof(_fileset_info::software_name)}},
    {"MAJORVERSION", {"the major version"}, {sizeof(_fileset_info::major_version)}},
    {"MINORVERSION", {"the minor version"}, {sizeof(_fileset_info::minor_version)}},
    {"RELEASE", {"the release"}, {sizeof(_fileset_info::release)}},
    {"CPUTYPE", {"the processor type"}, {sizeof(_fileset_info::cpu_type)}},
    {"ADDPATH", {"the path"}, {sizeof(_PathItems::path)}},
    {"ENVIRONMENT", {"the variable's name", "the variable's value"},
     {sizeof(_EnvironItems::var), sizeof(_EnvironItems::value)}},
    {"APPITEM", {"the shortcut's name", "the shortcut's arguments"},
     {sizeof(_AppItems::name), sizeof(_AppItems::app_args)}, true},
    {"SYSAPP", {"the shortcut's name", "the shortcut's arguments"},
     {sizeof(_AppItems::name), sizeof(_AppItems::app_args)}, true},
};

// Header values longer than the installer's fields, for the line loaded in si.
void CheckFieldLengths(_setup_info *si, int number, std::vector<Diagnostic> &diagnostics)
{
    const FieldLimit *limit = NULL;
    for (const FieldLimit &row : kFieldLimits) {
        if (line_starts_with(si->line_ptr, row.keyword)) {
            limit = &row;
            break;
        }
    }
    if (limit == NULL)
        return;
    if (limit->words_first) {
        char *blank = skip_till_char(si->line_ptr, ' ');
        if (*blank != ' ')
            return;
        si->line_ptr = blank + 1;
        if (!take_word(si) || !take_word(si))
            return;
    }
    for (int field = 0; field < 2 && limit->names[field] != NULL; field++) {
        if (!take_bracket_value(si))
            return;
        size_t length = strlen(si->token);
        if (length >= limit->sizes[field])
            diagnostics.push_back({number, true, std::string(limit->names[field]) + " has " + std::to_string(length) +
                                                     " characters; the installer keeps " +
                                                     std::to_string(limit->sizes[field] - 1)});
    }
}

}  // namespace

Script ReadScript(const std::string &bytes)
{
    Script script;
    const unsigned char *data = reinterpret_cast<const unsigned char *>(bytes.data());
    struct script_text_state state = {};
    if (script_piece_encoding(&state, data, bytes.size()) == SCRIPT_UTF16) {
        script.diagnostics.push_back({1, true, "a UTF-16 script: the installer reads ANSI text only"});
        return script;
    }
    std::string text(bytes.size(), '\0');
    text.resize(normalize_script_piece(&state, data, bytes.size(), reinterpret_cast<unsigned char *>(&text[0])));

    std::unique_ptr<_setup_info> si = FreshRecord(PLATFORM_NT);
    const size_t longest = sizeof si->input_line_buf - 2;  // room for the line feed
    int sets = 0;
    bool in_block = false;
    size_t at = 0;
    for (int number = 1; at < text.size(); number++) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos)
            end = text.size();
        ScriptLine line;
        line.number = number;
        line.text = text.substr(at, end - at);
        at = end + 1;
        line.set = sets;
        line.in_block = in_block;
        if (line.text.size() > longest) {
            script.diagnostics.push_back({number, true, "a line longer than the 511 characters the installer "
                                                        "reads at once"});
            script.lines.push_back(line);
            continue;
        }
        LoadLine(si.get(), line.text);
        try {
            if (in_block)
                ClassifyInBlock(si.get(), line);
            else
                ClassifyOutside(si.get(), line);
        } catch (const InstallerStop &stop) {
            script.diagnostics.push_back({number, true, stop.text});
        }
        if (line.kind == LineKind::OTHER || line.kind == LineKind::APPITEM) {
            LoadLine(si.get(), line.text);
            CheckFieldLengths(si.get(), number, script.diagnostics);
        }
        LoadLine(si.get(), line.text);
        if (line.kind == LineKind::END) {
            TakeFigure(si->line_ptr, line);
            sets++;
            in_block = false;
        } else if (line.kind == LineKind::CHANGEDISK && take_number_value(si.get())) {
            line.disk = number_as_int(si->token);
        } else if (line.kind == LineKind::APPITEM) {
            TakeProgram(si.get(), line);
        } else if (line.kind == LineKind::FILESET) {
            in_block = true;
        }
        script.lines.push_back(line);
    }
    return script;
}

// The installer refuses, before copying, a part it could not register:
// one without a software name, or any part of a script without a company.
static void RequireRegistrationNames(Script &script, const _setup_info &si)
{
    for (int i = 1; i < si.num_file_sets && i < MAX_FILE_SETS; i++) {
        const _fileset_info &set = si.file_set_list[i];
        if (si.company_name[0] == '\0') {
            script.diagnostics.push_back({0, true, "no COMPANY line: the installer cannot register any part"});
            return;
        }
        if (set.software_name[0] == '\0')
            script.diagnostics.push_back(
                {0, true, std::string("the part \"") + set.name + "\" has no SOFTWARE line: the installer cannot register it"});
    }
}

void ScanAsTheInstaller(Script &script, ScannedScript *scanned)
{
    std::string text;
    for (const ScriptLine &line : script.lines)
        text += line.text + "\n";
    for (int platform : {PLATFORM_NT, PLATFORM_WIN95}) {
        std::unique_ptr<_setup_info> si = FreshRecord(platform);
        si->setup_inf_ptr = ScriptStream(text);
        if (si->setup_inf_ptr == NULL) {
            script.diagnostics.push_back({0, true, "no temporary file for the scan"});
            return;
        }
        try {
            ScanForFileSets(si.get());
        } catch (const InstallerStop &stop) {
            std::string said = stop.text;
            // "setup.inf line N: " is said by the diagnostic's form already.
            size_t colon = said.find(": ");
            if (said.compare(0, 15, "setup.inf line ") == 0 && colon != std::string::npos)
                said.erase(0, colon + 2);
            bool stopped_on_nt = !script.diagnostics.empty() && script.diagnostics.back().line == ScannedLineNumber();
            if (platform == PLATFORM_WIN95)
                said += " (on the Windows 95 family)";
            if (platform == PLATFORM_NT || !stopped_on_nt)
                script.diagnostics.push_back({ScannedLineNumber(), true, said});
        }
        fclose(si->setup_inf_ptr);
        if (scanned != nullptr && platform == PLATFORM_NT) {
            scanned->company = si->company_name;
            for (int i = 0; i < si->num_file_sets && i < MAX_FILE_SETS; i++) {
                const _fileset_info &set = si->file_set_list[i];
                scanned->sets.push_back({set.name, set.software_name, set.major_version, set.minor_version,
                                         set.release, set.cpu_type, set.selected != 0});
            }
        }
        if (platform == PLATFORM_NT)
            RequireRegistrationNames(script, *si);
        for (_fileset_info &set : si->file_set_list) {
            auto release = [](auto *node) {
                while (node != NULL) {
                    auto *next = node->next;
                    free(node);
                    node = next;
                }
            };
            release(set.path_items);
            release(set.environ_items);
            release(set.app_items);
        }
    }
}

std::string FoldName(const std::string &name)
{
    std::string folded = name;
    for (char &ch : folded) {
        if (ch == '\\')
            ch = '/';
        else if (ch >= 'A' && ch <= 'Z')
            ch = static_cast<char>(ch - 'A' + 'a');
    }
    return folded;
}

void PrintDiagnostics(std::vector<Diagnostic> diagnostics, const char *file)
{
    std::stable_sort(diagnostics.begin(), diagnostics.end(),
                     [](const Diagnostic &a, const Diagnostic &b) { return a.line < b.line; });
    const Diagnostic *previous = NULL;
    for (const Diagnostic &d : diagnostics) {
        // The scanner and the body-line rules may stop at the same line.
        if (previous != NULL && previous->line == d.line && previous->text == d.text)
            continue;
        previous = &d;
        const char *severity = d.error ? "error" : d.note ? "note" : "warning";
        if (d.line > 0)
            fprintf(stderr, "%s:%d: %s: %s\n", file, d.line, severity, d.text.c_str());
        else
            fprintf(stderr, "%s: %s: %s\n", file, severity, d.text.c_str());
    }
}

bool HasErrors(const std::vector<Diagnostic> &diagnostics)
{
    return std::any_of(diagnostics.begin(), diagnostics.end(), [](const Diagnostic &d) { return d.error; });
}
