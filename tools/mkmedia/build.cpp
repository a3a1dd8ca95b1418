// build.cpp - the vendor's script made into a medium: END figures, the
// layout of the chosen kind with its CHANGEDISK lines and markers, the
// payload (compressed on request), the program files. The medium is made
// in a directory beside its place, checked, and only then put there.
#include "build.h"
#include "banner.h"

#include <cstdint>
#include <stdio.h>
#include <stdlib.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <vector>

#include "lz_compress.h"
#include "base/crc32.h"
#include "script/file_record.h"
#include "one_file.h"
#include "output_place.h"
#include "folder_lines.h"
#include "source_checks.h"
#include "base/setup_info.h"

#ifndef O_BINARY
#define O_BINARY 0  // only Windows tells text from binary files
#endif

namespace {

// What a diskette format leaves for files, as its file system has it.
const struct {
    const char *name;
    unsigned long long bytes;
} kDisketteFormats[] = {
    {"360K", 362496}, {"720K", 730112}, {"1.2M", 1213952}, {"1.44M", 1457664}, {"2.88M", 2915328},
};
const unsigned long long kDirectoryReserve = 8192;  // directory entries on a disk

struct Payload {
    fs::path product;        // the file in the product tree
    std::string medium_name;  // its name on the medium, "\" between parts
    unsigned long long installed = 0;
    unsigned long long stored = 0;  // its size on the medium
    unsigned long crc = 0;          // of the bytes installed
    bool plain = true;              // stored as it stands
    std::string compressed;         // the compressed bytes, when not plain
};

struct Plan {
    std::vector<Payload> payloads;
    std::map<int, size_t> payload_of_line;  // line number -> payload
    std::map<int, int> disk_before_line;    // a CHANGEDISK n goes before this line
    std::map<int, std::set<size_t>> disks;  // the payloads each disk holds
    unsigned long long sets[MAX_FILE_SETS] = {};
};

// The compressor's signature: a file that begins with it is decoded by the
// installer, so only a file without it may lie plain on a compressed medium.
const char kCompressedSignature[] = "SZDD\x88\xf0\x27\x33";

bool HasCompressedSignature(const std::string &bytes)
{
    return bytes.compare(0, sizeof kCompressedSignature - 1, kCompressedSignature) == 0;
}

std::string MediumName(const std::string &source, bool compress)
{
    std::string name = source;
    for (char &ch : name) {
        if (ch == '/')
            ch = '\\';
    }
    if (compress && !name.empty())
        name.back() = '_';
    return name;
}

// Header lines after the tenth END have no set; the installer ignores them.
size_t SetIndex(const ScriptLine &line)
{
    return line.set < MAX_FILE_SETS ? static_cast<size_t>(line.set) : MAX_FILE_SETS - 1;
}

bool IsFileRecord(const std::string &text)
{
    struct file_record record;
    size_t start = text.find_first_not_of(" \t");
    TakeFileRecord(start == std::string::npos ? "" : text.c_str() + start, &record);
    return record.present != 0;
}

unsigned long long OnDisk(unsigned long long bytes, MediumKind kind)
{
    unsigned long long cluster = kind == MediumKind::CDROM ? 2048 : 512;
    return (bytes + cluster - 1) / cluster * cluster;
}

class Builder {
public:
    explicit Builder(const BuildOptions &options) : options_(options) {}
    int Run();

private:
    void Fail(int line, const std::string &text) { diagnostics_.push_back({line, true, text}); }
    bool TakePayload(const ScriptLine &line);
    void PlanDisks(unsigned long long script_bytes);
    std::string FinalScript();
    bool WriteMedium(const fs::path &top);
    bool PackOneFile(const fs::path &top, fs::path &packed);
    bool Place(const fs::path &top);
    void Progress(const char *what, size_t done, size_t all) const;
    void Report(std::vector<Diagnostic> found) const;

