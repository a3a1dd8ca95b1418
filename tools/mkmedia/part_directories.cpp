// part_directories.cpp - the installer makes a directory one level at a
// time and only by a part's own D lines: a part that relies on another's
// stops with "Unable to create dir" when it is installed alone.
#include "part_directories.h"

#include <algorithm>
#include <map>
#include <set>

#include "base/setup_info.h"

namespace {

// A destination as a folded path below the installation directory, its
// drive, empty parts and "." dropped; "/" between the parts.
std::string Below(const std::string &destination)
{
    bool drive = destination.size() >= 2 && destination[1] == ':';
    std::string folded = FoldName(drive ? destination.substr(2) : destination), path;
    for (size_t at = 0; at <= folded.size();) {
        size_t slash = std::min(folded.find('/', at), folded.size());
        std::string part = folded.substr(at, slash - at);
        if (!part.empty() && part != ".")
            path += (path.empty() ? "" : "/") + part;
        at = slash + 1;
    }
    return path;
}

std::string Parent(const std::string &path)
{
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string PartName(const std::string &fileset_line)
{
    size_t open = fileset_line.find('['), close = fileset_line.rfind(']');
    return open != std::string::npos && close != std::string::npos && close > open
               ? fileset_line.substr(open + 1, close - open - 1)
               : fileset_line;
}

}  // namespace

std::vector<Diagnostic> CheckPartDirectories(const Script &script)
{
    std::vector<std::string> parts;
    std::map<std::string, int> first_maker;  // directory -> the first part whose D line makes it
    for (const ScriptLine &line : script.lines) {
        if (line.kind == LineKind::FILESET)
            parts.push_back(PartName(line.text));
        if (line.kind == LineKind::DIRECTORY && line.set > 0)
            first_maker.emplace(Below(line.destination), line.set);
    }
    std::vector<Diagnostic> found;
    std::map<int, std::set<std::string>> made, told;  // by part
    for (const ScriptLine &line : script.lines) {
        if ((line.kind != LineKind::DIRECTORY && line.kind != LineKind::FILE) || line.set == 0)
            continue;
        std::string path = Below(line.destination), needed = Parent(path);
        if (!needed.empty() && !made[line.set].count(needed) && told[line.set].insert(needed).second) {
            auto maker = first_maker.find(needed);
            std::string shown = needed;
            for (char &ch : shown) {
                if (ch == '/')
                    ch = '\\';
            }
            std::string part = static_cast<size_t>(line.set) < parts.size() ? parts[line.set] : "";
            std::string text = "the part \"" + part + "\" needs the directory " + shown + ", which ";
            if (maker != first_maker.end() && maker->second != line.set)
                text += "only the part \"" + parts[maker->second] + "\" makes: installed alone, it stops";
            else
                text += "no line of the part makes before this one: the installer stops";
            found.push_back({line.number, true, text + " at this line; put \"D " + shown + "\" into its block first"});
        }
        if (line.kind == LineKind::DIRECTORY)
            made[line.set].insert(path);
    }
    return found;
}
