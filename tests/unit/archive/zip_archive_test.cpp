// The archive reader on archives made here byte by byte: what it takes,
// read back in pieces of any size behind a program or alone, and what it
// refuses, whole at open or at the piece where the damage shows.
#include <gtest/gtest.h>
#include <stdint.h>
#include <string.h>
#include <zlib.h>

#include <memory>
#include <string>
#include <vector>

#include "zip_archive.h"

namespace {

void Put16(std::string &out, uint32_t v)
{
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>(v >> 8 & 0xFF);
}

void Put32(std::string &out, uint32_t v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

uint32_t Crc(const std::string &data)
{
    return static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef *>(data.data()), static_cast<uInt>(data.size())));
}

std::string Deflate(const std::string &data)
{
    z_stream z = {};
    EXPECT_EQ(deflateInit2(&z, 9, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY), Z_OK);
    std::string out(deflateBound(&z, data.size()), '\0');
    z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data.data()));
    z.avail_in = static_cast<uInt>(data.size());
    z.next_out = reinterpret_cast<Bytef *>(&out[0]);
    z.avail_out = static_cast<uInt>(out.size());
    EXPECT_EQ(deflate(&z, Z_FINISH), Z_STREAM_END);
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

struct Entry {
    std::string name;
    std::string data;
    uint16_t method = 8;
    uint16_t flags = 0;
};

// An archive as the builder writes it, with every field open to a test.
struct Archive {
    std::vector<Entry> entries;
    std::string prefix;           // the program in front
    bool offsets_from_file = true;
    uint16_t disk = 0;
    int count_delta = 0;          // the end record's count against the entries

    Archive &Add(const std::string &name, const std::string &data, uint16_t method = 8)
    {
        Entry e;
        e.name = name;
        e.data = data;
        e.method = method;
        entries.push_back(e);
        return *this;
    }

    std::string Bytes() const
    {
        std::string out = prefix, central;
        uint32_t base = offsets_from_file ? static_cast<uint32_t>(prefix.size()) : 0;
        for (const Entry &e : entries) {
            std::string packed = e.method == 8 ? Deflate(e.data) : e.data;
            uint32_t at = base + static_cast<uint32_t>(out.size() - prefix.size());
            std::string fields;
            Put16(fields, e.flags);
            Put16(fields, e.method);
            Put32(fields, 0);  // time and date
            Put32(fields, Crc(e.data));
            Put32(fields, static_cast<uint32_t>(packed.size()));
            Put32(fields, static_cast<uint32_t>(e.data.size()));
            Put16(fields, static_cast<uint32_t>(e.name.size()));
            Put32(out, 0x04034b50);
            Put16(out, 20);
            out += fields;
            Put16(out, 0);
            out += e.name + packed;
            Put32(central, 0x02014b50);
            Put16(central, 20);
            Put16(central, 20);
            central += fields;
            Put16(central, 0);  // extra
            Put16(central, 0);  // comment
            Put16(central, 0);  // disk
            Put16(central, 0);
            Put32(central, 0);
            Put32(central, at);
            central += e.name;
        }
        uint32_t directory = base + static_cast<uint32_t>(out.size() - prefix.size());
        out += central;
        Put32(out, 0x06054b50);
        Put16(out, disk);
        Put16(out, disk);
        Put16(out, static_cast<uint32_t>(entries.size() + count_delta));
        Put16(out, static_cast<uint32_t>(entries.size() + count_delta));
        Put32(out, static_cast<uint32_t>(central.size()));
        Put32(out, directory);
        Put16(out, 0);
        return out;
    }
};

int ReadAt(void *context, uint64_t offset, void *bytes, size_t size)
{
    const std::string &file = *static_cast<const std::string *>(context);
    if (offset > file.size() || size > file.size() - offset)
        return 0;
    memcpy(bytes, file.data() + offset, size);
    return 1;
}

// The record holds a piece buffer: on the heap, as a program keeps it static.
struct Opened {
    std::string file;
    std::unique_ptr<zip_archive> zip{new zip_archive()};
    ZipStatus status;

    explicit Opened(const std::string &bytes) : file(bytes)
    {
        zip_source source = {ReadAt, &file, file.size()};
        status = ZipOpen(zip.get(), &source);
    }
    ~Opened() { ZipClose(zip.get()); }

    // The entry's bytes read in pieces of piece bytes; the status that ended it.
    ZipStatus Read(const char *name, std::string &out, size_t piece = 1000)
    {
        out.clear();
        ZipStatus s = ZipBegin(zip.get(), ZipFind(zip.get(), name));
        std::vector<char> buffer(piece);
        size_t got = 0;
        while (s == ZIP_OK && (s = ZipRead(zip.get(), buffer.data(), piece, &got)) == ZIP_OK && got > 0)
            out.append(buffer.data(), got);
        if (s != ZIP_OK)
            EXPECT_EQ(got, 0u) << "bytes handed out with a failure";
        return s;
    }
};