    const BuildOptions &options_;
    fs::path output_;  // absolute, without a trailing separator
    fs::path product_tree_;
    Script script_;
    Plan plan_;
    NameFinder finder_;
    std::map<std::string, size_t> payload_of_file_;  // by the product file's path
    std::vector<Diagnostic> diagnostics_;
    std::vector<int> origin_;       // by the line number of script_: the vendor's line
    std::vector<int> source_line_;  // by the medium's line number: the line of script_ it comes from
    MediumKind kind_ = MediumKind::SINGLE;
    bool compress_ = false;
    unsigned long long capacity_ = 0;  // 0: no limit
    unsigned long long programs_bytes_ = 0;
    Banner banner_;  // carried beside setup.inf
    fs::path launcher_;  // the one-file medium's
};

void Builder::Progress(const char *what, size_t done, size_t all) const
{
    if (!options_.quiet && (done % 500 == 0 || done == all))
        fprintf(stderr, "mkmedia: %s %zu/%zu\n", what, done, all);
}

// Diagnostics on the lines of script_, said of the vendor's lines.
void Builder::Report(std::vector<Diagnostic> found) const
{
    for (Diagnostic &diagnostic : found)
        diagnostic.line = static_cast<size_t>(diagnostic.line) < origin_.size() ? origin_[diagnostic.line] : 0;
    PrintDiagnostics(found, options_.source.c_str());
}

// The product file a file line names, read (and compressed) once however
// often the script names it.
bool Builder::TakePayload(const ScriptLine &line)
{
    const fs::path &from = product_tree_;
    fs::path product = finder_.Find(from, line.source);
    std::error_code error;
    if (product.empty() || !fs::is_regular_file(product, error)) {
        Fail(line.number, "'" + line.source + "' is not in the product tree " + from.string());
        return false;
    }
    auto known = payload_of_file_.find(product.string());
    if (known != payload_of_file_.end()) {
        plan_.payload_of_line[line.number] = known->second;
        return true;
    }
    Payload payload;
    payload.product = product;
    payload.medium_name = MediumName(line.source, false);
    std::string bytes;
    // A plain file that cannot be read is found when it is copied, and
    // summed on the way.
    if (compress_ && !ReadWholeFile(product, bytes)) {
        Fail(line.number, "'" + line.source + "' cannot be read: " + product.string());
        return false;
    }
    payload.installed = compress_ ? bytes.size() : fs::file_size(product, error);
    if (compress_) {
        payload.crc = Crc32(0, bytes.data(), bytes.size());
        const uint64_t size = bytes.size();  // a size_t of 32 bits is never too large
        if (size > 0xFFFFFFFFull) {
            Fail(line.number, "'" + line.source + "' is too large to compress (4 GB at most)");
            return false;
        }
        std::string original = line.source;
        payload.compressed.resize(LzCompressBound(bytes.size()));
        payload.compressed.resize(LzCompress(reinterpret_cast<const unsigned char *>(bytes.data()), bytes.size(),
                                             original.back(), reinterpret_cast<unsigned char *>(&payload.compressed[0])));
        // A file that does not shrink is stored as it stands.
        payload.plain = payload.compressed.size() >= bytes.size() && !HasCompressedSignature(bytes);
        if (payload.plain)
            payload.compressed.clear();
        else
            payload.medium_name = MediumName(line.source, true);
    }
    payload.stored = payload.plain ? payload.installed : payload.compressed.size();
    payload_of_file_[product.string()] = plan_.payloads.size();
    plan_.payload_of_line[line.number] = plan_.payloads.size();
    plan_.payloads.push_back(std::move(payload));
    return true;
}

// Files go onto disks in script order; a CHANGEDISK line goes before the
// file that starts a new disk, inside its set's block, where the installer
// reads it: the disk in the drive is then known, and a set that begins on
// that disk asks for nothing more.
void Builder::PlanDisks(unsigned long long script_bytes)
{
    int disk = 1;
    unsigned long long used = kDirectoryReserve + OnDisk(script_bytes, kind_) + programs_bytes_;
    if (capacity_ != 0 && used > capacity_) {
        Fail(0, "disk 1 cannot hold setup.inf and the program files (" + std::to_string(used) +
                    " bytes) in a disk of " + std::to_string(capacity_) + " bytes: give a larger --disk-size");
        return;
    }
    std::map<int, std::map<std::string, size_t>> names;  // per disk: folded medium name -> payload
    for (const ScriptLine &line : script_.lines) {
        if (line.kind != LineKind::FILE || !plan_.payload_of_line.count(line.number))
            continue;
        size_t index = plan_.payload_of_line[line.number];
        const Payload &payload = plan_.payloads[index];
        plan_.sets[SetIndex(line)] += payload.installed;
        if (plan_.disks[disk].count(index))
            continue;
        unsigned long long cost = OnDisk(payload.stored, kind_);
        if (capacity_ != 0 && used + cost > capacity_) {
            if (cost + kDirectoryReserve > capacity_) {
                Fail(line.number, "'" + line.source + "' (" + std::to_string(payload.stored) +
                                      " bytes on the medium) is larger than a disk of " + std::to_string(capacity_) +
                                      " bytes");
                return;
            }
            disk++;
            used = kDirectoryReserve;
            plan_.disk_before_line[line.number] = disk;
        }
        auto named = names[disk].emplace(FoldName(payload.medium_name), index);
        if (!named.second)
            Fail(line.number, "'" + line.source + "' and " + plan_.payloads[named.first->second].product.string() +
                                  " would have the same name " + payload.medium_name + " on the medium");
        plan_.disks[disk].insert(index);
        used += cost;
    }
}

std::string Builder::FinalScript()
{
    static const char *const kKinds[] = {"SINGLE DIR IMAGE", "FLOPPY DISK IMAGE", "CDROM IMAGE"};
    std::string text;
    source_line_.assign(1, 0);
    size_t lines_counted_to = 0;
    bool globals_written = false;
    auto write_globals = [&] {
        text += std::string(compress_ ? "COMPRESSED" : "NOT COMPRESSED") + "\r\n";
        text += std::string(kKinds[static_cast<int>(kind_)]) + "\r\n";
        globals_written = true;
    };
    for (const ScriptLine &line : script_.lines) {
        size_t start = line.text.find_first_not_of(" \t");
        bool comment = start == std::string::npos || line.text[start] == ';';
        if (!globals_written && !comment)
            write_globals();
        auto changedisk = plan_.disk_before_line.find(line.number);
        if (changedisk != plan_.disk_before_line.end())
            text += "CHANGEDISK " + std::to_string(changedisk->second) + "\r\n";
        switch (line.kind) {
        case LineKind::COMPRESSION:
        case LineKind::IMAGE:
            break;
        case LineKind::END: {
            unsigned long long figure = line.has_figure ? line.figure : plan_.sets[SetIndex(line)];
            text += line.text.substr(0, start) + "END " + std::to_string(figure) + "\r\n";
            break;
        }
        case LineKind::FILE: {
            const Payload &payload = plan_.payloads[plan_.payload_of_line.at(line.number)];
            char record[64];
            snprintf(record, sizeof record, "; length %llu crc32 %08lX\r\n", payload.installed, payload.crc);
            text += record + line.text.substr(0, line.source_at) + payload.medium_name +
                    line.text.substr(line.source_at + line.source.size()) + "\r\n";
            break;
        }
        default:
            // A record in the vendor's script would stand for a file it does not know.
            if (!IsFileRecord(line.text))
                text += line.text + "\r\n";
        }
        // Lines the builder adds count as the vendor's line they stand before.
        size_t lines = source_line_.size() + std::count(text.begin() + lines_counted_to, text.end(), '\n');
        source_line_.resize(lines, line.number);
        lines_counted_to = text.size();
    }
    if (!globals_written)
        write_globals();
    return text;
}

bool WriteFile(const fs::path &path, const std::string &bytes)
{
    std::error_code error;
    fs::create_directories(path.parent_path(), error);
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    return !out.fail();
}

// A plain copy into a directory that holds no such name yet: created at
// once, without asking first whether it exists. A read shorter than asked
// for is the end of a regular file, so a small file costs one read. Its
// length and CRC-32 are counted on the way.
bool CopyFile(const fs::path &from, const fs::path &to, unsigned long long &length, unsigned long &crc)
{
    static char buffer[1 << 16];
    length = 0;
    crc = 0;
    int in = open(from.string().c_str(), O_RDONLY | O_BINARY);
    if (in < 0)
        return false;
    int out = open(to.string().c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_BINARY, 0644);
    bool copied = out >= 0;
    for (ssize_t got = sizeof buffer; copied && got == static_cast<ssize_t>(sizeof buffer);) {
        got = read(in, buffer, sizeof buffer);
        copied = got >= 0 && write(out, buffer, static_cast<size_t>(got)) == got;
        if (copied) {
            length += static_cast<unsigned long long>(got);
            crc = Crc32(crc, buffer, static_cast<size_t>(got));
        }
    }
    close(in);
    return out >= 0 && close(out) == 0 && copied;
}

// The payload first: setup.inf records what was copied.
bool Builder::WriteMedium(const fs::path &top)
{
    fs::path script_dir = ScriptDirectory(top, kind_);
    std::error_code failed;
    fs::create_directories(script_dir, failed);
    for (const char *program : kProgramFiles) {
        std::error_code error;
        std::string why;
        if (!options_.signing.pfx.empty()) {
            if (!SignProgram(options_.signing, options_.programs / program, script_dir / program, why)) {
                Fail(0, "cannot sign " + std::string(program) + ": " + why);
                return false;
            }
            continue;
        }
        fs::copy_file(options_.programs / program, script_dir / program, error);
        if (error) {
            Fail(0, "cannot copy " + (options_.programs / program).string() + ": " + error.message());
            return false;
        }
    }
    if (!banner_.path.empty()) {
        std::string name = banner_.name;
        std::replace(name.begin(), name.end(), '\\', '/');
        fs::path target = script_dir / name;
        std::error_code error;
        fs::create_directories(target.parent_path(), error);
        fs::copy_file(banner_.path, target, error);
        if (error) {
            Fail(banner_.line, "cannot copy the banner to " + target.string() + ": " + error.message());
            return false;
        }
    }
    size_t done = 0, all = 0;
    std::set<std::string> made;  // directories, each made once
    for (const auto &disk : plan_.disks)
        all += disk.second.size();
    for (const auto &disk : plan_.disks) {
        if (kind_ == MediumKind::FLOPPY && !WriteFile(MarkerFile(top, disk.first), "")) {
            Fail(0, "cannot write " + MarkerFile(top, disk.first).string());
            return false;
        }
        for (size_t index : disk.second) {
            Payload &payload = plan_.payloads[index];
            std::string name = payload.medium_name;
            for (char &ch : name) {
                if (ch == '\\')
                    ch = '/';
            }
            fs::path target = FilesDirectory(top, kind_, disk.first) / name;
            std::error_code error;
            if (made.insert(target.parent_path().string()).second)
                fs::create_directories(target.parent_path(), error);
            unsigned long long copied = payload.installed;
            bool written = payload.plain ? CopyFile(payload.product, target, copied, payload.crc)
                                         : WriteFile(target, payload.compressed);
            if (!written) {
                Fail(0, "cannot write " + target.string() + " from " + payload.product.string());
                return false;
            }
            if (copied != payload.installed) {
                Fail(0, payload.product.string() + " changed while the medium was made: build it again");
                return false;
            }
            Progress("written", ++done, all);
        }
    }
    if (!WriteFile(script_dir / "setup.inf", FinalScript())) {
        Fail(0, "cannot write " + (script_dir / "setup.inf").string());
        return false;
    }
    return true;
}

// The directory medium at top made into one program beside the output:
// the launcher's own files first, then the payload in the order the
// installer reads it. Signed whole, the archive in.
bool Builder::PackOneFile(const fs::path &top, fs::path &packed)
{
    std::vector<std::string> first(std::begin(kProgramFiles), std::end(kProgramFiles));
    first.push_back("setup.inf");
    for (const auto &disk : plan_.disks) {
        for (size_t index : disk.second) {
            std::string name = plan_.payloads[index].medium_name;
            std::replace(name.begin(), name.end(), '\\', '/');
            first.push_back(name);
        }
    }
    std::string why;
    fs::path unsigned_file = FreeNameBeside(output_, "mkmedia-exe");
    packed = unsigned_file;
    if (!WriteOneFile(launcher_, top, first, options_.store, unsigned_file, why)) {
        Fail(0, why);
        fs::remove(unsigned_file);
        return false;
    }
    std::error_code error;
    fs::permissions(unsigned_file, fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec,
                    fs::perm_options::add, error);
    if (options_.signing.pfx.empty())
        return true;
    packed = FreeNameBeside(output_, "mkmedia-signed");
    bool signed_file = SignProgram(options_.signing, unsigned_file, packed, why);
    fs::remove(unsigned_file);
    if (!signed_file) {
        Fail(0, "cannot sign " + output_.filename().string() + ": " + why);
        fs::remove(packed);
    }
    return signed_file;
}

// The finished medium takes the place of an earlier one, asked again now:
// the build took a while.
bool Builder::Place(const fs::path &top)
{
    std::string refusal = OutputRefusal(output_, product_tree_, options_.one_file);
    if (!refusal.empty()) {
        Fail(0, refusal);
        return false;
    }
    std::error_code error;
    fs::path old = FreeNameBeside(output_, "mkmedia-old");
    bool had_old = fs::exists(fs::symlink_status(output_, error));
    error.clear();
    if (had_old)
        fs::rename(output_, old, error);
    if (!error)
        fs::rename(top, output_, error);
    if (error) {
        Fail(0, "cannot put the medium in place at " + output_.string() + ": " + error.message());
        if (had_old)
            fs::rename(old, output_, error);
        return false;
    }
    fs::remove_all(old, error);
    return true;
}

namespace {

// The outermost directory of path's parents that is not there yet, or an
// empty path: what a failed build made and takes back.
fs::path FirstMissingParent(const fs::path &path)
{
    std::error_code error;
    fs::path missing;
    for (fs::path up = path.parent_path(); !up.empty() && !fs::exists(up, error); up = up.parent_path()) {
        missing = up;
        if (up == up.parent_path())
            break;
    }
    return missing;
}

void RemoveMadeParents(const fs::path &from, const fs::path &outermost)
{
    std::error_code error;
    if (outermost.empty())
        return;
    for (fs::path up = from; fs::remove(up, error); up = up.parent_path()) {
        if (up == outermost)
            break;
    }
}

}  // namespace

int Builder::Run()
{
    product_tree_ = options_.from.empty() ? fs::path(options_.source).parent_path() : options_.from;
    if (product_tree_.empty())
        product_tree_ = ".";
    output_ = OutputPlace(options_.output);
    std::string refusal = OutputRefusal(output_, product_tree_, options_.one_file);
    if (!refusal.empty()) {
        fprintf(stderr, "mkmedia: %s\n", refusal.c_str());
        return 1;
    }
    std::string bytes;
    if (!ReadWholeFile(options_.source, bytes)) {
        fprintf(stderr, "mkmedia: cannot read the script %s\n", options_.source.c_str());
        return 1;
    }
    // The vendor's mistakes first, in the builder's own words where it has
    // them rather than the installer's; then the folders taken whole.
    Script source = ReadScript(bytes);
    std::vector<Diagnostic> own = CheckSource(source);
    AddUnlessSaid(own, source.diagnostics);
    std::string expanded;
    if (HasErrors(own) || !ExpandFolders(source, product_tree_, expanded, origin_, own)) {
        PrintDiagnostics(own, options_.source.c_str());
        return 1;
    }
    script_ = ReadScript(expanded);
    diagnostics_ = script_.diagnostics;
    kind_ = options_.kind_given ? options_.kind : ScriptKind(script_);
    compress_ = options_.compress_given ? options_.compress : ScriptCompressed(script_);
    if (kind_ == MediumKind::FLOPPY)
        capacity_ = options_.disk_size != 0 ? options_.disk_size : 1457664;
    else if (kind_ == MediumKind::CDROM)
        capacity_ = options_.disk_size;

    // The installer's judgement of the script as it will be, figures filled in.
    Script judged = script_;
    for (ScriptLine &line : judged.lines) {
        if (line.kind == LineKind::END && !line.has_figure)
            line.text = line.text.substr(0, line.text.find_first_not_of(" \t")) + "END 0";
        if (line.kind == LineKind::CHANGEDISK)
            Fail(line.number, "CHANGEDISK lines are placed by mkmedia: leave them out");
    }
    judged.diagnostics.clear();
    ScanAsTheInstaller(judged);
    diagnostics_.insert(diagnostics_.end(), judged.diagnostics.begin(), judged.diagnostics.end());
    banner_ = FindBanner(script_, product_tree_, finder_, diagnostics_);

    for (const char *program : kProgramFiles) {
        std::error_code error;
        fs::path path = options_.programs / program;
        if (!fs::is_regular_file(path, error))
            Fail(0, "the program file " + path.string() + " is missing (see --programs)");
        else
            programs_bytes_ += OnDisk(fs::file_size(path, error), kind_);
    }
    if (options_.one_file && (launcher_ = FindLauncher(options_.programs)).empty())
        Fail(0, "the launcher of the one-file medium is neither in " + options_.programs.string() + " nor in " +
                    (options_.programs / ".." / "launcher").lexically_normal().string() + " (see --programs)");
    if (!options_.signing.pfx.empty() && !std::ifstream(options_.signing.pfx, std::ios::binary).good())
        Fail(0, "cannot read the signing key " + options_.signing.pfx.string());
    size_t files = 0, all = 0;
    for (const ScriptLine &line : script_.lines)
        all += line.kind == LineKind::FILE;
    for (const ScriptLine &line : script_.lines) {
        if (line.kind == LineKind::FILE) {
            TakePayload(line);
            Progress(compress_ ? "compressed" : "read", ++files, all);
        }
    }
    if (!HasErrors(diagnostics_))
        PlanDisks(expanded.size() + 32 * script_.lines.size() + 40 * all + 64);
    for (const ScriptLine &line : script_.lines) {
        unsigned long long installs = plan_.sets[SetIndex(line)];
        if (line.kind == LineKind::END && line.has_figure && line.figure < installs)
            Fail(line.number, "END " + std::to_string(line.figure) + " is smaller than the " +
                                  std::to_string(installs) + " bytes the file set installs");
    }
    if (HasErrors(diagnostics_)) {
        Report(diagnostics_);
        return 1;
    }

    fs::path made_parent = FirstMissingParent(output_);
    fs::path top = FreeNameBeside(output_, "mkmedia-new");
    std::error_code error;
    bool built = fs::create_directories(top, error) && WriteMedium(top);
    if (built) {
        // Whose certificate it is, is for check --ca to judge.
        CheckOptions check;
        check.any_certificate = true;
        std::vector<Diagnostic> found = CheckMedium(top, check);
        for (Diagnostic &diagnostic : found)
            diagnostic.line = static_cast<size_t>(diagnostic.line) < source_line_.size() ? source_line_[diagnostic.line] : 0;
        if (HasErrors(found)) {
            Report(found);
            built = false;
        }
    }
    // The one file is checked as check does it, its archive read back.
    fs::path packed;
    if (built && options_.one_file) {
        built = PackOneFile(top, packed);
        fs::remove_all(top, error);
        top = packed;
        CheckOptions check;
        check.any_certificate = true;
        std::vector<Diagnostic> found = built ? CheckMedium(top, check) : std::vector<Diagnostic>();
        if (HasErrors(found)) {
            PrintDiagnostics(found, output_.filename().string().c_str());
            built = false;
        }
    }
    if (!built || !Place(top)) {
        Report(diagnostics_);
        fs::remove_all(top, error);
        RemoveMadeParents(top.parent_path(), made_parent);
        return 1;
    }
    Report(diagnostics_);
    if (!WriteBuildRecord(output_, product_tree_))
        fprintf(stderr, "mkmedia: warning: cannot write %s; verify then needs --from, and a new build here "
                "takes another directory\n", BuildRecord(output_).string().c_str());
    if (!options_.quiet) {
        unsigned long long stored = 0;
        for (const Payload &payload : plan_.payloads)
            stored += payload.stored;
        fprintf(stderr, "mkmedia: %s: %zu files on %zu disk(s), %llu bytes of payload\n", output_.string().c_str(),
                plan_.payloads.size(), plan_.disks.empty() ? size_t{1} : plan_.disks.size(), stored);
    }
    return 0;
}

}  // namespace

int BuildMedium(const BuildOptions &options)
{
    return Builder(options).Run();
}

unsigned long long ParseDiskSize(const std::string &text)
{
    for (const auto &format : kDisketteFormats) {
        if (text == format.name)
            return format.bytes;
    }
    char *end = NULL;
    unsigned long long number = strtoull(text.c_str(), &end, 10);
    if (end == text.c_str() || text[0] == '-')
        return 0;
    std::string suffix = end;
    if (suffix == "K" || suffix == "k")
        return number * 1024;
    if (suffix == "M" || suffix == "m")
        return number * 1024 * 1024;
    return suffix.empty() ? number : 0;
}
