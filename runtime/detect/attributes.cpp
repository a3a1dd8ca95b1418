// attributes.cpp - the size and the date of a file.
#include <cstdio>
#include <string>

#include "base/common.h"
#include "setuprt.h"
#include "later_windows.h"

namespace rt {
namespace detect {
namespace {

bool FileData(const char *file, WIN32_FILE_ATTRIBUTE_DATA *data) {
    return IsGiven(file) && FileAttributesOf(file, data) &&
           !(data->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Fields at 0, 5, 8, 11, 14 and 17, for the date extractors of the binding.
std::string DateText(const SYSTEMTIME &time) {
    char text[32];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u-%02u-%02u-%02u", time.wYear, time.wMonth,
                  time.wDay, time.wHour, time.wMinute, time.wSecond);
    return text;
}

std::string LastWriteDate(const char *file) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    FILETIME local;
    SYSTEMTIME time;
    if (!FileData(file, &data) || !FileTimeToLocalFileTime(&data.ftLastWriteTime, &local) ||
        !FileTimeToSystemTime(&local, &time))
        return "";
    return DateText(time);
}

}  // namespace
}  // namespace detect
}  // namespace rt

unsigned LcbGetSizeOfFile(const char *szFile) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!rt::detect::FileData(szFile, &data)) return 0;
    // A file of 4 GB or more is reported as the largest size there is room
    // for, never as the small remainder.
    return data.nFileSizeHigh ? 0xFFFFFFFFu : data.nFileSizeLow;
}

unsigned CbGetDateOfFile(const char *szFile, char *szBfr, unsigned cbMax) {
    return rt::CopyResult(rt::detect::LastWriteDate(szFile), szBfr, cbMax);
}
