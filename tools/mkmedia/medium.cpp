// medium.cpp - the layout of a medium and its check without running it.
#include "medium.h"
#include "banner.h"

#include <stdio.h>
#include <string.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>

#include "lz_expand.h"
#include "one_file.h"
#include "part_directories.h"
#include "program_files.h"
#include "source_checks.h"
#include "base/crc32.h"
#include "base/setup_info.h"
#include "script/file_record.h"
#include "signing.h"

const char *const kProgramFiles[3] = {"setup.exe", "setuprt.dll", "mscuistf.dll"};

fs::path ScriptDirectory(const fs::path &top, MediumKind kind)
{
    return kind == MediumKind::FLOPPY ? top / "DISK1" : top;
}

fs::path FilesDirectory(const fs::path &top, MediumKind kind, int disk)
{
    if (kind == MediumKind::SINGLE)
        return top;
    return top / ("DISK" + std::to_string(disk)) / "FILES";
}

fs::path MarkerFile(const fs::path &top, int disk)
{
    return top / ("DISK" + std::to_string(disk)) / ("DISKID" + std::to_string(disk));
}

const std::map<std::string, std::string> &NameFinder::Listing(const std::string &directory)
{
    auto known = listings_.find(directory);
    if (known != listings_.end())
        return known->second;
    std::map<std::string, std::string> &names = listings_[directory];
    std::error_code error;
    for (fs::directory_iterator entry(directory, error), end; !error && entry != end; entry.increment(error))
        names.emplace(FoldName(entry->path().filename().string()), entry->path().filename().string());
    return names;
}

// Built as a string: a path put together part by part costs more than the
// look-ups.
fs::path NameFinder::Find(const fs::path &base, const std::string &relative)
{
    std::string found = base.string();
    std::string folded = FoldName(relative);
    size_t at = 0;
    while (at <= folded.size()) {
        size_t slash = folded.find('/', at);
        if (slash == std::string::npos)
            slash = folded.size();
        if (slash > at) {
            const std::map<std::string, std::string> &names = Listing(found);
            auto name = names.find(folded.substr(at, slash - at));
            if (name == names.end())
                return fs::path();
            found += static_cast<char>(fs::path::preferred_separator);
            found += name->second;
        }
        at = slash + 1;
    }
    return found;
}

bool ReadWholeFile(const fs::path &path, std::string &bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream all;
    all << in.rdbuf();
    bytes = all.str();
    return !in.bad();
}

bool SumFile(const fs::path &path, unsigned long long &length, unsigned long &crc)
{
    std::ifstream in(path, std::ios::binary);
    static char buffer[1 << 16];
    length = 0;
    crc = 0;
    while (in) {
        in.read(buffer, sizeof buffer);
        crc = Crc32(crc, buffer, static_cast<size_t>(in.gcount()));
        length += static_cast<unsigned long long>(in.gcount());
    }
    return in.eof() && !in.bad();
}

fs::path BuildRecord(const fs::path &medium)
{
    fs::path path = fs::absolute(medium).lexically_normal();
    if (path.filename().empty())
        path = path.parent_path();
    return path.parent_path() / (path.filename().string() + ".mkmedia");
}

const char kRecordHeader[] = "mkmedia medium record";
const char kOneFileLine[] = "one file";

bool WriteBuildRecord(const fs::path &medium, const fs::path &product)
{
    std::ofstream out(BuildRecord(medium));
    out << kRecordHeader << "\nproduct " << fs::absolute(product).lexically_normal().string() << "\n";
    std::error_code error;
    if (fs::is_regular_file(medium, error)) {
        out << kOneFileLine << "\n";
        out.close();
        return !out.fail();
    }
    for (fs::recursive_directory_iterator entry(medium, error), end; !error && entry != end; entry.increment(error)) {
        if (entry->is_regular_file(error))
            out << "file " << entry->path().lexically_relative(medium).generic_string() << "\n";
    }
    out.close();
    return !error && !out.fail();
}

bool IsBuildRecord(const fs::path &record)
{
    std::ifstream in(record);
    std::string line;
    return std::getline(in, line) && line == kRecordHeader;
}

