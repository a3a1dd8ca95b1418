// scan_fuzz.cpp - whole scripts through the scanner, read from a file as
// start-up opens its private copy; afterwards the file-set table must be
// sound, whether the scan went through or stopped.
#include "fuzz_support.h"

#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <string>

#include "script/script_checks.h"
#include "script/scan.h"

namespace {

// The scanner's own stops; any other text means a stop it should not make.
const char *const kScanStops[] = {
    "MAX_FILE_SETS (10) exceed, redfined and re-reun",
    "Corrupted setup files\n",
    "Corrupted setup.inf file",
    "File set name longer than 255 characters in setup.inf",
    "Memory alloc failed",
};

// A line refused for what it asks of the machine is named with its number.
const char kRefusedLine[] = "setup.inf line ";

bool KnownStop(const char *text)
{
    for (const char *stop : kScanStops) {
        if (strcmp(text, stop) == 0)
            return true;
    }
    return strncmp(text, kRefusedLine, strlen(kRefusedLine)) == 0;
}

// A scratch file of this process, so that parallel runs do not meet.
const std::string &ScriptPath()
{
    static const std::string path =
        (getenv("TMPDIR") != nullptr ? std::string(getenv("TMPDIR")) : std::string("/tmp")) +
        "/scan_fuzz_" + std::to_string(getpid()) + ".inf";
    return path;
}

bool WriteScript(const uint8_t *data, size_t size)
{
    FILE *file = fopen(ScriptPath().c_str(), "wb");
    if (file == nullptr)
        return false;
    bool written = fwrite(data, 1, size, file) == size;
    return fclose(file) == 0 && written;
}

// Walks a list from its head: it must reach its tail, end there and hold
// terminated texts. A cycle shows as a walk longer than any script allows.
template <typename Node, typename CheckNode>
void CheckList(const Node *head, const Node *tail, CheckNode check_node)
{
    Require((head == nullptr) == (tail == nullptr), "list head and tail disagree");
    const Node *last = nullptr;
    size_t count = 0;
    for (const Node *node = head; node != nullptr; node = node->next) {
        Require(++count <= 100000, "list does not end");
        check_node(*node);
        last = node;
    }
    Require(last == tail, "list tail is not its last node");
}

// One component, neither climbing nor a device, without a character that
// a file name cannot hold (a double-byte character may hold any byte).
bool AFileNameInItsFolder(const char *name)
{
    size_t length = strlen(name);
    if (IsDeviceName(name, name + length) || strspn(name, ". ") == length)
        return false;
    for (const char *ch = name; *ch != '\0'; ch = CharNextA(ch)) {
        if (CharNextA(ch) == ch + 1 && (static_cast<unsigned char>(*ch) < 0x20 || strchr("\\/:*?\"<>|", *ch)))
            return false;
    }
    return true;
}

void CheckSet(const struct _fileset_info &set, bool batch_file)
{
    Require(Terminated(set.name, sizeof set.name), "name not terminated");
    Require(Terminated(set.software_name, sizeof set.software_name), "software_name not terminated");
    Require(Terminated(set.major_version, sizeof set.major_version), "major_version not terminated");
    Require(Terminated(set.minor_version, sizeof set.minor_version), "minor_version not terminated");
    Require(Terminated(set.release, sizeof set.release), "release not terminated");
    Require(Terminated(set.cpu_type, sizeof set.cpu_type), "cpu_type not terminated");
    Require(set.selected == 0 || set.selected == 1, "selected is no truth value");
    Require(set.express == 0 || set.express == 1, "express is no truth value");
    // Program and document items come from the installer, never the scan.
    Require(set.prog_items == nullptr && set.cur_prog_item == nullptr, "scan made a program item");
    Require(set.info_items == nullptr && set.cur_info_item == nullptr, "scan made an info item");
    Require(set.hkKey == nullptr, "scan touched hkKey");

    // Nothing the checks refuse is ever kept.
    CheckList(set.path_items, set.cur_path_item, [batch_file](const _PathItems &item) {
        Require(Terminated(item.path, sizeof item.path), "path item not terminated");
        Require(SearchPathEntryFault(item.path, batch_file) == nullptr, "unsafe search path entry kept");
    });
    CheckList(set.environ_items, set.cur_environ_item, [batch_file](const _EnvironItems &item) {
        Require(Terminated(item.var, sizeof item.var), "variable not terminated");
        Require(Terminated(item.value, sizeof item.value), "value not terminated");
        Require(VariableNameFault(item.var, batch_file) == nullptr &&
                    VariableValueFault(item.value, batch_file) == nullptr,
                "unsafe variable kept");
    });
    CheckList(set.app_items, set.cur_app_item, [](const _AppItems &item) {
        Require(Terminated(item.name, sizeof item.name), "app name not terminated");
        Require(ShortcutNameFault(item.name) == nullptr, "app item without a usable name");
        char file_name[sizeof item.name + 1];
        Require(CleanFileName(file_name, sizeof file_name, item.name) != 0, "app name gives no file name");
        Require(AFileNameInItsFolder(file_name), "app name leaves its folder");
        Require(Terminated(item.app_exe_path, sizeof item.app_exe_path), "app path not terminated");
        Require(Terminated(item.icon_path, sizeof item.icon_path), "app icon not terminated");
        Require(Terminated(item.app_args, sizeof item.app_args), "app args not terminated");
        Require(item.sys_app == 0 || item.sys_app == 1, "sys_app is no truth value");
    });
}

// Only the set being defined is written, so every record after it is
// still as start-up left it.
bool Blank(const struct _fileset_info &set)
{
    static const struct _fileset_info blank = {};
    return memcmp(&set, &blank, sizeof set) == 0;
}

bool InLineBuffer(const struct _setup_info &si, const char *ptr)
{
    return ptr >= si.input_line_buf && ptr < si.input_line_buf + sizeof si.input_line_buf;
}

void CheckTable(const struct _setup_info &si, size_t script_size, bool stopped)
{
    Require(si.num_file_sets >= 0 && si.num_file_sets <= MAX_FILE_SETS, "num_file_sets out of range");
    for (int i = 0; i < MAX_FILE_SETS; i++) {
        CheckSet(si.file_set_list[i], si.platform == PLATFORM_WIN95);
        if (i > si.num_file_sets)
            Require(Blank(si.file_set_list[i]), "a record after the current one was written");
    }
    for (int i = 0; i < si.num_file_sets; i++)
        Require(si.file_set_list[i].seek_value <= script_size, "seek_value beyond the script");
    Require(Terminated(si.company_name, sizeof si.company_name), "company_name not terminated");
    Require(Terminated(si.product_name, sizeof si.product_name) && Terminated(si.banner_file, sizeof si.banner_file),
            "product name or banner not terminated");
    Require(!*si.product_name || ProductNameFault(si.product_name) == nullptr, "unsound product name kept");
    Require(!*si.banner_file || BannerFileFault(si.banner_file) == nullptr, "unsound banner name kept");
    Require(Terminated(si.input_line_buf, sizeof si.input_line_buf), "line not terminated");
    Require(si.compressed_files == 0 || si.compressed_files == 1, "compressed_files is no truth value");
    Require(si.image_type == 0 || si.image_type == IMAGE_SINGLE_DIR || si.image_type == IMAGE_FLOPPY ||
                si.image_type == IMAGE_CDROM,
            "image_type unknown");
    Require(si.line_ptr == nullptr || InLineBuffer(si, si.line_ptr), "line_ptr outside the line");
    Require(si.token == nullptr || InLineBuffer(si, si.token), "token outside the line");
    Require(stopped || si.current_diskid == 1, "disk counter not back at 1");
    Require(UntouchedAfterScanFields(&si), "scan wrote past its fields");
}

void RemoveScript()
{
    remove(ScriptPath().c_str());
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    atexit(RemoveScript);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (!WriteScript(data, size))
        return 0;
    std::unique_ptr<struct _setup_info> si = NewSetupRecord();
    // The first byte, part of the script as well, chooses the platform.
    si->platform = size > 0 && (data[0] & 1) != 0 ? PLATFORM_WIN95 : PLATFORM_NT;
    si->setup_inf_ptr = fopen(ScriptPath().c_str(), "rb");
    if (si->setup_inf_ptr == nullptr)
        return 0;
    bool stopped = false;
    try {
        Require(ScanForFileSets(si.get()) == 1, "scan result is not 1");
    } catch (const FuzzStop &stop) {
        Require(KnownStop(stop.text), "scan stopped with an unknown text");
        stopped = true;
    }
    CheckTable(*si, size, stopped);
    fclose(si->setup_inf_ptr);
    FreeItemLists(si.get());
    return 0;
}
