// unpack.cpp - the launcher's side of the archive reader: reads through
// the launcher's own file handle, writes each start file new, whole or
// not at all.
#include "unpack.h"

#include <stdlib.h>
#include <string.h>

#include "zip_archive.h"

const char *const kStartFiles[4] = {"setup.exe", "setuprt.dll", "mscuistf.dll", "setup.inf"};

struct OwnArchive::State {
    HANDLE file;
    uint64_t image_end;  // of the launcher's own program in its file
    zip_source source;
    zip_archive zip;  // large: the state lives on the heap
};

namespace {

// Where the launcher's program ends in its file, and the archive begins:
// the end of its last section's data.
uint64_t ImageEnd()
{
    const unsigned char *base = reinterpret_cast<const unsigned char *>(GetModuleHandleA(NULL));
    const IMAGE_NT_HEADERS *headers =
        reinterpret_cast<const IMAGE_NT_HEADERS *>(base + reinterpret_cast<const IMAGE_DOS_HEADER *>(base)->e_lfanew);
    const IMAGE_SECTION_HEADER *section = IMAGE_FIRST_SECTION(headers);
    uint64_t end = headers->OptionalHeader.SizeOfHeaders;
    for (WORD i = 0; i < headers->FileHeader.NumberOfSections; i++) {
        uint64_t data_end = static_cast<uint64_t>(section[i].PointerToRawData) + section[i].SizeOfRawData;
        if (section[i].SizeOfRawData != 0 && data_end > end)
            end = data_end;
    }
    return end;
}

// The launcher's own bytes read as zeros: its code holds the archive's
// signatures as numbers, which the search for the end of an archive would
// take for one in a download cut short to the launcher alone.
int ReadAt(void *context, uint64_t offset, void *bytes, size_t size)
{
    const OwnArchive::State *state = static_cast<const OwnArchive::State *>(context);
    HANDLE file = state->file;
    LONG high = static_cast<LONG>(offset >> 32);
    if (SetFilePointer(file, static_cast<LONG>(offset & 0xFFFFFFFFu), &high, FILE_BEGIN) == INVALID_SET_FILE_POINTER &&
        GetLastError() != NO_ERROR)
        return 0;
    DWORD got = 0;
    if (!ReadFile(file, bytes, static_cast<DWORD>(size), &got, NULL) || got != size)
        return 0;
    if (offset < state->image_end)
        memset(bytes, 0, static_cast<size_t>(state->image_end - offset < size ? state->image_end - offset : size));
    return 1;
}

}  // namespace

// Zeroed as ZipClose expects of an archive never opened; out of memory
// stops the launcher as it would any program.
OwnArchive::OwnArchive() : state_(static_cast<State *>(calloc(1, sizeof(State))))
{
    if (state_ == NULL)
        abort();
}

OwnArchive::~OwnArchive()
{
    ZipClose(&state_->zip);
    free(state_);
}

bool OwnArchive::Open(HANDLE file, MessageText &why)
{
    why.Clear();
    DWORD high = 0;
    DWORD low = GetFileSize(file, &high);
    if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) {
        why.Add("its size cannot be read");
        return false;
    }
    state_->file = file;
    state_->image_end = ImageEnd();
    state_->source = {ReadAt, state_, static_cast<uint64_t>(high) << 32 | low};
    ZipStatus status = ZipOpen(&state_->zip, &state_->source);
    if (status != ZIP_OK) {
        why.Add(ZipStatusText(status));
        if (state_->zip.problem_name[0] != '\0')
            why.Add(": ").Add(state_->zip.problem_name);
        return false;
    }
    for (const char *name : kStartFiles) {
        if (ZipFind(&state_->zip, name) == NULL) {
            why.Add("its file ").Add(name).Add(" is missing");
            return false;
        }
    }
    return true;
}

bool OwnArchive::Unpack(const char *name, const char *path, bool &damaged, MessageText &why)
{
    static char buffer[1 << 16];
    why.Clear();
    damaged = true;
    ZipStatus status = ZipBegin(&state_->zip, ZipFind(&state_->zip, name));
    HANDLE out = CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, NULL);
    if (out == INVALID_HANDLE_VALUE) {
        damaged = false;
        why.Add(name);
        return false;
    }
    size_t got = 0;
    bool written = true;
    while (written && (status == ZIP_OK) && (status = ZipRead(&state_->zip, buffer, sizeof buffer, &got)) == ZIP_OK &&
           got > 0) {
        DWORD put = 0;
        written = WriteFile(out, buffer, static_cast<DWORD>(got), &put, NULL) && put == got;
    }
    written = CloseHandle(out) && written;
    if (status == ZIP_OK && written)
        return true;
    // A file cut short is not left for setup.exe to load.
    DWORD error = GetLastError();
    DeleteFileA(path);
    SetLastError(error);
    damaged = status != ZIP_OK;
    if (damaged)
        why.Add(ZipStatusText(status)).Add(": ");
    why.Add(name);
    return false;
}