namespace {

// Each line of the record after its header, to take.
template <typename Take> bool ReadRecordLines(const fs::path &medium, Take take)
{
    std::ifstream in(BuildRecord(medium));
    std::string line;
    if (!std::getline(in, line) || line != kRecordHeader)
        return false;
    while (std::getline(in, line))
        take(line);
    return true;
}

}  // namespace

fs::path ReadBuildRecord(const fs::path &medium)
{
    fs::path product;
    ReadRecordLines(medium, [&](const std::string &line) {
        if (line.compare(0, 8, "product ") == 0)
            product = line.substr(8);
    });
    return product;
}

bool IsOneFileRecord(const fs::path &medium)
{
    bool one_file = false;
    bool record = ReadRecordLines(medium, [&](const std::string &line) { one_file = one_file || line == kOneFileLine; });
    return record && one_file;
}

bool ReadBuildRecordFiles(const fs::path &medium, std::set<std::string> &files)
{
    return ReadRecordLines(medium, [&](const std::string &line) {
        if (line.compare(0, 5, "file ") == 0)
            files.insert(line.substr(5));
    });
}

MediumKind ScriptKind(const Script &script)
{
    MediumKind kind = MediumKind::SINGLE;
    for (const ScriptLine &line : script.lines) {
        if (line.kind != LineKind::IMAGE)
            continue;
        size_t start = line.text.find_first_not_of(" \t");
        char first = start == std::string::npos ? 0 : line.text[start];
        kind = first == 'F' ? MediumKind::FLOPPY : first == 'C' ? MediumKind::CDROM : MediumKind::SINGLE;
    }
    return kind;
}

bool ScriptCompressed(const Script &script)
{
    bool compressed = false;
    for (const ScriptLine &line : script.lines) {
        if (line.kind == LineKind::COMPRESSION)
            compressed = line.text.find("NOT COMPRESSED") == std::string::npos;
    }
    return compressed;
}

