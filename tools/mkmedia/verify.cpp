// verify.cpp - what a medium installs, held against what it should: every
// file of every set at its destination with the product's bytes, and every
// set's VersionInfo key with the values its script gives.
#include "verify.h"

#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <fstream>
#include <map>

#include "lz_expand.h"
#include "medium.h"
#include "one_file.h"
#include "throwaway_prefix.h"

namespace {

const char kDrive[] = "R:";
const int kInstallSeconds = 900;

struct ExpectedFile {
    std::string destination;  // below the destination directory, as the script writes it
    std::string product_name;
    fs::path product;  // empty when the product tree lacks it
    int line = 0;
    size_t set = 0;
};

struct Expectation {
    std::map<std::string, ExpectedFile> files;  // folded destination -> what it must hold
    std::map<std::string, std::map<std::string, std::string>> keys;  // key path -> values
    std::vector<std::string> key_of_set;  // by set
    std::vector<bool> selected;           // by set: ticked in the custom step at first
    std::vector<std::string> set_names;
    std::string first_group;  // the program group of the first set, empty if none
};

class Verifier {
public:
    Verifier(const fs::path &medium, const fs::path &from, const CheckOptions &check, bool quiet)
        : medium_(medium), from_(from), check_(check), quiet_(quiet)
    {
    }
    int Run();

private:
    void Expect();
    std::string Answers(size_t only) const;
    bool Install(Family family);
    bool InstallOnce(Family family, const fs::path &drive, size_t only, const char *label);
    void CompareFiles(const fs::path &usr, const char *label, size_t only);
    void CompareKeys(const char *label, size_t only);
    void Differs(const char *label, const std::string &text);
    void Progress(const std::string &text) const;
    std::string Shown() const { return (one_file_.empty() ? medium_ : one_file_).string(); }

