// unpack.cpp - the launcher's side of the archive reader: reads through
// the launcher's own file handle, writes each start file new, whole or
// not at all.
#include "unpack.h"

#include "zip_archive.h"

const char *const kStartFiles[4] = {"setup.exe", "setuprt.dll", "mscuistf.dll", "setup.inf"};

struct OwnArchive::State {
    HANDLE file;
    zip_source source;
    zip_archive zip;  // large: the state lives on the heap
};

namespace {

int ReadAt(void *context, uint64_t offset, void *bytes, size_t size)
{
    HANDLE file = static_cast<HANDLE>(context);
    LONG high = static_cast<LONG>(offset >> 32);
    if (SetFilePointer(file, static_cast<LONG>(offset & 0xFFFFFFFFu), &high, FILE_BEGIN) == INVALID_SET_FILE_POINTER &&
        GetLastError() != NO_ERROR)
        return 0;
    DWORD got = 0;
    return ReadFile(file, bytes, static_cast<DWORD>(size), &got, NULL) && got == size;
}

}  // namespace

OwnArchive::OwnArchive() : state_(new State()) {}

OwnArchive::~OwnArchive()
{
    ZipClose(&state_->zip);
    delete state_;
}

bool OwnArchive::Open(HANDLE file, std::string &why)
{
    DWORD high = 0;
    DWORD low = GetFileSize(file, &high);
    if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) {
        why = "its size cannot be read";
        return false;
    }
    state_->file = file;
    state_->source = {ReadAt, file, static_cast<uint64_t>(high) << 32 | low};
    ZipStatus status = ZipOpen(&state_->zip, &state_->source);
    if (status != ZIP_OK) {
        why = ZipStatusText(status);
        if (state_->zip.problem_name[0] != '\0')
            why += std::string(": ") + state_->zip.problem_name;
        return false;
    }
    for (const char *name : kStartFiles) {
        if (ZipFind(&state_->zip, name) == NULL) {
            why = std::string("its file ") + name + " is missing";
            return false;
        }
    }
    return true;
}

bool OwnArchive::Unpack(const char *name, const std::string &path, bool &damaged, std::string &why)
{
    static char buffer[1 << 16];
    damaged = true;
    ZipStatus status = ZipBegin(&state_->zip, ZipFind(&state_->zip, name));
    HANDLE out = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, NULL);
    if (out == INVALID_HANDLE_VALUE) {
        damaged = false;
        why = name;
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
    DeleteFileA(path.c_str());
    SetLastError(error);
    damaged = status != ZIP_OK;
    why = damaged ? std::string(ZipStatusText(status)) + ": " + name : std::string(name);
    return false;
}
