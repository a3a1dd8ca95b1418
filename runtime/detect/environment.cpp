// environment.cpp - environment variables and the files on their paths.
#include <string>
#include <vector>

#include "base/common.h"
#include "setuprt.h"

namespace rt {
namespace detect {
namespace {

// "" for a missing variable.
std::string EnvironmentValue(const char *name) {
    if (!IsGiven(name)) return "";
    DWORD size = GetEnvironmentVariableA(name, nullptr, 0);
    if (size == 0) return "";
    std::vector<char> value(size);
    DWORD length = GetEnvironmentVariableA(name, value.data(), size);
    return length < size ? std::string(value.data(), length) : "";
}

// The elements of a ;-list, empty ones left out.
std::vector<std::string> SplitList(const std::string &list) {
    std::vector<std::string> elements;
    const char *start = list.c_str();
    for (const char *p = start;; p = CharNextA(p)) {
        if (*p != ';' && *p != '\0') continue;
        if (p > start) elements.emplace_back(start, p);
        if (*p == '\0') break;
        start = p + 1;
    }
    return elements;
}

std::string FindOnList(const char *file, const char *variable) {
    if (!IsGiven(file)) return "";
    for (const std::string &directory : SplitList(EnvironmentValue(variable))) {
        std::string candidate = JoinPath(directory, file);
        if (IsFile(candidate)) return FullPath(candidate);
    }
    return "";
}

}  // namespace
}  // namespace detect
}  // namespace rt

unsigned CbGetEnvVariableValue(const char *szEnvVar, char *szBfr, unsigned cbMax) {
    return rt::CopyResult(rt::detect::EnvironmentValue(szEnvVar), szBfr, cbMax);
}

unsigned CbFindTargetOnEnvVar(const char *szFile, const char *szEnvVar, char *szBfr, unsigned cbMax) {
    return rt::CopyResult(rt::detect::FindOnList(szFile, szEnvVar), szBfr, cbMax);
}
