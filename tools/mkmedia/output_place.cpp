// output_place.cpp - a medium replaces nothing but an earlier medium: a
// vendor's documents, the product tree and its parents stay as they are.
#include "output_place.h"

#include <unistd.h>

#include <set>

fs::path OutputPlace(const fs::path &given)
{
    fs::path path = fs::absolute(given).lexically_normal();
    while (path.filename().empty() && path.has_relative_path())
        path = path.parent_path();
    return path;
}

namespace {

// Whether inner is outer or lies below it, symbolic links followed.
bool Within(const fs::path &inner, const fs::path &outer)
{
    std::error_code error;
    fs::path relative = fs::weakly_canonical(inner, error).lexically_relative(fs::weakly_canonical(outer, error));
    return !relative.empty() && *relative.begin() != "..";
}

// What is in directory that the record of an earlier medium does not
// list, or empty: such a file is the vendor's, not the build's.
std::string Unlisted(const fs::path &directory, const std::set<std::string> &listed)
{
    std::error_code error;
    for (fs::recursive_directory_iterator entry(directory, error), end; !error && entry != end; entry.increment(error)) {
        fs::file_status status = entry->symlink_status(error);
        if (error || fs::is_directory(status))
            continue;
        std::string name = entry->path().lexically_relative(directory).generic_string();
        if (!fs::is_regular_file(status) || !listed.count(name))
            return name;
    }
    return error ? "(" + error.message() + ")" : std::string();
}

std::string RefusalOfDirectory(const fs::path &output)
{
    std::error_code error;
    if (fs::is_empty(output, error) && !error)
        return "";
    std::set<std::string> listed;
    if (!ReadBuildRecordFiles(output, listed))
        return output.string() + " is a directory that holds files and is no medium of mkmedia (it has no record " +
               BuildRecord(output).string() + "): give a new or empty directory";
    std::string stranger = Unlisted(output, listed);
    if (!stranger.empty())
        return output.string() + " holds " + stranger + ", which mkmedia did not put there: move it away or give " +
               "another directory";
    return "";
}

}  // namespace

std::string OutputRefusal(const fs::path &output, const fs::path &product_tree, bool one_file)
{
    fs::path record = BuildRecord(output);
    if (Within(output, product_tree) || Within(record, product_tree))
        return "the medium " + output.string() + " would lie inside the product tree " + product_tree.string();
    if (Within(product_tree, output))
        return "the product tree " + product_tree.string() + " lies inside " + output.string() +
               ", which the medium would replace";
    std::error_code error;
    fs::file_status record_status = fs::symlink_status(record, error);
    if (fs::exists(record_status) && !IsBuildRecord(record))
        return record.string() + " is not mkmedia's record, and the medium's record takes that name: move it away";
    fs::file_status status = fs::symlink_status(output, error);
    if (!fs::exists(status))
        return "";
    if (fs::is_symlink(status))
        return output.string() + " is a symbolic link: give the " + (one_file ? "file" : "directory") + " itself";
    if (one_file) {
        if (!fs::is_regular_file(status) || !IsOneFileRecord(output))
            return output.string() + " exists and is no one-file medium of mkmedia (it has no record " +
                   record.string() + " that says so): give a new name";
        return "";
    }
    if (!fs::is_directory(status))
        return output.string() + " is a file, not a directory: give a new or empty directory";
    return RefusalOfDirectory(output);
}

fs::path FreeNameBeside(const fs::path &path, const char *what)
{
    std::error_code error;
    for (unsigned n = 0;; n++) {
        fs::path name = path.parent_path() / ("." + path.filename().string() + "." + what + "-" +
                                              std::to_string(getpid()) + "-" + std::to_string(n));
        if (!fs::exists(fs::symlink_status(name, error)))
            return name;
    }
}