    fs::path medium_, from_;
    fs::path one_file_;  // a one-file medium, run as it stands; medium_ then holds its archive unpacked
    const CheckOptions &check_;
    bool quiet_;
    MediumKind kind_ = MediumKind::SINGLE;
    Expectation expected_;
    ThrowawayPrefix prefix_;
    int differences_ = 0;
};

void Verifier::Progress(const std::string &text) const
{
    if (!quiet_)
        fprintf(stderr, "mkmedia: verify: %s\n", text.c_str());
}

void Verifier::Differs(const char *label, const std::string &text)
{
    printf("%s: %s\n", label, text.c_str());
    differences_++;
}

// The product's name of a compressed file: its header keeps the letter the
// medium's name replaced.
std::string ProductName(const std::string &source, const fs::path &on_medium, bool compressed)
{
    std::string name = source;
    char header[10] = {};
    if (compressed && std::ifstream(on_medium, std::ios::binary).read(header, sizeof header) &&
        memcmp(header, LZ_SIGNATURE, sizeof LZ_SIGNATURE) == 0 && header[9] != '\0' && !name.empty())
        name.back() = header[9];
    return name;
}

// A destination below the destination directory: its drive is dropped, as
// the installer does.
std::string BelowDestination(const std::string &destination)
{
    std::string below = destination.size() >= 2 && destination[1] == ':' ? destination.substr(2) : destination;
    return below.substr(std::min(below.find_first_not_of("\\/"), below.size()));
}

void Verifier::Expect()
{
    NameFinder finder;
    fs::path script_path = finder.Find(medium_, "setup.inf");
    if (script_path.empty())
        script_path = finder.Find(medium_, "DISK1/setup.inf");
    std::string bytes;
    ReadWholeFile(script_path, bytes);
    Script script = ReadScript(bytes);
    ScannedScript scanned;
    ScanAsTheInstaller(script, &scanned);
    kind_ = ScriptKind(script);
    bool compressed = ScriptCompressed(script);

    int disk = 1;
    for (const ScriptLine &line : script.lines) {
        if (line.kind == LineKind::CHANGEDISK)
            disk = line.disk;
        // The set-up set is never installed.
        if (line.kind != LineKind::FILE || line.set < 1 || static_cast<size_t>(line.set) >= scanned.sets.size())
            continue;
        ExpectedFile file;
        file.destination = BelowDestination(line.destination);
        file.product_name = ProductName(line.source, finder.Find(FilesDirectory(medium_, kind_, disk), line.source),
                                        compressed);
        file.product = finder.Find(from_, file.product_name);
        file.line = line.number;
        file.set = static_cast<size_t>(line.set);
        expected_.files[FoldName(file.destination)] = file;
    }

    std::string destination = std::string(kDrive) + "\\usr";
    expected_.key_of_set.resize(scanned.sets.size());
    expected_.selected.resize(scanned.sets.size());
    for (size_t i = 1; i < scanned.sets.size(); i++) {
        const ScannedSet &set = scanned.sets[i];
        // Sets of one company and software share a key; the last one written wins.
        std::string key = "Software\\" + scanned.company + "\\" + set.software + "\\VersionInfo";
        expected_.keys[key] = {
            {"FileSetName", set.name},       {"SoftwareType", "application"}, {"MajorVersion", set.major},
            {"MinorVersion", set.minor},     {"SubRelease", set.release},     {"CpuPlatform", set.cpu},
            {"SerialNumber", "0x0"},         {"DestinationPath", destination},
        };
        expected_.key_of_set[i] = key;
        expected_.selected[i] = set.selected;
        expected_.set_names.push_back(set.name);
        if (i == 1)
            expected_.first_group = set.software;
    }
}

// The answers of a custom installation of every set (only 0) or of set
// only alone: each set whose tick is not as wanted is clicked.
std::string Verifier::Answers(size_t only) const
{
    std::string answers = "dialog 100 CONTINUE\ndialog 300 CONTINUE EditTextOut=" + std::string(kDrive) +
                          "\ndialog 800 CONTINUE ButtonChecked=2\n";
    for (size_t i = 1; i < expected_.selected.size(); i++) {
        if (expected_.selected[i] != (only == 0 || only == i))
            answers += "dialog 6200 CHK" + std::to_string(i) + "\n";
    }
    return answers + "dialog 6200 CONTINUE\ndialog 700 CONTINUE\n";
}

// Where two files first differ, or a text on their sizes.
std::string FirstDifference(const fs::path &installed, const fs::path &product)
{
    std::ifstream a(installed, std::ios::binary), b(product, std::ios::binary);
    if (!a || !b)
        return !a ? "cannot be read" : "the product's file cannot be read";
    std::vector<char> x(1 << 16), y(1 << 16);
    unsigned long long at = 0;
    for (;;) {
        a.read(x.data(), static_cast<std::streamsize>(x.size()));
        b.read(y.data(), static_cast<std::streamsize>(y.size()));
        size_t got_a = static_cast<size_t>(a.gcount()), got_b = static_cast<size_t>(b.gcount());
        size_t common = std::min(got_a, got_b);
        for (size_t i = 0; i < common; i++) {
            if (x[i] != y[i])
                return "differs from byte " + std::to_string(at + i) + " on";
        }
        if (got_a != got_b) {
            std::error_code error;
            return "has " + std::to_string(fs::file_size(installed, error)) + " bytes, the product's " +
                   std::to_string(fs::file_size(product, error));
        }
        if (got_a == 0)
            return "";
        at += got_a;
    }
}

void Verifier::CompareFiles(const fs::path &usr, const char *label, size_t only)
{
    NameFinder finder;
    size_t equal = 0, all = 0;
    for (const auto &entry : expected_.files) {
        const ExpectedFile &file = entry.second;
        if (only != 0 && file.set != only)
            continue;
        all++;
        std::string shown = std::string(kDrive) + "\\usr\\" + file.destination + " (setup.inf:" +
                            std::to_string(file.line) + ", the product's " + file.product_name + ")";
        fs::path installed = finder.Find(usr, file.destination);
        if (file.product.empty()) {
            Differs(label, shown + ": the product tree " + from_.string() + " has no such file");
        } else if (installed.empty() || !fs::is_regular_file(installed)) {
            Differs(label, shown + ": not installed");
        } else {
            std::string difference = FirstDifference(installed, file.product);
            if (difference.empty())
                equal++;
            else
                Differs(label, shown + ": " + difference);
        }
    }
    printf("%s: %zu of %zu files equal to the product's\n", label, equal, all);
}

// The values of a key as `reg query` lists them: NAME, type, data.
std::map<std::string, std::string> ReadValues(const fs::path &listing)
{
    std::map<std::string, std::string> values;
    std::ifstream in(listing);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        size_t type = line.find("    REG_");
        if (line.compare(0, 4, "    ") != 0 || type == std::string::npos)
            continue;
        size_t data = line.find("    ", type + 4);
        values[line.substr(4, type - 4)] = data == std::string::npos ? "" : line.substr(data + 4);
    }
    return values;
}

