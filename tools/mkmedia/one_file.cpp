// one_file.cpp - the one-file medium written: the launcher, then a plain
// ZIP archive (local headers, data, central directory, end record) whose
// offsets count from the start of the file, as a self-extracting archive
// has them, so unzip and 7-Zip list it as it stands.
#include "one_file.h"

#include <stdint.h>
#include <time.h>
#include <zlib.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <set>

#include "base/crc32.h"
#include "zip_archive.h"

namespace {

const uint32_t kLocalSignature = 0x04034b50, kCentralSignature = 0x02014b50, kEndSignature = 0x06054b50;
const uint16_t kStored = 0, kDeflated = 8;
const uint16_t kVersionNeeded = 20;  // deflate
const char kLauncherName[] = "launcher.exe";

void Put16(std::string &out, uint32_t value)
{
    out += static_cast<char>(value & 0xff);
    out += static_cast<char>(value >> 8 & 0xff);
}

void Put32(std::string &out, uint32_t value)
{
    Put16(out, value & 0xffff);
    Put16(out, value >> 16);
}

struct Entry {
    std::string name;  // "/" between parts
    uint16_t method = kStored;
    uint32_t crc = 0, packed = 0, size = 0, offset = 0;
};

// The build's time in the form ZIP keeps: the DOS date in the high half.
uint32_t DosTime()
{
    time_t now = time(NULL);
    struct tm local = *localtime(&now);
    uint32_t date = static_cast<uint32_t>((local.tm_year - 80) << 9 | (local.tm_mon + 1) << 5 | local.tm_mday);
    uint32_t clock = static_cast<uint32_t>(local.tm_hour << 11 | local.tm_min << 5 | local.tm_sec / 2);
    return date << 16 | clock;
}

// Raw deflate (no zlib header), as ZIP's method 8 holds it; empty when it
// fails.
bool Deflate(const std::string &bytes, std::string &packed)
{
    z_stream stream = {};
    if (deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 9, Z_DEFAULT_STRATEGY) != Z_OK)
        return false;
    packed.resize(deflateBound(&stream, static_cast<uLong>(bytes.size())));
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(bytes.data()));
    stream.avail_in = static_cast<uInt>(bytes.size());
    stream.next_out = reinterpret_cast<Bytef *>(&packed[0]);
    stream.avail_out = static_cast<uInt>(packed.size());
    int result = deflate(&stream, Z_FINISH);
    packed.resize(stream.total_out);
    deflateEnd(&stream);
    return result == Z_STREAM_END;
}

std::string Header(uint32_t signature, const Entry &entry, uint32_t when, bool central)
{
    std::string out;
    Put32(out, signature);
    if (central)
        Put16(out, kVersionNeeded);  // made by: the DOS attributes, version 2.0
    Put16(out, kVersionNeeded);
    Put16(out, 0);  // no flags: names in the product's code page, sizes known
    Put16(out, entry.method);
    Put32(out, when);
    Put32(out, entry.crc);
    Put32(out, entry.packed);
    Put32(out, entry.size);
    Put16(out, static_cast<uint32_t>(entry.name.size()));
    Put16(out, 0);  // no extra field
    if (central) {
        Put16(out, 0);  // no comment
        Put16(out, 0);  // disk 0
        Put16(out, 0);  // internal attributes
        Put32(out, 0);  // external attributes
        Put32(out, entry.offset);
    }
    return out + entry.name;
}

// The names below top, those in first at the head in their order.
std::vector<std::string> EntryOrder(const fs::path &top, const std::vector<std::string> &first)
{
    std::vector<std::string> order;
    std::set<std::string> taken;
    for (const std::string &name : first) {
        if (taken.insert(name).second)
            order.push_back(name);
    }
    std::vector<std::string> rest;
    std::error_code error;
    for (fs::recursive_directory_iterator entry(top, error), end; !error && entry != end; entry.increment(error)) {
        std::string name = entry->path().lexically_relative(top).generic_string();
        if (entry->is_regular_file(error) && !taken.count(name))
            rest.push_back(name);
    }
    std::sort(rest.begin(), rest.end());
    order.insert(order.end(), rest.begin(), rest.end());
    return order;
}

}  // namespace

fs::path FindLauncher(const fs::path &programs)
{
    std::error_code error;
    for (const fs::path &place : {programs / kLauncherName, programs / ".." / "launcher" / kLauncherName}) {
        if (fs::is_regular_file(place, error))
            return place.lexically_normal();
    }
    return fs::path();
}

