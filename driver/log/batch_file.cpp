// AUTOEXEC.BAT read and written line by line.
#include "log/batch_file.h"
#include "base/text.h"

#include <windows.h>

int RootFilePath(char *path, size_t cb, const char *name)
{
    char dir[MAX_PATH];
    UINT length = GetWindowsDirectoryA(dir, sizeof dir);
    if (length < 2 || length >= sizeof dir || dir[1] != ':')
        return 0;
    return FormatText(path, cb, "%c:\\%s", dir[0], name);
}

int ReadBatchLines(const char *path, std::vector<std::string> &lines)
{
    lines.clear();
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return GetLastError() == ERROR_FILE_NOT_FOUND;
    std::string text;
    char block[4096];
    DWORD got = 0;
    BOOL read = TRUE;
    while ((read = ReadFile(file, block, sizeof block, &got, NULL)) && got > 0)
        text.append(block, got);
    CloseHandle(file);
    if (!read)
        return 0;
    if (!text.empty() && text.back() == '\x1a')
        text.pop_back();
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    return 1;
}

int WriteBatchLines(const char *path, const std::vector<std::string> &lines)
{
    std::string text;
    for (const std::string &line : lines)
        text += line + "\r\n";
    // Opened, not made anew: a hidden or system file keeps its attributes.
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, NULL, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    DWORD written = 0;
    int whole = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, NULL) &&
                written == text.size() && SetEndOfFile(file);
    CloseHandle(file);
    return whole;
}
