// Reading a file of the medium whole, bounded by the caller's buffer.
#include "base/medium_file.h"
#include "base/text.h"

enum medium_file_result ReadMediumFile(struct _setup_info *si, const char *name, unsigned char *buffer, size_t cb,
                                       size_t *length)
{
    char path[sizeof si->src_dir + MAX_PATH];
    *length = 0;
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
