// zip_archive.h - reads the one-file medium's archive: a ZIP, possibly
// behind a program, whose entries are stored or deflated (zlib).
//
// How to use it:
//   static zip_archive zip;                      // about 40 KB: off the stack
//   zip_source source = {ReadAt, &file, file_size};
//   ZipStatus status = ZipOpen(&zip, &source);  // reads the directory once
//   if (status != ZIP_OK) refuse: ZipStatusText(status), zip.problem_name
//   const zip_entry *entry = ZipFind(&zip, "sub\\file.txt");
//   status = ZipBegin(&zip, entry);
//   size_t got;
//   while ((status = ZipRead(&zip, buffer, sizeof buffer, &got)) == ZIP_OK && got > 0)
//       write got bytes;
//   ZipClose(&zip);                              // harmless twice
//
// ZipOpen refuses the archive whole, before any entry is read, when it is
// not one it can take safely: no end record (a truncated or foreign file),
// ZIP64 or several disks, an encrypted entry, a method other than stored or
// deflated, sizes or offsets outside the file, too many entries, a name
// that would leave its place or that two entries share. Names compare
// without case, with '\' the same as '/'.
//
// ZipRead checks the local header against the directory when the entry
// begins, and the length and the CRC-32 as the data come: damage is an
// error status at the piece where it shows. The last piece is handed out
// only once the whole entry has its length and CRC-32, so an entry read to
// ZIP_OK with got == 0 is exactly what the archive recorded.
//
// The offsets in the directory may count from the start of the file, as
// self-extracting archives write them, or from the start of the archive;
// the archive's start follows from where its directory ends. Nothing here
// calls the system: the caller reads the file through read_at.
#pragma once

#include <stddef.h>
#include <stdint.h>
#include <zlib.h>

enum ZipStatus {
    ZIP_OK,
    ZIP_READ_FAILED,          // read_at failed
    ZIP_NOT_AN_ARCHIVE,       // no end record: a foreign or truncated file
    ZIP_UNSUPPORTED,          // ZIP64 or an archive of several disks
    ZIP_BAD_DIRECTORY,        // the directory is damaged or lies outside the file
    ZIP_TOO_MANY_ENTRIES,     // more entries or a larger directory than a medium needs
    ZIP_ENCRYPTED,            // problem_name is encrypted
    ZIP_BAD_METHOD,           // problem_name is neither stored nor deflated
    ZIP_OUTSIDE_FILE,         // problem_name's data lie outside the archive
    ZIP_BAD_NAME,             // problem_name would leave its place
    ZIP_DUPLICATE_NAME,       // problem_name is there twice
    ZIP_NOT_FOUND,            // no entry of that name (ZipBegin on NULL)
    ZIP_BAD_LOCAL_HEADER,     // the entry's own header disagrees with the directory
    ZIP_DAMAGED_DATA,         // the compressed data do not decode
    ZIP_WRONG_LENGTH,         // the data give another length than recorded
    ZIP_WRONG_CRC,            // the data give another CRC-32 than recorded
    ZIP_NO_MEMORY,
};

// Reads size bytes at offset of the file into bytes; 1 when all were read.
typedef int (*zip_read_at)(void *context, uint64_t offset, void *bytes, size_t size);

struct zip_source {
    zip_read_at read_at;
    void *context;
    uint64_t size;  // of the whole file
};

enum : size_t {
    ZIP_MAX_NAME = 259,          // bytes of an entry name
    ZIP_MAX_ENTRIES = 65534,     // all a directory without ZIP64 can count
    ZIP_MAX_DIRECTORY = 1 << 24, // bytes of the central directory
    ZIP_PIECE = 32768,           // compressed bytes read at a time
};

struct zip_entry {
    const char *name;     // as in the archive, ended by a zero
    uint64_t header;      // the local header's offset in the file
    uint32_t packed;      // compressed length
    uint32_t length;      // the data's length
    uint32_t crc;
    uint16_t method;      // 0 stored, 8 deflated
    uint16_t flags;
    uint16_t time, date;  // of the last change, in the system's local time, as MS-DOS counts them
    int directory;        // a name ending in '/': holds no data
};

struct zip_archive {
    zip_source source;
    uint64_t start;                     // where the archive begins in the file
    uint64_t directory;                 // where its directory begins: the data end there
    zip_entry *entries;                 // sorted by name; owned, ZipClose frees
    size_t count;
    char *names;                        // owned, ZipClose frees
    char problem_name[ZIP_MAX_NAME + 1]; // the offending entry of a refusal, printable
    // The entry being read.
    const zip_entry *reading;
    uint64_t offset;                    // of its next compressed byte
    uint32_t packed_left;
    uint64_t produced;
    uint32_t crc;
    int ended;
    int inflating;                      // the z_stream is initialised
    z_stream inflater;
    unsigned char piece[ZIP_PIECE];
};

// Reads the directory of source's archive into zip (which must start zeroed
// or closed). On a refusal zip holds nothing and problem_name names the
// entry at fault, if one is.
ZipStatus ZipOpen(zip_archive *zip, const zip_source *source);
// Frees what ZipOpen took; the record may be opened again.
void ZipClose(zip_archive *zip);
// The entry with that name ('\' or '/' between steps, any case), or NULL;
// directory entries are not found.
const zip_entry *ZipFind(const zip_archive *zip, const char *name);
// Starts reading entry (one of zip's); checks its local header.
ZipStatus ZipBegin(zip_archive *zip, const zip_entry *entry);
// The next bytes of the entry begun, up to capacity, into out; *got 0 with
// ZIP_OK at the end, once length and CRC-32 were found right.
ZipStatus ZipRead(zip_archive *zip, void *out, size_t capacity, size_t *got);
// A short English description of status, for messages.
const char *ZipStatusText(ZipStatus status);
