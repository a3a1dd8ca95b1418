// zip_directory.cpp - the archive's directory read once and judged whole:
// an archive with one entry that cannot be taken safely is refused before
// anything of it is used.
#include "zip_archive.h"
#include "zip_format.h"

#include <stdlib.h>
#include <string.h>

namespace {

// The end record's fields, file offsets already made absolute.
struct end_record {
    uint64_t at;         // of the record itself
    uint64_t directory;  // of the central directory
    uint32_t size;       // of the central directory
    uint16_t count;
};

const uint16_t ZIP64_COUNT = 0xFFFF;
const uint32_t ZIP64_VALUE = 0xFFFFFFFFu;
// The end record and a comment of at most 65535 bytes; a signature may
// follow the comment, so the record is looked for within this much of the
// end, not only at it.
const size_t END_SEARCH = END_SIZE + 65535;

// The last end record in the file's tail whose comment fits in the file.
ZipStatus find_end(const zip_source *source, unsigned char *tail, uint64_t *at)
{
    if (source->size < END_SIZE)
        return ZIP_NOT_AN_ARCHIVE;
    size_t span = source->size < END_SEARCH ? static_cast<size_t>(source->size) : END_SEARCH;
    uint64_t base = source->size - span;
    if (!source->read_at(source->context, base, tail, span))
        return ZIP_READ_FAILED;
    for (size_t i = span - END_SIZE + 1; i-- > 0;) {
        if (Le32(tail + i) == END_SIGNATURE && i + END_SIZE + Le16(tail + i + 20) <= span) {
            *at = base + i;
            return ZIP_OK;
        }
    }
    return ZIP_NOT_AN_ARCHIVE;
}

// A ZIP64 archive keeps a locator just before its end record.
int has_zip64_locator(const unsigned char *tail, uint64_t tail_base, uint64_t end)
{
    return end - tail_base >= ZIP64_LOCATOR_SIZE && Le32(tail + (end - tail_base) - ZIP64_LOCATOR_SIZE) ==
                                                        ZIP64_LOCATOR_SIGNATURE;
}

ZipStatus read_end(const zip_source *source, end_record *end, uint64_t *start)
{
    // Static: the tail is as large as a comment may be.
    static unsigned char tail[END_SEARCH];
    ZipStatus status = find_end(source, tail, &end->at);
    if (status != ZIP_OK)
        return status;
    uint64_t tail_base = source->size - (source->size < END_SEARCH ? source->size : END_SEARCH);
    const unsigned char *r = tail + (end->at - tail_base);
    uint16_t this_disk = Le16(r + 4), directory_disk = Le16(r + 6), here = Le16(r + 8);
    end->count = Le16(r + 10);
    end->size = Le32(r + 12);
    uint32_t offset = Le32(r + 16);
    if (end->count == ZIP64_COUNT || end->size == ZIP64_VALUE || offset == ZIP64_VALUE ||
        has_zip64_locator(tail, tail_base, end->at))
        return ZIP_UNSUPPORTED;
    if (this_disk != 0 || directory_disk != 0 || here != end->count)
        return ZIP_UNSUPPORTED;
    // The directory ends where the end record begins: what lies before the
    // offset it names is the program the archive was appended to.
    if (static_cast<uint64_t>(end->size) + offset > end->at)
        return ZIP_BAD_DIRECTORY;
    *start = end->at - end->size - offset;
    end->directory = end->at - end->size;
    return ZIP_OK;
}

void set_problem(zip_archive *zip, const char *name, size_t length)
{
    size_t n = length < ZIP_MAX_NAME ? length : ZIP_MAX_NAME;
    for (size_t i = 0; i < n; i++) {
        unsigned char c = static_cast<unsigned char>(name[i]);
        zip->problem_name[i] = c < 0x20 || c == 0x7F ? '?' : name[i];
    }
    zip->problem_name[n] = '\0';
}

char fold(char c)
{
    if (c == '\\')
        return '/';
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

int equal_folded(const char *a, size_t length, const char *b)
{
    for (size_t i = 0; i < length; i++) {
        if (fold(a[i]) != fold(b[i]))
            return 0;
    }
    return b[length] == '\0';
}

// CON, NUL, AUX, PRN, CONIN$, CONOUT$, COM1-9, LPT1-9, with or without an
// extension: the system opens the device whatever the directory.
int is_device(const char *step, size_t length)
{
    static const char *const devices[] = {"CON", "NUL", "AUX", "PRN", "CONIN$", "CONOUT$"};
    size_t base = 0;
    while (base < length && step[base] != '.')
        base++;
    while (base > 0 && step[base - 1] == ' ')
        base--;
    for (const char *device : devices) {
        if (equal_folded(step, base, device))
            return 1;
    }
    return base == 4 && (equal_folded(step, 3, "COM") || equal_folded(step, 3, "LPT")) && step[3] >= '1' &&
           step[3] <= '9';
}

// A step the system would take for another name or for a device: empty,
// "." or "..", ending in a dot or blank (which the system drops), a device.
int bad_step(const char *step, size_t length)
{
    if (length == 0)
        return 1;
    char last = step[length - 1];
    return last == '.' || last == ' ' || is_device(step, length);
}

// The name of a file below the medium's folder, and nothing else: no
// drive, no stream, no root, no climbing, no control byte, no wildcard.
// A directory entry ends in one separator.
int acceptable_name(const char *name, size_t length)
{
    if (length == 0 || length > ZIP_MAX_NAME)
        return 0;
    size_t step = 0;
    for (size_t i = 0; i <= length; i++) {
        unsigned char c = i < length ? static_cast<unsigned char>(name[i]) : '/';
        if (c < 0x20 || c == 0x7F || strchr(":*?\"<>|", c) != NULL)
            return 0;
        if (c != '/' && c != '\\')
            continue;
        if (i == length && step == i)
            break;  // the separator that ends a directory entry
        if (bad_step(name + step, i - step))
            return 0;
        step = i + 1;
    }
    return 1;
}

int compare_names(const char *a, const char *b)
{
    for (;; a++, b++) {
        unsigned char x = static_cast<unsigned char>(fold(*a)), y = static_cast<unsigned char>(fold(*b));
        if (x != y || x == '\0')
            return x < y ? -1 : x > y;
    }
}

int compare_entries(const void *a, const void *b)
{
    return compare_names(static_cast<const zip_entry *>(a)->name, static_cast<const zip_entry *>(b)->name);
}

// One central header at d (left bytes remain in the directory) into entry;
// *used is its length.
ZipStatus take_entry(zip_archive *zip, const unsigned char *d, size_t left, const end_record *end,
                     zip_entry *entry, char *name_out, size_t *used)
{
    if (left < CENTRAL_SIZE || Le32(d) != CENTRAL_SIGNATURE)
        return ZIP_BAD_DIRECTORY;
    size_t name_length = Le16(d + 28);
    size_t whole = CENTRAL_SIZE + name_length + Le16(d + 30) + Le16(d + 32);
    if (whole > left)
        return ZIP_BAD_DIRECTORY;
    const char *name = reinterpret_cast<const char *>(d + CENTRAL_SIZE);
    set_problem(zip, name, name_length);
    entry->flags = Le16(d + 8);
    entry->method = Le16(d + 10);
    entry->time = Le16(d + 12);
    entry->date = Le16(d + 14);
    entry->crc = Le32(d + 16);
    entry->packed = Le32(d + 20);
    entry->length = Le32(d + 24);
    uint32_t header = Le32(d + 42);
    if (entry->packed == ZIP64_VALUE || entry->length == ZIP64_VALUE || header == ZIP64_VALUE)
        return ZIP_UNSUPPORTED;
    if (Le16(d + 34) != 0)
        return ZIP_UNSUPPORTED;
    if (entry->flags & (FLAG_ENCRYPTED | FLAG_STRONG_ENCRYPTION))
        return ZIP_ENCRYPTED;
    if (entry->method != METHOD_STORED && entry->method != METHOD_DEFLATED)
        return ZIP_BAD_METHOD;
    if (entry->method == METHOD_STORED && entry->packed != entry->length)
        return ZIP_BAD_DIRECTORY;
    if (!acceptable_name(name, name_length))
        return ZIP_BAD_NAME;
    // The data lie between the archive's start and its directory.
    entry->header = zip->start + header;
    if (entry->header + LOCAL_SIZE + name_length + entry->packed > end->directory)
        return ZIP_OUTSIDE_FILE;
    memcpy(name_out, name, name_length);
    name_out[name_length] = '\0';
    entry->name = name_out;
    entry->directory = name[name_length - 1] == '/' || name[name_length - 1] == '\\';
    if (entry->directory && entry->length != 0)
        return ZIP_BAD_DIRECTORY;
    *used = whole;
    return ZIP_OK;
}

ZipStatus take_directory(zip_archive *zip, const unsigned char *d, const end_record *end)
{
    zip->entries = static_cast<zip_entry *>(calloc(end->count ? end->count : 1, sizeof(zip_entry)));
    // Each name and its zero fit where its header was.
    zip->names = static_cast<char *>(malloc(end->size + 1));
    if (zip->entries == NULL || zip->names == NULL)
        return ZIP_NO_MEMORY;
    size_t at = 0, names_at = 0;
    for (size_t i = 0; i < end->count; i++) {
        size_t used = 0;
        ZipStatus status = take_entry(zip, d + at, end->size - at, end, &zip->entries[i], zip->names + names_at, &used);
        if (status != ZIP_OK)
            return status;
        at += used;
        names_at += strlen(zip->names + names_at) + 1;
    }
    zip->problem_name[0] = '\0';
    // Every byte of the directory belongs to an entry the end record counts.
    if (at != end->size)
        return ZIP_BAD_DIRECTORY;
    zip->count = end->count;
    qsort(zip->entries, zip->count, sizeof(zip_entry), compare_entries);
    for (size_t i = 1; i < zip->count; i++) {
        if (compare_names(zip->entries[i - 1].name, zip->entries[i].name) == 0) {
            set_problem(zip, zip->entries[i].name, strlen(zip->entries[i].name));
            return ZIP_DUPLICATE_NAME;
        }
    }
    return ZIP_OK;
}

}  // namespace

ZipStatus ZipOpen(zip_archive *zip, const zip_source *source)
{
    ZipClose(zip);
    zip->source = *source;
    zip->problem_name[0] = '\0';
    end_record end = {};
    ZipStatus status = read_end(source, &end, &zip->start);
    if (status == ZIP_OK && (end.count > ZIP_MAX_ENTRIES || end.size > ZIP_MAX_DIRECTORY))
        status = ZIP_TOO_MANY_ENTRIES;
    unsigned char *directory = NULL;
    if (status == ZIP_OK && (directory = static_cast<unsigned char *>(malloc(end.size + 1))) == NULL)
        status = ZIP_NO_MEMORY;
    if (status == ZIP_OK && !source->read_at(source->context, end.directory, directory, end.size))
        status = ZIP_READ_FAILED;
    zip->directory = end.directory;
    if (status == ZIP_OK)
        status = take_directory(zip, directory, &end);
    free(directory);
    if (status != ZIP_OK) {
        char kept[sizeof zip->problem_name];
        memcpy(kept, zip->problem_name, sizeof kept);
        ZipClose(zip);
        memcpy(zip->problem_name, kept, sizeof kept);
    }
    return status;
}

void ZipClose(zip_archive *zip)
{
    if (zip->inflating)
        inflateEnd(&zip->inflater);
    zip->inflating = 0;
    free(zip->entries);
    free(zip->names);
    zip->entries = NULL;
    zip->names = NULL;
    zip->count = 0;
    zip->reading = NULL;
}

const zip_entry *ZipFind(const zip_archive *zip, const char *name)
{
    size_t low = 0, high = zip->count;
    while (low < high) {
        size_t middle = low + (high - low) / 2;
        int order = compare_names(zip->entries[middle].name, name);
        if (order == 0)
            return zip->entries[middle].directory ? NULL : &zip->entries[middle];
        if (order < 0)
            low = middle + 1;
        else
            high = middle;
    }
    return NULL;
}