std::string Text(size_t n, unsigned seed)
{
    std::string s;
    for (size_t i = 0; i < n; i++)
        s += static_cast<char>("abcdefgh\r\n"[(i * seed + i / 7) % 10]);
    return s;
}

Archive Medium()
{
    Archive a;
    a.Add("setup.inf", Text(3000, 3)).Add("sub/Data.Bin", Text(100000, 7), 0).Add("sub/", "", 0);
    a.Add("empty.txt", "", 0).Add("sub/deep/big.txt", Text(300000, 11));
    return a;
}

// Layouts: alone; behind a program, offsets from the file's start; from
// the archive's start; and with a signature appended after it.
TEST(ZipArchive, ReadsEveryEntryBackInAnyPieceBehindAProgramOrAlone)
{
    for (int layout = 0; layout < 4; layout++) {
        Archive a = Medium();
        a.prefix = layout == 0 ? "" : std::string("MZ\x90\0launcher", 12) + std::string(5000, 'x');
        a.offsets_from_file = layout != 2;
        Opened o(a.Bytes() + (layout == 3 ? std::string(6000, '\x30') : ""));
        ASSERT_EQ(o.status, ZIP_OK) << "layout " << layout << ": " << o.zip->problem_name;
        EXPECT_EQ(o.zip->start, layout == 2 ? a.prefix.size() : 0u);
        for (size_t piece : {1u, 4095u, 32768u, 1u << 20}) {
            for (const Entry &e : a.entries) {
                if (e.name == "sub/")
                    continue;
                std::string out;
                EXPECT_EQ(o.Read(e.name.c_str(), out, piece), ZIP_OK) << e.name;
                EXPECT_TRUE(out == e.data) << e.name << " in pieces of " << piece;
            }
        }
        std::string out;
        EXPECT_EQ(o.Read("SUB\\deep\\BIG.TXT", out), ZIP_OK) << "the script's spelling";
        EXPECT_EQ(out.size(), 300000u);
        EXPECT_EQ(ZipFind(o.zip.get(), "sub"), nullptr);
        EXPECT_EQ(ZipFind(o.zip.get(), "sub/"), nullptr) << "a directory entry holds no file";
        EXPECT_EQ(ZipFind(o.zip.get(), "setup.in"), nullptr);
        EXPECT_EQ(o.Read("missing", out), ZIP_NOT_FOUND);
    }
}

TEST(ZipArchive, RefusesANameThatLeavesItsPlaceAndNamesIt)
{
    const char *bad[] = {"../evil.dll", "sub/../../evil", "..", "./a", "C:evil", "c:/windows/evil", "/rooted",
                         "\\rooted", "\\\\server\\share\\x", "sub//x", "sub\\\\x", "a\x01z", "a\x7fz", "CON",
                         "sub/nul.txt", "Com1.dll", "lpt9", "aux .txt", "conout$", "trail.", "trail ",
                         "sub./x", "stream.txt:hidden", "wild*", "q?", "", "//"};
    for (const char *name : bad) {
        Opened o(Archive().Add("good.txt", "x").Add(name, "payload").Bytes());
        EXPECT_EQ(o.status, ZIP_BAD_NAME) << name;
        std::string shown(name);
        for (char &c : shown)
            c = static_cast<unsigned char>(c) < 0x20 || c == 0x7f ? '?' : c;
        EXPECT_EQ(std::string(o.zip->problem_name), shown);
        EXPECT_EQ(o.zip->count, 0u) << "a refused archive is refused whole";
    }
    const char *good[] = {"con1.txt", "a..b", "COM0", "console", "sub/dir/", ".hidden", "nul_x", "x\\y.txt"};
    for (const char *name : good)
        EXPECT_EQ(Opened(Archive().Add(name, "").Bytes()).status, ZIP_OK) << name;
}