bool WriteOneFile(const fs::path &launcher, const fs::path &top, const std::vector<std::string> &first,
                  bool store, const fs::path &to, std::string &why)
{
    std::string out;
    if (!ReadWholeFile(launcher, out)) {
        why = "cannot read the launcher " + launcher.string();
        return false;
    }
    std::ofstream file(to, std::ios::binary);
    file.write(out.data(), static_cast<std::streamsize>(out.size()));
    const uint32_t when = DosTime();
    std::vector<Entry> entries;
    uint64_t at = out.size();
    out.clear();
    for (const std::string &name : EntryOrder(top, first)) {
        std::string bytes, packed;
        if (!ReadWholeFile(top / name, bytes)) {
            why = "cannot read " + (top / name).string();
            return false;
        }
        if (bytes.size() > 0xFFFFFFF0u || at > 0xFFFFFFF0u) {
            why = "the medium is too large for one file (4 GB at most): make a directory medium";
            return false;
        }
        Entry entry;
        entry.name = name;
        entry.size = static_cast<uint32_t>(bytes.size());
        entry.crc = static_cast<uint32_t>(Crc32(0, bytes.data(), bytes.size()));
        entry.offset = static_cast<uint32_t>(at);
        // A file that deflating does not shrink is stored as it stands.
        bool deflated = !store && Deflate(bytes, packed) && packed.size() < bytes.size();
        entry.method = deflated ? kDeflated : kStored;
        const std::string &data = deflated ? packed : bytes;
        entry.packed = static_cast<uint32_t>(data.size());
        out += Header(kLocalSignature, entry, when, false);
        out += data;
        file.write(out.data(), static_cast<std::streamsize>(out.size()));
        at += out.size();
        out.clear();
        entries.push_back(entry);
    }
    if (entries.size() > 0xFFFF || at > 0xFFFFFFF0u) {
        why = "the medium has too many files for one file (65,535 at most): make a directory medium";
        return false;
    }
    for (const Entry &entry : entries)
        out += Header(kCentralSignature, entry, when, true);
    const uint32_t directory_size = static_cast<uint32_t>(out.size());
    Put32(out, kEndSignature);
    Put16(out, 0);  // this disk
    Put16(out, 0);  // the directory's disk
    Put16(out, static_cast<uint32_t>(entries.size()));
    Put16(out, static_cast<uint32_t>(entries.size()));
    Put32(out, directory_size);
    Put32(out, static_cast<uint32_t>(at));
    Put16(out, 0);  // no comment
    file.write(out.data(), static_cast<std::streamsize>(out.size()));
    file.close();
    if (file.fail()) {
        why = "cannot write " + to.string();
        return false;
    }
    return true;
}

namespace {

int ReadAt(void *context, uint64_t offset, void *bytes, size_t size)
{
    std::ifstream &in = *static_cast<std::ifstream *>(context);
    in.clear();
    in.seekg(static_cast<std::streamoff>(offset));
    in.read(static_cast<char *>(bytes), static_cast<std::streamsize>(size));
    return in.good() || static_cast<size_t>(in.gcount()) == size;
}

std::string Refusal(ZipStatus status, const zip_archive &zip)
{
    std::string text = ZipStatusText(status);
    return zip.problem_name[0] != '\0' ? text + ": " + zip.problem_name : text;
}

// One entry read through the reader, which checks its length and CRC-32,
// into its file below into.
std::string UnpackEntry(zip_archive &zip, const zip_entry &entry, const fs::path &into)
{
    static char buffer[1 << 16];
    std::string name = entry.name;
    std::replace(name.begin(), name.end(), '\\', '/');
    fs::path path = into / name;
    std::error_code error;
    fs::create_directories(path.parent_path(), error);
    std::ofstream out(path, std::ios::binary);
    ZipStatus status = ZipBegin(&zip, &entry);
    size_t got = 0;
    while (status == ZIP_OK && (status = ZipRead(&zip, buffer, sizeof buffer, &got)) == ZIP_OK && got > 0)
        out.write(buffer, static_cast<std::streamsize>(got));
    out.close();
    if (status != ZIP_OK)
        return std::string("its entry ") + entry.name + " is damaged: " + ZipStatusText(status);
    return out.fail() ? "cannot write " + path.string() : std::string();
}

}  // namespace

std::vector<Diagnostic> UnpackOneFile(const fs::path &file, const fs::path &into)
{
    std::vector<Diagnostic> found;
    std::ifstream in(file, std::ios::binary);
    std::error_code error;
    uint64_t size = fs::file_size(file, error);
    if (!in || error) {
        found.push_back({0, true, "cannot read " + file.string()});
        return found;
    }
    // Large: off the stack.
    std::unique_ptr<zip_archive> zip(new zip_archive());
    zip_source source = {ReadAt, &in, size};
    ZipStatus status = ZipOpen(zip.get(), &source);
    if (status != ZIP_OK) {
        found.push_back({0, true, file.filename().string() + " holds no archive the launcher takes: " +
                                      Refusal(status, *zip)});
        return found;
    }
    for (size_t i = 0; i < zip->count; i++) {
        if (zip->entries[i].directory)
            continue;
        std::string problem = UnpackEntry(*zip, zip->entries[i], into);
        if (!problem.empty())
            found.push_back({0, true, file.filename().string() + ": " + problem});
    }
    ZipClose(zip.get());
    return found;
}
