// ini.cpp - values, keys and sections of .INI files. A file name
// without a directory is a file of the Windows directory, as Windows has it.
#include <cstring>
#include <string>
#include <vector>

#include "base/common.h"
#include "setuprt.h"

namespace rt {
namespace detect {
namespace {

constexpr DWORD kFirstSize = 256;
constexpr DWORD kLargestText = 1 << 20;

// The profile functions cut an answer that does not fit and say so only by
// its length: the size less one for a value, less two for a list of names.
// Ask again with a larger buffer until it fits.
template <typename Read>
std::string ReadWhole(Read read, DWORD lengthWhenCut) {
    for (DWORD size = kFirstSize;; size *= 2) {
        std::vector<char> buffer(size);
        DWORD length = read(buffer.data(), size);
        if (length < size - lengthWhenCut || size >= kLargestText) return std::string(buffer.data(), length);
    }
}

std::string KeyValue(const char *file, const char *section, const char *key) {
    return ReadWhole([&](char *buffer, DWORD size) {
        return GetPrivateProfileStringA(section, key, "", buffer, size, file);
    }, 1);
}

// Names separated by zeros.
std::string KeyNames(const char *file, const char *section) {
    return ReadWhole([&](char *buffer, DWORD size) {
        return GetPrivateProfileStringA(section, nullptr, "", buffer, size, file);
    }, 2);
}

std::string SectionNames(const char *file) {
    return ReadWhole([&](char *buffer, DWORD size) {
        return GetPrivateProfileSectionNamesA(buffer, size, file);
    }, 2);
}

// Names in the files are matched without regard to case, as Windows does.
bool ListHolds(const std::string &names, const char *name) {
    for (size_t at = 0; at < names.size(); at += std::strlen(names.c_str() + at) + 1) {
        if (lstrcmpiA(names.c_str() + at, name) == 0) return true;
    }
    return false;
}

}  // namespace
}  // namespace detect
}  // namespace rt

using namespace rt;
using namespace rt::detect;

unsigned CbGetIniKeyString(const char *szFile, const char *szSect, const char *szKey, char *szBfr,
                           unsigned cbMax) {
    bool asked = IsGiven(szFile) && IsGiven(szSect) && IsGiven(szKey);
    return CopyResult(asked ? KeyValue(szFile, szSect, szKey) : "", szBfr, cbMax);
}

int FDoesIniSectionExist(const char *szFile, const char *szSect) {
    return IsGiven(szFile) && IsGiven(szSect) && ListHolds(SectionNames(szFile), szSect);
}

int FDoesIniKeyExist(const char *szFile, const char *szSect, const char *szKey) {
    return IsGiven(szFile) && IsGiven(szSect) && IsGiven(szKey) &&
           ListHolds(KeyNames(szFile, szSect), szKey);
}
