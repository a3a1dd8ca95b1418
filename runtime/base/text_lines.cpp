// text_lines.cpp - reads and writes small text files line by line.
#include "base/text_lines.h"

#include "base/handles.h"

namespace rt {

std::vector<std::string> SplitLines(const std::string &text) {
    std::vector<std::string> lines;
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

bool ReadTextLines(const std::string &path, std::vector<std::string> &lines) {
    FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsOpen()) return false;
    std::string text;
    char chunk[4096];
    DWORD got = 0;
    BOOL read;
    while ((read = ReadFile(file.Get(), chunk, sizeof chunk, &got, nullptr)) && got > 0) text.append(chunk, got);
    if (!read) return false;
    // DOS stops reading at this mark; a line added after it would be ignored.
    while (!text.empty() && text.back() == '\x1A') text.pop_back();
    lines = SplitLines(text);
    return true;
}

bool WriteTextLines(const std::string &path, const std::vector<std::string> &lines) {
    std::string text;
    for (const std::string &line : lines) text += line + "\r\n";
    // Opened, not created anew, so a hidden or system file keeps its attributes.
    FileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                nullptr));
    DWORD written = 0;
    return file.IsOpen() &&
           WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
           written == text.size() && SetEndOfFile(file.Get());
}

}  // namespace rt
