// common.cpp - the copy rule for results and the path helpers.
#include "base/common.h"

#include <windows.h>

#include <cstring>
#include <vector>

namespace rt {

unsigned CopyResult(const std::string &value, char *buffer, unsigned size) {
    if (buffer && size > 0) {
        size_t count = value.size() < size - 1 ? value.size() : size - 1;
        std::memcpy(buffer, value.data(), count);
        buffer[count] = '\0';
    }
    return static_cast<unsigned>(value.size());
}

bool EndsInSeparator(const std::string &text) {
    const char *last = nullptr;
    for (const char *p = text.c_str(); *p; p = CharNextA(p)) last = p;
    return last && (*last == '\\' || *last == '/');
}

std::string JoinPath(const std::string &directory, const std::string &file) {
    if (directory.empty() || EndsInSeparator(directory)) return directory + file;
    return directory + "\\" + file;
}

bool IsFile(const std::string &path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsDirectory(const std::string &path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string FullPath(const std::string &path) {
    DWORD size = GetFullPathNameA(path.c_str(), 0, nullptr, nullptr);
    if (size == 0) return path;
    std::vector<char> full(size);
    DWORD length = GetFullPathNameA(path.c_str(), size, full.data(), nullptr);
    return length > 0 && length < size ? std::string(full.data(), length) : path;
}

}  // namespace rt
