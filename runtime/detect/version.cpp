// version.cpp - the version of a file, "a.b.c.d", and its fields.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/common.h"
#include "setuprt.h"

namespace rt {
namespace detect {
namespace {

// "" for a file without a version resource.
std::string FileVersion(const char *file) {
    if (!IsGiven(file)) return "";
    DWORD unused = 0;
    DWORD size = GetFileVersionInfoSizeA(file, &unused);
    if (size == 0) return "";
    std::vector<char> info(size);
    void *value = nullptr;
    UINT valueSize = 0;
    if (!GetFileVersionInfoA(file, 0, size, info.data()) ||
        !VerQueryValueA(info.data(), "\\", &value, &valueSize) || valueSize < sizeof(VS_FIXEDFILEINFO))
        return "";
    const auto *fixed = static_cast<const VS_FIXEDFILEINFO *>(value);
    char text[48];
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", HIWORD(fixed->dwFileVersionMS),
                  LOWORD(fixed->dwFileVersionMS), HIWORD(fixed->dwFileVersionLS),
                  LOWORD(fixed->dwFileVersionLS));
    return text;
}

}  // namespace
}  // namespace detect
}  // namespace rt

unsigned CbGetVersionOfFile(const char *szFile, char *szBfr, unsigned cbMax) {
    return rt::CopyResult(rt::detect::FileVersion(szFile), szBfr, cbMax);
}

long LGetVersionNthField(const char *szVersion, int nField) {
    if (!szVersion || nField < 1) return 0;
    const char *field = szVersion;
    for (int dots = 1; dots < nField; field = CharNextA(field)) {
        if (*field == '\0') return 0;
        if (*field == '.') ++dots;
    }
    return std::strtol(field, nullptr, 10);
}
