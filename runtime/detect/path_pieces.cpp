// path_pieces.cpp - FValidDir and FParsePathIntoPieces: the form of a full
// path, "C:\dir\file" or "\\server\share\dir\file".
#include <cstring>
#include <string>

#include "base/common.h"
#include "setuprt.h"

namespace rt {
namespace {

struct PathPieces {
    std::string volume;     // "C:" or "\\server\share"
    std::string directory;  // "\dir\sub\"
    std::string file;       // "file.txt", or "" after a trailing backslash
};

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// Characters Windows refuses in a name; the backslash separates names here.
// Only a single-byte character can be one of them: the trail byte of a
// double-byte character may look like '\' or '|'.
bool IsForbidden(const char *p) {
    unsigned char c = static_cast<unsigned char>(*p);
    return CharNextA(p) == p + 1 && (c < 0x20 || std::strchr("<>:\"/|?*", c) != nullptr);
}

// The end of the name that starts at p: the next backslash or the end of the
// text; null when the name holds a forbidden character.
const char *NameEnd(const char *p) {
    for (; *p; p = CharNextA(p)) {
        if (*p == '\\' && CharNextA(p) == p + 1) return p;
        if (IsForbidden(p)) return nullptr;
    }
    return p;
}

// The volume at the start of the path; the result points at what follows
// it, or is null when the path starts with neither form.
const char *SplitVolume(const char *path, std::string &volume) {
    if (IsLetter(path[0]) && path[1] == ':' && path[2] == '\\') {
        volume.assign(path, 2);
        return path + 2;
    }
    if (path[0] != '\\' || path[1] != '\\') return nullptr;
    const char *server = path + 2;
    const char *serverEnd = NameEnd(server);
    if (!serverEnd || serverEnd == server || !*serverEnd) return nullptr;
    const char *share = serverEnd + 1;
    const char *shareEnd = NameEnd(share);
    if (!shareEnd || shareEnd == share) return nullptr;
    volume.assign(path, shareEnd - path);
    return shareEnd;
}

// "\name\name\file": every name but the last must be there.
bool SplitRest(const char *rest, PathPieces &pieces) {
    if (!*rest) {
        pieces.directory = "\\";  // "\\server\share" alone is the share's root
        return true;
    }
    const char *fileStart = rest + 1;
    for (const char *name = rest + 1;; name = fileStart) {
        const char *end = NameEnd(name);
        if (!end) return false;
        if (!*end) break;
        if (end == name) return false;
        fileStart = end + 1;
    }
    pieces.directory.assign(rest, fileStart - rest);
    pieces.file = fileStart;
    return true;
}

bool SplitFullPath(const char *path, size_t longest, PathPieces &pieces) {
    if (!IsGiven(path) || std::strlen(path) > longest) return false;
    const char *rest = SplitVolume(path, pieces.volume);
    return rest && SplitRest(rest, pieces);
}

bool FitsIn(const std::string &piece, const char *buffer, unsigned size) {
    return !buffer || piece.size() < size;
}

void Empty(char *buffer, unsigned size) {
    if (buffer && size > 0) buffer[0] = '\0';
}

}  // namespace
}  // namespace rt

int FValidDir(const char *szDir) {
    rt::PathPieces pieces;
    return rt::SplitFullPath(szDir, MAX_PATH - 2, pieces) ? 1 : 0;
}

int FParsePathIntoPieces(const char *szPath, char *szVolume, unsigned cbVolume, char *szPath2, unsigned cbPath,
                         char *szFile, unsigned cbFile) {
    rt::PathPieces pieces;
    bool fits = rt::SplitFullPath(szPath, MAX_PATH - 1, pieces) && rt::FitsIn(pieces.volume, szVolume, cbVolume) &&
                rt::FitsIn(pieces.directory, szPath2, cbPath) && rt::FitsIn(pieces.file, szFile, cbFile);
    if (!fits) {
        rt::Empty(szVolume, cbVolume);
        rt::Empty(szPath2, cbPath);
        rt::Empty(szFile, cbFile);
        return 0;
    }
    rt::CopyResult(pieces.volume, szVolume, cbVolume);
    rt::CopyResult(pieces.directory, szPath2, cbPath);
    rt::CopyResult(pieces.file, szFile, cbFile);
    return 1;
}
