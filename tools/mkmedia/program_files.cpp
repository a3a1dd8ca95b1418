// program_files.cpp - a PE file read as far as a medium's check needs: its
// sections, its exports, its imports and its version resource. Every
// offset is checked against the file's bytes before it is followed.
#include "program_files.h"

#include <stdint.h>
#include <string.h>

#include <map>
#include <set>

namespace {

// The dialog procedures the installer asks the dialog library for by name.
const char *const kDialogProcedures[] = {"FCustInstDlgProc", "FEditDlgProc", "FHelpDlgProc", "FInfo0DlgProc",
                                         "FInfoDlgProc",     "FQuitDlgProc", "FRadioDlgProc"};
const uint16_t kMachineI386 = 0x14c, kMagicPe32 = 0x10b, kDllFlag = 0x2000;
const uint32_t kVersionResource = 16;

struct Section {
    uint32_t address, virtual_size, offset, size;
};

class PeFile {
public:
    bool Read(const fs::path &path);
    bool IsDll() const { return dll_; }
    std::set<std::string> Exports() const;
    std::map<std::string, std::set<std::string>> Imports() const;  // folded library name -> function names
    std::string VersionValue(const char *key) const;

private:
    bool U16(uint64_t at, uint32_t &value) const;
    bool U32(uint64_t at, uint32_t &value) const;
    bool Offset(uint32_t rva, uint64_t &offset) const;  // in the file, of an address of the image
    std::string Text(uint32_t rva) const;                // a C string at an address
    bool Directory(int index, uint64_t &offset, uint32_t &size) const;
    bool ResourceEntry(uint64_t root, uint64_t directory, uint32_t id, uint64_t &entry) const;

    std::string bytes_;
    std::vector<Section> sections_;
    uint64_t directories_ = 0;
    uint32_t directory_count_ = 0;
    bool dll_ = false;
};

bool PeFile::U16(uint64_t at, uint32_t &value) const
{
    if (at + 2 > bytes_.size())
        return false;
    value = static_cast<uint8_t>(bytes_[at]) | static_cast<uint8_t>(bytes_[at + 1]) << 8;
    return true;
}

bool PeFile::U32(uint64_t at, uint32_t &value) const
{
    uint32_t low, high;
    if (!U16(at, low) || !U16(at + 2, high))
        return false;
    value = low | high << 16;
    return true;
}

bool PeFile::Read(const fs::path &path)
{
    uint32_t header, signature, machine, count, optional_size, flags, magic;
    if (!ReadWholeFile(path, bytes_) || bytes_.compare(0, 2, "MZ") != 0 || !U32(0x3c, header) ||
        !U32(header, signature) || signature != 0x4550 || !U16(header + 4, machine) || machine != kMachineI386 ||
        !U16(header + 6, count) || !U16(header + 20, optional_size) || !U16(header + 22, flags) ||
        !U16(header + 24, magic) || magic != kMagicPe32 || !U32(header + 24 + 92, directory_count_))
        return false;
    dll_ = (flags & kDllFlag) != 0;
    directories_ = header + 24 + 96;
    uint64_t table = header + 24 + optional_size;
    for (uint32_t i = 0; i < count; i++) {
        Section section;
        uint64_t at = table + 40ull * i;
        if (!U32(at + 8, section.virtual_size) || !U32(at + 12, section.address) || !U32(at + 16, section.size) ||
            !U32(at + 20, section.offset))
            return false;
        // Whole: every section's bytes are in the file.
        if (section.size != 0 && static_cast<uint64_t>(section.offset) + section.size > bytes_.size())
            return false;
        sections_.push_back(section);
    }
    return true;
}

bool PeFile::Offset(uint32_t rva, uint64_t &offset) const
{
    for (const Section &section : sections_) {
        if (rva >= section.address && rva - section.address < section.size) {
            offset = static_cast<uint64_t>(section.offset) + (rva - section.address);
            return true;
        }
    }
    return false;
}

std::string PeFile::Text(uint32_t rva) const
{
    uint64_t at;
    if (!Offset(rva, at))
        return "";
    size_t end = bytes_.find('\0', at);
    return end == std::string::npos ? "" : bytes_.substr(at, end - at);
}

bool PeFile::Directory(int index, uint64_t &offset, uint32_t &size) const
{
    uint32_t rva;
    return static_cast<uint32_t>(index) < directory_count_ && U32(directories_ + 8ull * index, rva) &&
           U32(directories_ + 8ull * index + 4, size) && rva != 0 && Offset(rva, offset);
}

std::set<std::string> PeFile::Exports() const
{
    std::set<std::string> names;
    uint64_t at;
    uint32_t size, count, table;
    if (!Directory(0, at, size) || !U32(at + 24, count) || !U32(at + 32, table))
        return names;
    uint64_t table_at;
    for (uint32_t i = 0; i < count && Offset(table, table_at); i++) {
        uint32_t name;
        if (!U32(table_at + 4ull * i, name))
            break;
        names.insert(Text(name));
    }
    return names;
}

std::map<std::string, std::set<std::string>> PeFile::Imports() const
{
    std::map<std::string, std::set<std::string>> imports;
    uint64_t at;
    uint32_t size;
    if (!Directory(1, at, size))
        return imports;
    for (uint64_t entry = at;; entry += 20) {
        uint32_t lookup, name, thunks;
        if (!U32(entry, lookup) || !U32(entry + 12, name) || !U32(entry + 16, thunks) || name == 0)
            break;
        std::set<std::string> &functions = imports[FoldName(Text(name))];
        uint64_t thunk_at;
        if (!Offset(lookup != 0 ? lookup : thunks, thunk_at))
            continue;
        for (uint32_t thunk; U32(thunk_at, thunk) && thunk != 0; thunk_at += 4) {
            if ((thunk & 0x80000000u) == 0)
                functions.insert(Text(thunk + 2));  // past the hint
        }
    }
    return imports;
}

// The entry of id in a resource directory, or the first entry when id is 0.
bool PeFile::ResourceEntry(uint64_t root, uint64_t directory, uint32_t id, uint64_t &entry) const
{
    uint32_t named, ids;
    if (!U16(directory + 12, named) || !U16(directory + 14, ids))
        return false;
    for (uint32_t i = 0; i < named + ids; i++) {
        uint32_t name, target;
        if (!U32(directory + 16 + 8ull * i, name) || !U32(directory + 20 + 8ull * i, target))
            return false;
        if (id == 0 || name == id) {
            entry = root + (target & 0x7fffffffu);
            return true;
        }
    }
    return false;
}

// A value of the version resource's string table, read as ASCII.
std::string PeFile::VersionValue(const char *key) const
{
    uint64_t root, type, name, language;
    uint32_t size, data_rva, data_size;
    uint64_t data;
    if (!Directory(2, root, size) || !ResourceEntry(root, root, kVersionResource, type) ||
        !ResourceEntry(root, type, 0, name) || !ResourceEntry(root, name, 0, language) || !U32(language, data_rva) ||
        !U32(language + 4, data_size) || !Offset(data_rva, data) || data + data_size > bytes_.size())
        return "";
    std::string wide_key;
    for (const char *p = key; *p != '\0'; p++)
        wide_key += std::string(1, *p) + '\0';
    wide_key += std::string(2, '\0');
    std::string block = bytes_.substr(data, data_size);
    size_t found = block.find(wide_key);
    if (found == std::string::npos)
        return "";
    std::string value;
    for (size_t at = (found + wide_key.size() + 3) & ~size_t{3}; at + 1 < block.size() && block[at] != '\0'; at += 2)
        value += block[at];
    return value;
}

}  // namespace

