// body_line_fuzz.cpp - every line of the input taken apart as the
// installer does inside a file set's block, before it touches the disk.
//
// Input: one byte for the length of the destination directory, one for the
// length of the disk's file directory (0 to 259 each), then the lines, read
// by the driver's own line reader.
#include "fuzz_support.h"

#include <stdint.h>
#include <stdio.h>
#include <string.h>

#include <string>

#include "script/body_line.h"
#include "script/script_line.h"

namespace {

// The parser's own stops; the formatted ones name the item after the colon.
const char *const kBodyStops[] = {
    "Corrupted setup.inf file", "Source file name too long: ", "Source path too long: ",
    "Destination path too long: ", "Directory name too long: ",
};

bool KnownStop(const char *text)
{
    for (const char *stop : kBodyStops) {
        if (strncmp(text, stop, strlen(stop)) == 0)
            return true;
    }
    return false;
}

// A directory of length bytes; its last byte a backslash when it has one.
std::string DirectoryOf(size_t length, char fill)
{
    std::string dir(length, fill);
    if (length > 0)
        dir[length - 1] = '\\';
    return dir;
}

size_t LengthFromByte(uint8_t byte)
{
    return static_cast<size_t>(byte) * 259 / 255;
}

bool InLine(const struct _setup_info &si, const char *text)
{
    return text != nullptr && text >= si.input_line_buf &&
           text < si.input_line_buf + sizeof si.input_line_buf &&
           Terminated(text, static_cast<size_t>(si.input_line_buf + sizeof si.input_line_buf - text));
}

// Fields the parser has no business with hold FILL before every line.
void FillForeignFields(struct _setup_info *si)
{
    memset(si->system_buf, FILL, sizeof si->system_buf);
    memset(si->temp_temp_path, FILL, sizeof si->temp_temp_path);
    memset(si->temp_src_short_path, FILL, sizeof si->temp_src_short_path);
    memset(si->file_set_list, FILL, sizeof si->file_set_list);
}

bool ForeignFieldsUntouched(const struct _setup_info &si)
{
    return Untouched(si.system_buf, sizeof si.system_buf) &&
           Untouched(si.temp_temp_path, sizeof si.temp_temp_path) &&
           Untouched(si.temp_src_short_path, sizeof si.temp_src_short_path) &&
           Untouched(si.file_set_list, sizeof si.file_set_list);
}

void CheckFileLine(const struct _setup_info &si, const struct body_line &line)
{
    Require(InLine(si, line.source) && line.source[0] != '\0', "no source word");
    Require(InLine(si, line.destination) && line.destination[0] != '\0', "no destination word");
    Require(strcmp(si.unique_src_fname, line.source) == 0, "source name differs from its word");
    Require(std::string(si.temp_src_path) == std::string(si.src_disk_dir) + line.source,
            "source path is not the disk directory and the name");
    Require(Terminated(si.dir, sizeof si.dir) && Terminated(si.fname, sizeof si.fname) &&
                Terminated(si.ext, sizeof si.ext),
            "destination parts not terminated");
    size_t name_length = strlen(si.fname), ext_length = strlen(si.ext);
    Require(ext_length <= name_length && strcmp(si.fname + name_length - ext_length, si.ext) == 0,
            "extension is not the end of the file name");
    Require(std::string(si.temp_dst_path) == std::string(si.dst_dir) + "\\" + si.dir + si.fname,
            "destination path is not composed of its parts");
    if (line.file_type == FILE_LINE_PLAIN)
        return;
    Require(strlen(si.temp_dst_path) < sizeof(_ProgItems::exe_path), "item path does not fit its item");
    Require(InLine(si, line.icon) && InLine(si, line.name), "no icon or name");
    if (line.file_type == FILE_LINE_INFO)
        Require(line.name[0] != '\0' && InLine(si, line.program), "document item lacks a part");
}

void CheckLine(const struct _setup_info &si, const struct body_line &line)
{
    Require(si.line_ptr >= si.input_line_buf && si.line_ptr < si.input_line_buf + sizeof si.input_line_buf,
            "line_ptr outside the line");
    Require(si.token == nullptr || InLine(si, si.token), "token outside the line");
    if (line.kind == BODY_DIRECTORY) {
        size_t length = strlen(si.dst_dir);
        Require(strncmp(si.temp_dst_path, si.dst_dir, length) == 0 && si.temp_dst_path[length] == '\\',
                "directory is not below the destination");
    } else if (line.kind == BODY_FILE) {
        CheckFileLine(si, line);
    }
}

void TryLine(struct _setup_info *si, const std::string &dst_dir, const std::string &src_disk_dir)
{
    FillForeignFields(si);
    struct body_line line;
    try {
        TakeBodyLine(si, &line);
        CheckLine(*si, line);
    } catch (const FuzzStop &stop) {
        Require(KnownStop(stop.text), "line stopped with an unknown text");
        Require(Terminated(si->output_buf, sizeof si->output_buf), "message not terminated");
    }
    Require(ForeignFieldsUntouched(*si), "parser wrote a field it does not own");
    Require(dst_dir == si->dst_dir && src_disk_dir == si->src_disk_dir, "parser changed its directories");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 3)
        return 0;
    std::unique_ptr<struct _setup_info> si = NewSetupRecord();
    const std::string dst_dir(LengthFromByte(data[0]), 'd');
    const std::string src_disk_dir = DirectoryOf(LengthFromByte(data[1]), 's');
    memcpy(si->dst_dir, dst_dir.c_str(), dst_dir.size() + 1);
    memcpy(si->src_disk_dir, src_disk_dir.c_str(), src_disk_dir.size() + 1);

    si->setup_inf_ptr = fmemopen(const_cast<uint8_t *>(data + 2), size - 2, "r");
    if (si->setup_inf_ptr == nullptr)
        return 0;
    while (read_script_line(si.get()))
        TryLine(si.get(), dst_dir, src_disk_dir);
    fclose(si->setup_inf_ptr);
    return 0;
}
