// zip_entry.cpp - one entry read in pieces, inflated as it comes, its
// length and CRC-32 checked before the last piece is handed out.
#include "zip_archive.h"
#include "zip_format.h"

#include <limits.h>
#include <string.h>

namespace {

ZipStatus failed(zip_archive *zip, ZipStatus status)
{
    zip->reading = NULL;
    return status;
}

// The entry's own header names it as the directory does; where it records
// the checksum and lengths, they are the directory's too.
ZipStatus check_local_header(zip_archive *zip, const zip_entry *entry, uint64_t *data)
{
    unsigned char header[LOCAL_SIZE + ZIP_MAX_NAME];
    size_t name_length = strlen(entry->name);
    if (!zip->source.read_at(zip->source.context, entry->header, header, LOCAL_SIZE + name_length))
        return ZIP_READ_FAILED;
    uint16_t flags = Le16(header + 6);
    if (Le32(header) != LOCAL_SIGNATURE || Le16(header + 8) != entry->method || Le16(header + 26) != name_length ||
        memcmp(header + LOCAL_SIZE, entry->name, name_length) != 0)
        return ZIP_BAD_LOCAL_HEADER;
    if (flags & (FLAG_ENCRYPTED | FLAG_STRONG_ENCRYPTION))
        return ZIP_ENCRYPTED;
    if (!(flags & FLAG_DESCRIPTOR) &&
        (Le32(header + 14) != entry->crc || Le32(header + 18) != entry->packed || Le32(header + 22) != entry->length))
        return ZIP_BAD_LOCAL_HEADER;
    *data = entry->header + LOCAL_SIZE + name_length + Le16(header + 28);
    if (*data + entry->packed > zip->directory)
        return ZIP_OUTSIDE_FILE;
    return ZIP_OK;
}

ZipStatus start_inflating(zip_archive *zip)
{
    int result = zip->inflating ? inflateReset(&zip->inflater) : inflateInit2(&zip->inflater, -MAX_WBITS);
    if (result != Z_OK)
        return result == Z_MEM_ERROR ? ZIP_NO_MEMORY : ZIP_DAMAGED_DATA;
    zip->inflating = 1;
    zip->inflater.avail_in = 0;
    return ZIP_OK;
}

// The entry is all read: its length and checksum decide.
ZipStatus finish(zip_archive *zip)
{
    if (zip->produced != zip->reading->length)
        return failed(zip, ZIP_WRONG_LENGTH);
    if (zip->crc != zip->reading->crc)
        return failed(zip, ZIP_WRONG_CRC);
    zip->ended = 1;
    return ZIP_OK;
}

ZipStatus read_stored(zip_archive *zip, unsigned char *out, size_t capacity, size_t *got)
{
    size_t n = capacity < zip->packed_left ? capacity : zip->packed_left;
    if (n > 0 && !zip->source.read_at(zip->source.context, zip->offset, out, n))
        return failed(zip, ZIP_READ_FAILED);
    zip->offset += n;
    zip->packed_left -= static_cast<uint32_t>(n);
    zip->produced += n;
    zip->crc = static_cast<uint32_t>(crc32(zip->crc, out, static_cast<uInt>(n)));
    *got = n;
    return zip->packed_left == 0 ? finish(zip) : ZIP_OK;
}

// More compressed bytes for the inflater, when it has used what it had.
ZipStatus feed(zip_archive *zip)
{
    z_stream &z = zip->inflater;
    if (z.avail_in > 0 || zip->packed_left == 0)
        return ZIP_OK;
    size_t n = zip->packed_left < ZIP_PIECE ? zip->packed_left : ZIP_PIECE;
    if (!zip->source.read_at(zip->source.context, zip->offset, zip->piece, n))
        return ZIP_READ_FAILED;
    zip->offset += n;
    zip->packed_left -= static_cast<uint32_t>(n);
    z.next_in = zip->piece;
    z.avail_in = static_cast<uInt>(n);
    return ZIP_OK;
}

// The entry's whole length is out but the stream has not said it ended:
// it must end now, without another byte, before the last piece goes out.
int drain_to_end(zip_archive *zip, ZipStatus *status)
{
    z_stream &z = zip->inflater;
    unsigned char spare;
    for (;;) {
        *status = feed(zip);
        if (*status != ZIP_OK)
            return Z_DATA_ERROR;
        z.next_out = &spare;
        z.avail_out = 1;
        int result = inflate(&z, Z_NO_FLUSH);
        if (z.avail_out == 0) {
            *status = ZIP_WRONG_LENGTH;
            return Z_DATA_ERROR;
        }
        if (result != Z_OK) {
            *status = result == Z_STREAM_END ? ZIP_OK : ZIP_DAMAGED_DATA;
            return result;
        }
    }
}

ZipStatus read_deflated(zip_archive *zip, unsigned char *out, size_t capacity, size_t *got)
{
    z_stream &z = zip->inflater;
    z.next_out = out;
    z.avail_out = static_cast<uInt>(capacity < UINT_MAX ? capacity : UINT_MAX);
    const uInt room = z.avail_out;
    int result = Z_OK;
    while (z.avail_out > 0) {
        ZipStatus status = feed(zip);
        if (status != ZIP_OK)
            return failed(zip, status);
        result = inflate(&z, Z_NO_FLUSH);
        if (result == Z_STREAM_END)
            break;
        if (result == Z_MEM_ERROR)
            return failed(zip, ZIP_NO_MEMORY);
        // Z_BUF_ERROR with room left: the data end inside the stream.
        if (result != Z_OK)
            return failed(zip, ZIP_DAMAGED_DATA);
    }
    size_t n = room - z.avail_out;
    zip->produced += n;
    if (zip->produced > zip->reading->length)
        return failed(zip, ZIP_WRONG_LENGTH);
    zip->crc = static_cast<uint32_t>(crc32(zip->crc, out, static_cast<uInt>(n)));
    *got = n;
    if (result != Z_STREAM_END && zip->produced == zip->reading->length) {
        ZipStatus status = ZIP_OK;
        result = drain_to_end(zip, &status);
        if (status != ZIP_OK)
            return failed(zip, status);
    }
    if (result != Z_STREAM_END)
        return ZIP_OK;
    // Compressed bytes beyond the stream's end: the directory's length is wrong.
    if (z.avail_in > 0 || zip->packed_left > 0)
        return failed(zip, ZIP_DAMAGED_DATA);
    return finish(zip);
}

}  // namespace