std::vector<Diagnostic> CheckProgramFiles(const std::vector<fs::path> &programs)
{
    std::vector<Diagnostic> found;
    std::vector<PeFile> files(programs.size());
    std::vector<bool> read(programs.size());
    for (size_t i = 0; i < programs.size(); i++) {
        if (programs[i].empty())
            continue;
        read[i] = files[i].Read(programs[i]) && files[i].IsDll() == (i != 0);
        if (!read[i])
            found.push_back({0, true, std::string(kProgramFiles[i]) + " is no whole 32-bit Windows " +
                                          (i == 0 ? "program" : "library") + " (cut short, empty or another file)"});
    }
    if (read[0] && FoldName(files[0].VersionValue("OriginalFilename")) != kProgramFiles[0])
        found.push_back({0, true, "setup.exe is another program: its version resource does not name it setup.exe"});
    // What the installer and the libraries call in one another, by name.
    std::map<std::string, std::set<std::string>> needed;
    needed[kProgramFiles[2]].insert(std::begin(kDialogProcedures), std::end(kDialogProcedures));
    for (size_t i = 0; i < programs.size(); i++) {
        for (const auto &library : read[i] ? files[i].Imports() : std::map<std::string, std::set<std::string>>())
            needed[library.first].insert(library.second.begin(), library.second.end());
    }
    for (size_t i = 1; i < programs.size(); i++) {
        if (!read[i])
            continue;
        std::set<std::string> exports = files[i].Exports();
        for (const std::string &function : needed[kProgramFiles[i]]) {
            if (!exports.count(function)) {
                found.push_back({0, true, std::string(kProgramFiles[i]) + " lacks " + function +
                                              ", which the installer calls: it is not this product's"});
                break;
            }
        }
    }
    return found;
}
