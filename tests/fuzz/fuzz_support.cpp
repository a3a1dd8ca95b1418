// fuzz_support.cpp - the driver's fatal stops for the fuzz targets, and the
// setup record.
#include "fuzz_support.h"

#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "script/script_line.h"
#include "base/text.h"

[[noreturn]] void FatalStop(struct _setup_info *, const char *text, const char *)
{
    throw FuzzStop{text};
}

[[noreturn]] void FatalStopFormatted(struct _setup_info *si, const char *, const char *format, ...)
{
    char text[2048];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof text, format, args);
    va_end(args);
    copy_cut(si->output_buf, sizeof si->output_buf, text);
    throw FuzzStop{si->output_buf};
}

void Require(bool ok, const char *what)
{
    if (ok)
        return;
    fprintf(stderr, "finding: %s\n", what);
    abort();
}

bool Terminated(const char *field, size_t size)
{
    return memchr(field, '\0', size) != nullptr;
}

bool Untouched(const void *field, size_t n)
{
    static unsigned char fill[4096];
    if (fill[0] != FILL)
        memset(fill, FILL, sizeof fill);
    const unsigned char *bytes = static_cast<const unsigned char *>(field);
    // Compared a block at a time: the records are large and this runs for
    // every input.
    for (size_t done = 0; done < n; done += sizeof fill) {
        size_t block = n - done < sizeof fill ? n - done : sizeof fill;
        if (memcmp(bytes + done, fill, block) != 0)
            return false;
    }
    return true;
}

std::unique_ptr<struct _setup_info> NewSetupRecord()
{
    std::unique_ptr<struct _setup_info> si(new _setup_info);
    memset(si.get(), 0, sizeof *si);
    FillAfterScanFields(si.get());
    return si;
}

void FillAfterScanFields(struct _setup_info *si)
{
    size_t start = offsetof(_setup_info, src_disk_dir);
    memset(reinterpret_cast<char *>(si) + start, FILL, sizeof *si - start);
}

bool UntouchedAfterScanFields(const struct _setup_info *si)
{
    size_t start = offsetof(_setup_info, src_disk_dir);
    return Untouched(reinterpret_cast<const char *>(si) + start, sizeof *si - start);
}

template <typename Node>
static void FreeList(Node **head, Node **tail)
{
    while (*head != nullptr) {
        Node *next = (*head)->next;
        free(*head);
        *head = next;
    }
    *tail = nullptr;
}

void FreeItemLists(struct _setup_info *si)
{
    for (struct _fileset_info &set : si->file_set_list) {
        FreeList(&set.prog_items, &set.cur_prog_item);
        FreeList(&set.path_items, &set.cur_path_item);
        FreeList(&set.environ_items, &set.cur_environ_item);
        FreeList(&set.info_items, &set.cur_info_item);
        FreeList(&set.app_items, &set.cur_app_item);
    }
}