namespace {

int Sum(void *crc, const unsigned char *bytes, size_t size)
{
    *static_cast<unsigned long *>(crc) = Crc32(*static_cast<unsigned long *>(crc), bytes, size);
    return 1;
}

// A file on the medium as the installer would install it.
struct Payload {
    bool readable = false;
    unsigned long long installed = 0;  // bytes once installed
    unsigned long crc = 0;             // their CRC-32
    LzResult result = LZ_DONE;         // the decoder's verdict on a compressed file
};

Payload Judge(const fs::path &path, bool expanded)
{
    Payload payload;
    if (!expanded) {  // copied as it stands
        payload.readable = SumFile(path, payload.installed, payload.crc);
        return payload;
    }
    std::string bytes;
    if (!ReadWholeFile(path, bytes))
        return payload;
    payload.readable = true;
    payload.installed = bytes.size();
    payload.crc = Crc32(0, bytes.data(), bytes.size());
    unsigned long decoded_crc = 0;
    std::unique_ptr<_lz_expand> lz(new _lz_expand);
    LzExpandBegin(lz.get(), Sum, &decoded_crc);
    LzExpandFeed(lz.get(), reinterpret_cast<const unsigned char *>(bytes.data()), bytes.size());
    LzResult result = LzExpandEnd(lz.get());
    if (result == LZ_NOT_COMPRESSED)  // copied as it stands
        return payload;
    payload.result = result;
    payload.installed = lz->announced;
    payload.crc = decoded_crc;
    return payload;
}

std::string Summed(unsigned long long length, unsigned long crc)
{
    char text[64];
    snprintf(text, sizeof text, "%llu bytes with CRC-32 %08lX", length, crc);
    return text;
}

// A name on the medium as the diagnostics show it: from the medium's top,
// "/" between its parts.
std::string Shown(const fs::path &directory, const fs::path &top, const std::string &name)
{
    std::string shown = directory.lexically_relative(top).generic_string();
    shown = shown == "." ? name : shown + "/" + name;
    for (char &ch : shown) {
        if (ch == '\\')
            ch = '/';
    }
    return shown;
}

// The disk that holds name, other than disk, or 0.
int DiskHolding(NameFinder &finder, const fs::path &top, MediumKind kind, const std::string &name, int disk)
{
    for (int other = 1; other <= 99; other++) {
        if (other != disk && !finder.Find(FilesDirectory(top, kind, other), name).empty())
            return other;
    }
    return 0;
}

// Drops a destination's drive, as the installer does.
std::string Installed(const std::string &destination)
{
    bool drive = destination.size() >= 2 && destination[1] == ':';
    return FoldName(drive ? destination.substr(2) : destination);
}

// Whether a program file is signed and its signature holds; unsigned is
// no fault, only a medium Windows shows as from an unknown publisher.
Diagnostic SignatureDiagnostic(const fs::path &path, const std::string &program, const CheckOptions &options)
{
    if (!HasSignature(path))
        return {0, false, program + " is not signed", true};
    SignatureCheck check = VerifySignature(path, options.trusted);
    // A changed file is refused before its certificate is read.
    std::string signed_by = program + " is signed" + (check.signer.empty() ? "" : " by " + check.signer);
    switch (check.verdict) {
    case SignatureVerdict::UNTRUSTED:
        if (!options.any_certificate)
            return {0, true, signed_by + ", but its certificate is not trusted: " + check.reason +
                                 (options.trusted.empty() ? " (trust one with --ca FILE)" : "")};
        [[fallthrough]];  // intact, and that is all the builder asks
    case SignatureVerdict::VERIFIES:
        return {0, false, signed_by + "; the signature verifies", true};
    case SignatureVerdict::ALTERED:
        return {0, true, signed_by + ", but the file was changed after signing"};
    case SignatureVerdict::DAMAGED:
        return {0, true, signed_by + ", but the signature does not verify"};
    case SignatureVerdict::NO_VERIFIER:
        break;
    }
    return {0, false, program + " is signed, but cannot be verified here: " + check.reason};
}

// A one-file medium: its archive read whole into a scratch directory and
// checked there as a directory medium, and the program signed as a whole.
std::vector<Diagnostic> CheckOneFileMedium(const fs::path &file, const CheckOptions &options)
{
    std::error_code error;
    fs::path scratch = fs::temp_directory_path(error) / ("mkmedia-check-" + std::to_string(getpid()));
    fs::remove_all(scratch, error);
    std::vector<Diagnostic> found;
    if (!fs::create_directory(scratch, error)) {
        found.push_back({0, true, "cannot make the scratch directory " + scratch.string()});
        return found;
    }
    found = UnpackOneFile(file, scratch);
    if (!HasErrors(found)) {
        std::vector<Diagnostic> inside = CheckMedium(scratch, options);
        found.insert(found.end(), inside.begin(), inside.end());
    }
    fs::remove_all(scratch, error);
    found.push_back(SignatureDiagnostic(file, file.filename().string(), options));
    return found;
}

}  // namespace