void Verifier::CompareKeys(const char *label, size_t only)
{
    size_t good = 0, all = 0;
    for (const auto &key : expected_.keys) {
        if (ThrowawayPrefix::Interrupted())
            return;
        if (only != 0 && key.first != expected_.key_of_set[only])
            continue;
        all++;
        std::string name = "HKLM\\" + key.first;
        fs::path listing = prefix_.Scratch() / "key.txt";
        std::error_code error;
        fs::remove(listing, error);
        if (prefix_.Wine({"reg", "query", name}, prefix_.Scratch(), listing, 120) != 0) {
            Differs(label, name + ": not registered");
            continue;
        }
        std::map<std::string, std::string> values = ReadValues(listing);
        bool same = true;
        for (const auto &value : key.second) {
            auto found = values.find(value.first);
            if (found == values.end() || found->second != value.second) {
                same = false;
                Differs(label, name + ": " + value.first + " is " +
                                   (found == values.end() ? "missing" : "\"" + found->second + "\"") +
                                   ", the script gives \"" + value.second + "\"");
            }
        }
        for (const char *stamp : {"InstallDate", "InstallTime"}) {
            if (values[stamp].empty()) {
                same = false;
                Differs(label, name + ": " + stamp + " is missing");
            }
        }
        good += same;
        // The next family is judged on keys of its own.
        prefix_.Wine({"reg", "delete", name, "/f"}, prefix_.Scratch(), prefix_.Scratch() / "reg.log", 120);
    }
    printf("%s: %zu of %zu keys registered as the script says\n", label, good, all);
}

// Installs every set, then each set alone when there are several, on a
// drive R: emptied before each run.
bool Verifier::Install(Family family)
{
    std::string error;
    fs::path drive;
    const char *family_label = family == Family::WIN95 ? "w95" : "nt";
    const char *shown = family == Family::WIN95 ? "the 95 family" : "the NT family";
    if (!prefix_.Become(family, drive, error)) {
        fprintf(stderr, "mkmedia: verify: %s\n", error.c_str());
        return false;
    }
    size_t sets = expected_.selected.size();
    for (size_t only = 0; only < sets && (only == 0 || sets > 2); only++) {
        std::string label = family_label;
        if (only != 0)
            label += ", \"" + expected_.set_names[only - 1] + "\" alone";
        Progress(std::string("installing ") + (only == 0 ? "every part" : "one part") + " as " + shown);
        if (!InstallOnce(family, drive, only, label.c_str()))
            return false;
    }
    return true;
}

