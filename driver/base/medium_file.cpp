// Reading a file of the medium whole, bounded by the caller's buffer.
#include "base/medium_file.h"
#include "base/text.h"
#include "zip_archive.h"

// The one-file medium keeps every file but the program and the script in
// its archive: read straight from there, its length and CRC checked.
static enum medium_file_result read_archive_entry(struct zip_archive *archive, const char *name,
                                                  unsigned char *buffer, size_t cb, size_t *length)
{
    const zip_entry *entry = ZipFind(archive, name);
    if (entry == NULL)
        return MEDIUM_FILE_MISSING;
    if (entry->length > cb)
        return MEDIUM_FILE_TOO_LARGE;
    if (ZipBegin(archive, entry) != ZIP_OK)
        return MEDIUM_FILE_UNREADABLE;
    size_t got = 0, total = 0;
    do {
        if (ZipRead(archive, buffer + total, cb - total, &got) != ZIP_OK)
            return MEDIUM_FILE_UNREADABLE;
        total += got;
    } while (got != 0);
    *length = total;
    return MEDIUM_FILE_READ;
}

enum medium_file_result ReadMediumFile(struct _setup_info *si, const char *name, unsigned char *buffer, size_t cb,
                                       size_t *length)
{
    char path[sizeof si->src_dir + MAX_PATH];
    *length = 0;
    if (si->archive != NULL)
        return read_archive_entry(si->archive, name, buffer, cb, length);
    if (!FormatText(path, sizeof path, "%s%s", si->src_dir, name))
        return MEDIUM_FILE_MISSING;
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return GetLastError() == ERROR_FILE_NOT_FOUND || GetLastError() == ERROR_PATH_NOT_FOUND
                   ? MEDIUM_FILE_MISSING
                   : MEDIUM_FILE_UNREADABLE;
    DWORD high = 0, size = GetFileSize(file, &high);
    enum medium_file_result result = MEDIUM_FILE_READ;
    DWORD got = 0;
    if (size == INVALID_FILE_SIZE && GetLastError() != NO_ERROR)
        result = MEDIUM_FILE_UNREADABLE;
    else if (high != 0 || size > cb)
        result = MEDIUM_FILE_TOO_LARGE;
    else if (!ReadFile(file, buffer, size, &got, NULL) || got != size)
        result = MEDIUM_FILE_UNREADABLE;
    CloseHandle(file);
    if (result == MEDIUM_FILE_READ)
        *length = size;
    return result;
}
