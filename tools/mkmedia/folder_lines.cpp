// folder_lines.cpp - the D and F lines of a folder, written by the builder
// so that a vendor with many files names none of them by hand.
#include "folder_lines.h"

#include <algorithm>

namespace {

const char kFolderKeyword[] = "FOLDER";

struct Expansion {
    std::string indent;  // the FOLDER line's own
    int number;          // the FOLDER line
    std::string &text;
    std::vector<int> &origin;
    std::vector<Diagnostic> &found;

    void Add(const std::string &line)
    {
        text += indent + line + "\n";
        origin.push_back(number);
    }
    void Fail(const std::string &why) { found.push_back({number, true, why}); }
};

std::string Joined(const std::string &base, const std::string &name)
{
    return base.empty() || base == "." ? name : base + "\\" + name;
}

// The folder's entries in order, its files before its subfolders.
void Walk(Expansion &out, const fs::path &folder, const std::string &source, const std::string &destination)
{
    std::vector<std::pair<bool, std::string>> entries;  // (is a folder, name)
    std::error_code error;
    for (fs::directory_iterator entry(folder, error), end; !error && entry != end; entry.increment(error)) {
        std::string name = entry->path().filename().string();
        fs::file_status status = entry->symlink_status(error);
        if (name.find_first_of(" \t") != std::string::npos)
            out.Fail("'" + Joined(source, name) + "' holds a blank, which the script cannot carry: rename it");
        else if (fs::is_directory(status))
            entries.push_back({true, name});
        else if (fs::is_regular_file(entry->status(error)))
            entries.push_back({false, name});
        else
            out.Fail("'" + Joined(source, name) + "' is neither a file nor a folder the medium can take");
    }
    if (error)
        out.Fail("cannot read the folder " + folder.string() + ": " + error.message());
    std::sort(entries.begin(), entries.end());
    if (destination != ".")
        out.Add("D " + destination);
    for (const auto &entry : entries) {
        if (entry.first)
            Walk(out, folder / entry.second, Joined(source, entry.second), Joined(destination, entry.second));
        else
            out.Add("F " + Joined(source, entry.second) + " " + Joined(destination, entry.second));
    }
}

}  // namespace

bool ExpandFolders(const Script &script, const fs::path &product_tree, std::string &text, std::vector<int> &origin,
                   std::vector<Diagnostic> &found)
{
    size_t errors = found.size();
    origin.assign(1, 0);
    text.clear();
    NameFinder finder;
    for (const ScriptLine &line : script.lines) {
        size_t start = line.text.find_first_not_of(" \t");
        if (start == std::string::npos || line.text.compare(start, sizeof kFolderKeyword - 1, kFolderKeyword) != 0 ||
            (line.text.size() > start + 6 && line.text[start + 6] != ' ' && line.text[start + 6] != '\t')) {
            text += line.text + "\n";
            origin.push_back(line.number);
            continue;
        }
        std::vector<std::string> words;
        for (size_t at = start + 6; (at = line.text.find_first_not_of(" \t", at)) != std::string::npos;) {
            size_t end = std::min(line.text.find_first_of(" \t", at), line.text.size());
            words.push_back(line.text.substr(at, end - at));
            at = end;
        }
        Expansion out{line.text.substr(0, start), line.number, text, origin, found};
        fs::path folder = words.size() == 2 ? finder.Find(product_tree, words[0]) : fs::path();
        std::error_code error;
        if (words.size() == 2 && (folder.empty() || !fs::is_directory(folder, error)))
            out.Fail("'" + words[0] + "' is no folder of the product tree " + product_tree.string());
        else if (words.size() == 2)
            Walk(out, folder, words[0], words[1]);
    }
    return found.size() == errors;
}