std::vector<Diagnostic> CheckMedium(const fs::path &top, const CheckOptions &options)
{
    std::error_code error;
    if (fs::is_regular_file(top, error))
        return CheckOneFileMedium(top, options);
    std::vector<Diagnostic> found;
    NameFinder finder;
    fs::path script_path = finder.Find(top, "setup.inf");
    if (script_path.empty())
        script_path = finder.Find(top, "DISK1/setup.inf");
    std::string bytes;
    if (script_path.empty() || !ReadWholeFile(script_path, bytes)) {
        found.push_back({0, true, "no readable setup.inf in " + top.string()});
        return found;
    }
    Script script = ReadScript(bytes);
    ScanAsTheInstaller(script);
    found = CheckSource(script, true);
    AddUnlessSaid(found, script.diagnostics);
    MediumKind kind = ScriptKind(script);
    if (ScriptDirectory(top, kind) != script_path.parent_path())
        found.push_back({0, true, "setup.inf is not where a medium of its image kind keeps it"});
    std::vector<fs::path> programs;
    for (const char *program : kProgramFiles) {
        fs::path path = finder.Find(script_path.parent_path(), program);
        programs.push_back(path);
        if (path.empty())
            found.push_back({0, true, std::string(program) + " is missing beside setup.inf"});
        else
            found.push_back(SignatureDiagnostic(path, program, options));
    }
    std::vector<Diagnostic> strangers = CheckProgramFiles(programs);
    found.insert(found.end(), strangers.begin(), strangers.end());
    FindBanner(script, script_path.parent_path(), finder, found);

    bool compressed = ScriptCompressed(script);
    std::map<std::string, Payload> judged;  // by the file's path
    std::set<int> markers_checked;
    unsigned long totals[MAX_FILE_SETS] = {};
    std::vector<std::set<std::string>> installed(MAX_FILE_SETS);
    int disk = 1;
    struct file_record record = {}, next_record = {};  // a file's record stands just before it
    for (const ScriptLine &line : script.lines) {
        record = next_record;
        TakeFileRecord(line.text.c_str() + std::min(line.text.size(), line.text.find_first_not_of(" \t")),
                       &next_record);
        int set = line.set < MAX_FILE_SETS ? line.set : MAX_FILE_SETS - 1;
        if (line.kind == LineKind::CHANGEDISK)
            disk = line.disk;
        if (line.kind == LineKind::END && line.in_block && line.has_figure && line.figure < totals[set]) {
            found.push_back({line.number, true, "END " + std::to_string(line.figure) + " is smaller than the " +
                                                    std::to_string(totals[set]) + " bytes the file set installs"});
        }
        if (line.kind != LineKind::FILE)
            continue;
        installed[set].insert(Installed(line.destination));
        if (kind == MediumKind::FLOPPY && markers_checked.insert(disk).second &&
            finder.Find(top, "DISK" + std::to_string(disk) + "/DISKID" + std::to_string(disk)).empty()) {
            found.push_back({line.number, true, "disk " + std::to_string(disk) + " has no marker file " +
                                                    Shown(MarkerFile(top, disk).parent_path(), top,
                                                          MarkerFile(top, disk).filename().string())});
        }
        fs::path directory = FilesDirectory(top, kind, disk);
        fs::path path = finder.Find(directory, line.source);
        if (path.empty()) {
            int other = kind == MediumKind::SINGLE ? 0 : DiskHolding(finder, top, kind, line.source, disk);
            std::string text = other != 0 ? "'" + line.source + "' is on disk " + std::to_string(other) +
                                                ", but the script takes it from disk " + std::to_string(disk)
                                          : "'" + line.source + "' is not on the medium (" +
                                                Shown(directory, top, line.source) + ")";
            found.push_back({line.number, true, text});
            continue;
        }
        auto known = judged.find(path.string());
        if (known == judged.end())
            known = judged.emplace(path.string(), Judge(path, compressed)).first;
        const Payload &payload = known->second;
        if (!payload.readable)
            found.push_back({line.number, true, "'" + line.source + "' cannot be read"});
        else if (payload.result != LZ_DONE)
            found.push_back({line.number, true, "'" + line.source + "' is damaged: " + LzResultText(payload.result)});
        else if (record.present && (record.length != payload.installed || record.crc != payload.crc))
            found.push_back({line.number, true, "'" + line.source + "' is damaged: it gives " + Summed(payload.installed, payload.crc) +
                                                    ", setup.inf records " + Summed(record.length, record.crc)});
        totals[set] += payload.installed;
    }
    std::vector<Diagnostic> directories = CheckPartDirectories(script);
    found.insert(found.end(), directories.begin(), directories.end());
    // A set's header lines may stand before its body.
    for (const ScriptLine &line : script.lines) {
        int set = line.set < MAX_FILE_SETS ? line.set : MAX_FILE_SETS - 1;
        if (line.kind == LineKind::APPITEM && !line.system_program && !line.destination.empty() &&
            !installed[set].count(Installed(line.destination))) {
            found.push_back({line.number, true, "the shortcut's program " + line.destination +
                                                    " is not installed by its file set"});
        }
    }
    return found;
}
