// archive_source.cpp - the one-file medium: the launcher unpacks only the
// program and the script, and starts setup.exe with SETUP_ARCHIVE naming
// the downloaded program. Every payload file is read straight out of that
// archive, sequentially, into the file being written: nothing is unpacked
// into TMP first. The archive is opened once, its directory read and judged
// whole before any dialog.
#include "install/install_fileset.h"
#include "base/fatal.h"
#include "base/text.h"
#include "later_windows.h"
#include "zip_archive.h"

#include <stdlib.h>

namespace {

// About 40 KB: off the stack. Open for the whole run.
zip_archive medium;
HANDLE medium_file = INVALID_HANDLE_VALUE;
// The entry being read, and how its reading went.
const zip_entry *entry_now;
ZipStatus entry_status = ZIP_OK;

int read_at(void *context, uint64_t offset, void *bytes, size_t size)
{
    HANDLE file = *static_cast<HANDLE *>(context);
    LONG high = static_cast<LONG>(offset >> 32);
    if (SetFilePointer(file, static_cast<LONG>(offset & 0xFFFFFFFFu), &high, FILE_BEGIN) == INVALID_SET_FILE_POINTER &&
        GetLastError() != NO_ERROR)
        return 0;
    for (char *at = static_cast<char *>(bytes); size > 0;) {
        DWORD got = 0;
        if (!ReadFile(file, at, static_cast<DWORD>(size), &got, NULL) || got == 0)
            return 0;
        at += got;
        size -= got;
    }
    return 1;
}

[[noreturn]] void refuse(struct _setup_info *si, const char *path, ZipStatus status)
{
    const char *name = medium.problem_name;
    FatalStopFormatted(si, "Fatal Error",
                       "The installation program %s cannot be used: %s%s%s%s. Download it again and run it once more.",
                       path, ZipStatusText(status), name[0] != '\0' ? " (" : "", name, name[0] != '\0' ? ")" : "");
}

}  // namespace

void OpenMediumArchive(struct _setup_info *si)
{
    const char *path = getenv("SETUP_ARCHIVE");
    if (path == NULL || path[0] == '\0')
        return;
    // Others may read it, as the launcher does; nobody may change it
    // while the run reads it.
    medium_file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, FILE_FLAG_RANDOM_ACCESS, NULL);
    long long size = 0;
    if (medium_file == INVALID_HANDLE_VALUE || !FileSize(medium_file, &size))
        refuse(si, path, ZIP_READ_FAILED);
    zip_source source = {read_at, &medium_file, static_cast<uint64_t>(size)};
    ZipStatus status = ZipOpen(&medium, &source);
    if (status != ZIP_OK)
        refuse(si, path, status);
    si->archive = &medium;
}

int BeginArchiveEntry(struct _setup_info *si)
{
    entry_now = ZipFind(si->archive, si->unique_src_fname);
    entry_status = ZipBegin(si->archive, entry_now);
    return entry_now != NULL;
}

long ReadArchivePiece(struct _setup_info *si, void *piece, size_t size)
{
    size_t got = 0;
    if (entry_status == ZIP_OK)
        entry_status = ZipRead(si->archive, piece, size, &got);
    return entry_status == ZIP_OK ? static_cast<long>(got) : -1;
}

unsigned long long ArchiveEntryLength(void)
{
    return entry_now->length;
}

// The archive keeps local time in two-second steps, as the builder's
// system had it.
int ArchiveEntryTime(FILETIME *changed)
{
    FILETIME local;
    return DosDateTimeToFileTime(entry_now->date, entry_now->time, &local) && LocalFileTimeToFileTime(&local, changed);
}

void ArchiveEntryFailed(struct _setup_info *si, struct staged_file *stage)
{
    DiscardStage(stage);
    FatalStopFormatted(si, "Fatal Error",
                       "The file %s in the installation program is damaged: %s. Nothing more was installed; "
                       "download the installation program again and run it once more.",
                       si->unique_src_fname, ZipStatusText(entry_status));
}