bool Verifier::InstallOnce(Family family, const fs::path &drive, size_t only, const char *label)
{
    std::error_code failed;
    for (fs::directory_iterator entry(drive, failed), end; !failed && entry != end; entry.increment(failed))
        fs::remove_all(entry->path(), failed);
    fs::path scratch = prefix_.Scratch();
    std::ofstream(scratch / "answers") << Answers(only);
    fs::path transcript = scratch / (std::string(family == Family::WIN95 ? "w95" : "nt") + ".transcript");
    fs::remove(transcript, failed);
    fs::path start = one_file_.empty() ? ScriptDirectory(medium_, kind_) : one_file_.parent_path();
    fs::path program = one_file_.empty() ? start / "setup.exe" : one_file_;
    int status = prefix_.Wine({WindowsPath(program), "/a", WindowsPath(scratch / "answers"), "/t",
                               WindowsPath(transcript)},
                              start, scratch / "setup.log", kInstallSeconds);
    if (ThrowawayPrefix::Interrupted())
        return false;
    if (status != 0) {
        std::ifstream in(transcript);
        std::string line, last;
        while (std::getline(in, line))
            last = line.empty() ? last : line;
        Differs(label, "setup.exe did not finish the installation (exit code " + std::to_string(status) +
                           (last.empty() ? "" : ", its last step: " + last) + ")");
        return true;
    }
    // Proof that the run had the family asked for: each keeps its groups elsewhere.
    NameFinder finder;
    if (only == 0 && !expected_.first_group.empty() &&
        finder.Find(prefix_.ProgramGroups(family), expected_.first_group).empty()) {
        Differs(label, "setup.exe did not run as this family: no program group " + expected_.first_group + " in " +
                           prefix_.ProgramGroups(family).string());
    }
    Progress(std::string("comparing what it installed as ") + label);
    CompareFiles(drive / "usr", label, only);
    CompareKeys(label, only);
    return !ThrowawayPrefix::Interrupted();
}

int Verifier::Run()
{
    std::vector<Diagnostic> found = CheckMedium(medium_, check_);
    if (HasErrors(found)) {
        PrintDiagnostics(found, "setup.inf");
        fprintf(stderr, "mkmedia: verify: %s fails mkmedia check; mend it first\n", medium_.string().c_str());
        return 1;
    }
    if (FindOnPath("wine").empty() || FindOnPath("wineserver").empty()) {
        fprintf(stderr, "mkmedia: verify needs Wine: no wine%s on PATH\n",
                FindOnPath("wine").empty() ? "" : "server");
        return 2;
    }
    const char *display = getenv("DISPLAY");
    if (display == NULL || *display == '\0') {
        fprintf(stderr, "mkmedia: verify needs an X display for setup.exe (run it under xvfb-run -a)\n");
        return 2;
    }
    std::string error;
    Progress("making a throwaway Wine prefix in " + prefix_.Scratch().string());
    if (!prefix_.Create(error)) {
        fprintf(stderr, "mkmedia: verify: %s\n", error.c_str());
        return ThrowawayPrefix::Interrupted() ? 128 + ThrowawayPrefix::Signal() : 2;
    }
    // What a one-file medium should install is read from its archive.
    std::error_code failed;
    if (fs::is_regular_file(medium_, failed)) {
        one_file_ = fs::absolute(medium_);
        medium_ = prefix_.Scratch() / "one-file";
        fs::create_directory(medium_, failed);
        if (HasErrors(UnpackOneFile(one_file_, medium_)))
            return 2;
    }
    Expect();
    bool ran = Install(Family::NT) && Install(Family::WIN95);
    if (ThrowawayPrefix::Interrupted()) {
        fprintf(stderr, "mkmedia: verify: interrupted\n");
        return 128 + ThrowawayPrefix::Signal();
    }
    if (!ran)
        return 2;
    if (differences_ != 0) {
        printf("%s: %d difference(s) from the product\n", Shown().c_str(), differences_);
        return 1;
    }
    printf("%s: installs the product tree %s, every part together and each alone, on the NT family and on the "
           "95 family\n", Shown().c_str(),
           from_.string().c_str());
    return 0;
}

}  // namespace

int VerifyMedium(const fs::path &medium, const fs::path &from, const CheckOptions &check, bool quiet)
{
    return Verifier(medium, from, check, quiet).Run();
}