ZipStatus ZipBegin(zip_archive *zip, const zip_entry *entry)
{
    zip->reading = NULL;
    if (entry == NULL || entry->directory)
        return ZIP_NOT_FOUND;
    uint64_t data = 0;
    ZipStatus status = check_local_header(zip, entry, &data);
    if (status == ZIP_OK && entry->method == METHOD_DEFLATED)
        status = start_inflating(zip);
    if (status != ZIP_OK)
        return status;
    zip->reading = entry;
    zip->offset = data;
    zip->packed_left = entry->packed;
    zip->produced = 0;
    zip->crc = static_cast<uint32_t>(crc32(0, NULL, 0));
    zip->ended = 0;
    return ZIP_OK;
}

ZipStatus ZipRead(zip_archive *zip, void *out, size_t capacity, size_t *got)
{
    *got = 0;
    if (zip->reading == NULL)
        return ZIP_NOT_FOUND;
    if (zip->ended)
        return ZIP_OK;
    unsigned char *bytes = static_cast<unsigned char *>(out);
    ZipStatus status = zip->reading->method == METHOD_STORED ? read_stored(zip, bytes, capacity, got)
                                                             : read_deflated(zip, bytes, capacity, got);
    // The bytes of a failed piece are never to be used.
    if (status != ZIP_OK)
        *got = 0;
    return status;
}

const char *ZipStatusText(ZipStatus status)
{
    static const char *const texts[] = {
        "no error",
        "the archive could not be read",
        "the file is not an archive, or it is cut short",
        "the archive is of a kind not supported (ZIP64 or several disks)",
        "the archive's directory is damaged",
        "the archive holds more entries than a medium may",
        "an entry is encrypted",
        "an entry is compressed by a method not supported",
        "an entry's data lie outside the archive",
        "an entry's name leaves the medium's folder",
        "two entries have the same name",
        "the archive holds no such entry",
        "an entry's header disagrees with the archive's directory",
        "an entry's compressed data are damaged",
        "an entry gives another length than the archive records",
        "an entry gives another CRC-32 than the archive records",
        "not enough memory to read the archive",
    };
    size_t index = static_cast<size_t>(status);
    return index < sizeof texts / sizeof texts[0] ? texts[index] : "unknown archive error";
}
