// archive_fuzz.cpp - a one-file medium's archive as a forger would make it:
// opened, and every entry read to its end in pieces. An archive taken holds
// only names that stay in their place, and an entry read to ZIP_OK gave
// exactly the length and CRC-32 its directory records.
#include "fuzz_support.h"
#include "zip_archive.h"

#include <stdint.h>
#include <string.h>
#include <zlib.h>

#include <string>

namespace {

int ReadAt(void *context, uint64_t offset, void *bytes, size_t size)
{
    const std::string &file = *static_cast<const std::string *>(context);
    if (offset > file.size() || size > file.size() - offset)
        return 0;
    memcpy(bytes, file.data() + offset, size);
    return 1;
}

void CheckName(const char *name)
{
    Require(name[0] != '/' && name[0] != '\\' && strchr(name, ':') == NULL, "a rooted name or a drive is taken");
    std::string steps = std::string("/") + name + "/";
    for (char &c : steps) {
        Require(static_cast<unsigned char>(c) >= 0x20, "a name with a control byte is taken");
        if (c == '\\')
            c = '/';
    }
    Require(steps.find("/../") == std::string::npos && steps.find("/./") == std::string::npos,
            "a climbing name is taken");
}

void ReadEntry(zip_archive *zip, const zip_entry *entry)
{
    static unsigned char out[1000];
    if (ZipBegin(zip, entry) != ZIP_OK)
        return;
    uLong crc = crc32(0, NULL, 0);
    uint64_t length = 0;
    size_t got = 0;
    ZipStatus status;
    while ((status = ZipRead(zip, out, sizeof out, &got)) == ZIP_OK && got > 0) {
        crc = crc32(crc, out, static_cast<uInt>(got));
        length += got;
        Require(length <= entry->length, "more bytes than recorded handed out");
    }
    if (status != ZIP_OK) {
        Require(got == 0, "bytes handed out with a failure");
        return;
    }
    Require(length == entry->length && crc == entry->crc, "an entry read to its end is not what was recorded");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static zip_archive zip;
    std::string file(reinterpret_cast<const char *>(data), size);
    zip_source source = {ReadAt, &file, file.size()};
    ZipStatus status = ZipOpen(&zip, &source);
    Require(Terminated(zip.problem_name, sizeof zip.problem_name), "the problem name is not terminated");
    if (status != ZIP_OK) {
        Require(zip.count == 0 && zip.entries == NULL, "a refused archive kept entries");
        return 0;
    }
    for (size_t i = 0; i < zip.count; i++) {
        const zip_entry *entry = &zip.entries[i];
        CheckName(entry->name);
        Require(entry->directory || ZipFind(&zip, entry->name) == entry, "an entry is not found by its name");
        if (!entry->directory)
            ReadEntry(&zip, entry);
    }
    ZipClose(&zip);
    return 0;
}
