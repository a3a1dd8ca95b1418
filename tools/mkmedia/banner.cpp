// banner.cpp - the banner picture: there, a bitmap Windows shows, of a size
// that fits above the dialogs (the installer's own limits).
#include "banner.h"

#include "script/script_checks.h"

namespace {

// The bracket value of a BANNER line standing before the first FILESET
// line, where the installer reads it; false for any other line. A line
// without its brackets the scan has refused already.
bool BannerName(const ScriptLine &line, std::string &name)
{
    size_t start = line.text.find_first_not_of(" \t");
    if (start == std::string::npos || line.text.compare(start, 6, "BANNER") != 0)
        return false;
    size_t open = line.text.find('[', start), close = line.text.find(']', open);
    if (open == std::string::npos || close == std::string::npos)
        return false;
    name = line.text.substr(open + 1, close - open - 1);
    return true;
}

}  // namespace

Banner FindBanner(const Script &script, const fs::path &dir, NameFinder &finder, std::vector<Diagnostic> &found)
{
    Banner banner;
    for (const ScriptLine &line : script.lines) {
        if (line.kind == LineKind::FILESET)
            break;
        if (BannerName(line, banner.name))
            banner.line = line.number;
    }
    if (banner.line == 0 || BannerFileFault(banner.name.c_str()) != nullptr)
        return Banner();
    banner.path = finder.Find(dir, banner.name);
    std::string bytes;
    const char *fault = nullptr;
    long width = 0, height = 0;
    std::error_code error;
    std::string missing = "it is not in " + dir.string();
    if (banner.path.empty())
        fault = missing.c_str();
    else if (fs::file_size(banner.path, error) > BANNER_MAX_BYTES)
        fault = "the banner is larger than 1 MB";
    else if (!ReadWholeFile(banner.path, bytes))
        fault = "it cannot be read";
    else
        fault = BannerBitmapFault(reinterpret_cast<const unsigned char *>(bytes.data()), bytes.size(), &width,
                                  &height);
    if (fault != nullptr) {
        found.push_back({banner.line, true, "the banner " + banner.name + " cannot be shown: " + fault});
        return Banner();
    }
    return banner;
}