// Each fault, made in an otherwise sound archive, and the status it earns.
TEST(ZipArchive, RefusesAnArchiveItCannotTakeWholeAtOpen)
{
    const std::string sound = Medium().Bytes();
    ASSERT_EQ(Opened(sound).status, ZIP_OK);

    EXPECT_EQ(Opened("").status, ZIP_NOT_AN_ARCHIVE);
    EXPECT_EQ(Opened(std::string("MZ\x90\0", 4) + std::string(70000, '\0')).status, ZIP_NOT_AN_ARCHIVE);
    // Cut anywhere: never taken.
    for (size_t length = 0; length < sound.size(); length += length < 400 ? 1 : 997)
        EXPECT_NE(Opened(sound.substr(0, length)).status, ZIP_OK) << "cut at " << length;

    Archive dup = Medium();
    dup.Add("SUB\\data.bin", "other");
    Opened twice(dup.Bytes());
    EXPECT_EQ(twice.status, ZIP_DUPLICATE_NAME);
    EXPECT_TRUE(std::string(twice.zip->problem_name) == "SUB\\data.bin" ||
                std::string(twice.zip->problem_name) == "sub/Data.Bin")
        << twice.zip->problem_name;

    Archive encrypted = Medium();
    encrypted.entries[1].flags = 1;
    EXPECT_EQ(Opened(encrypted.Bytes()).status, ZIP_ENCRYPTED);
    Archive method = Medium();
    method.entries[0].method = 12;
    Opened bzip(method.Bytes());
    EXPECT_EQ(bzip.status, ZIP_BAD_METHOD);
    EXPECT_STREQ(bzip.zip->problem_name, "setup.inf");

    Archive disks = Medium();
    disks.disk = 1;
    EXPECT_EQ(Opened(disks.Bytes()).status, ZIP_UNSUPPORTED);
    Archive fewer = Medium();
    fewer.count_delta = -1;
    EXPECT_EQ(Opened(fewer.Bytes()).status, ZIP_BAD_DIRECTORY) << "an entry the end record does not count";
    Archive more = Medium();
    more.count_delta = 1;
    EXPECT_EQ(Opened(more.Bytes()).status, ZIP_BAD_DIRECTORY);
    more.count_delta = 0xFFFF - static_cast<int>(more.entries.size());
    EXPECT_EQ(Opened(more.Bytes()).status, ZIP_UNSUPPORTED) << "the ZIP64 mark";

    // The first entry's compressed length (central field at 46+... of the
    // directory) made larger than the file allows.
    std::string outside = sound;
    size_t central = outside.find("PK\x01\x02");
    outside[central + 22] = '\x7f';
    EXPECT_EQ(Opened(outside).status, ZIP_OUTSIDE_FILE);
    std::string offset = sound;
    offset[central + 45] = '\x7f';
    EXPECT_EQ(Opened(offset).status, ZIP_OUTSIDE_FILE);
    std::string beyond = sound;
    beyond[beyond.size() - 6 + 3] = '\x7f';  // the directory's offset
    EXPECT_EQ(Opened(beyond).status, ZIP_BAD_DIRECTORY);
}

// A byte of an entry's data changed: the read fails at the piece where it
// shows and never hands out the last piece; or, where the change makes no
// difference to what the data decode to, gives the entry exactly.
TEST(ZipArchive, ADamagedEntryFailsAtTheReadAndOthersStayWhole)
{
    Archive a = Medium();
    const std::string sound = a.Bytes();
    const std::string &stored = a.entries[1].data, &inflated = a.entries[0].data;
    const size_t stored_at = sound.find(stored.substr(0, 64)), deflated_at = sound.find("setup.inf") + 9;
    std::vector<size_t> places = {stored_at, stored_at + 77777, stored_at + stored.size() - 1};
    for (size_t at = deflated_at; at < sound.find("PK\x03\x04", deflated_at); at++)
        places.push_back(at);
    int failed = 0;
    for (size_t at : places) {
        std::string damaged = sound;
        damaged[at] = static_cast<char>(damaged[at] ^ 0x20);
        Opened o(damaged);
        ASSERT_EQ(o.status, ZIP_OK) << "the directory is sound";
        std::string out;
        bool in_stored = at >= stored_at;
        ZipStatus s = o.Read(in_stored ? "sub/data.bin" : "setup.inf", out, 1000);
        if (s == ZIP_OK) {
            EXPECT_TRUE(out == inflated) << "a damaged entry read to its end at " << at;
            continue;
        }
        failed++;
        EXPECT_TRUE(s == ZIP_WRONG_CRC || s == ZIP_DAMAGED_DATA || s == ZIP_WRONG_LENGTH) << at << ": " << s;
        EXPECT_LT(out.size(), in_stored ? stored.size() : inflated.size())
            << "the last piece of a damaged entry is never handed out";
        EXPECT_EQ(o.Read("sub/deep/big.txt", out), ZIP_OK) << "the next entry reads whole";
        EXPECT_TRUE(out == a.entries[4].data);
    }
    EXPECT_GT(failed, static_cast<int>(places.size()) / 2);
    // The length changed in one header only: the headers disagree. In
    // both: found as the data come.
    const size_t local = sound.find("PK\x03\x04") + 22, central = sound.find("PK\x01\x02") + 24;
    for (int where = 0; where < 3; where++) {
        std::string damaged = sound;
        if (where != 1)
            damaged[local] ^= 1;
        if (where != 0)
            damaged[central] ^= 1;
        Opened o(damaged);
        std::string out;
        ASSERT_EQ(o.status, ZIP_OK);
        EXPECT_EQ(o.Read("setup.inf", out), where == 2 ? ZIP_WRONG_LENGTH : ZIP_BAD_LOCAL_HEADER) << where;
    }
}

}  // namespace
