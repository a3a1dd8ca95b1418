// config.cpp - device drivers loaded by CONFIG.SYS at the root of the
// Windows drive.
#include <cstring>
#include <vector>
#include <string>

#include "base/common.h"
#include "base/file_paths.h"
#include "setuprt.h"
#include "base/text_lines.h"

namespace rt {
namespace detect {
namespace {

// Longest first: DEVICE is also the start of DEVICEHIGH.
const char *const kDeviceKeywords[] = {"DEVICEHIGH", "DEVICE"};

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

const char *SkipBlanks(const char *p) {
    while (IsBlank(*p)) p = CharNextA(p);
    return p;
}

// Past the keyword at p, or null when the line loads no driver.
const char *AfterDeviceKeyword(const char *p) {
    for (const char *keyword : kDeviceKeywords) {
        size_t length = std::strlen(keyword);
        std::string head(p, strnlen(p, length));
        if (lstrcmpiA(head.c_str(), keyword) != 0) continue;
        char next = p[length];
        return IsBlank(next) || next == '=' || next == '/' ? p + length : nullptr;
    }
    return nullptr;
}

// The driver's path: the first word that is no option of DEVICEHIGH
// ("/L:1,12", "SIZE=1A0"). A word may begin with the '=' that ends the
// keyword's options. "" for a line that loads no driver.
std::string DriverPath(const std::string &line) {
    const char *p = AfterDeviceKeyword(SkipBlanks(line.c_str()));
    while (p && *(p = SkipBlanks(p))) {
        if (*p == '=') {
            ++p;
            continue;
        }
        const char *start = p;
        bool isOption = *p == '/';
        for (; *p && !IsBlank(*p); p = CharNextA(p))
            if (*p == '=') isOption = true;
        if (!isOption) return std::string(start, p);
    }
    return "";
}

std::string WithoutExtension(const std::string &name) {
    const char *dot = nullptr;
    for (const char *p = name.c_str(); *p; p = CharNextA(p))
        if (*p == '.') dot = p;
    return dot ? std::string(name.c_str(), dot) : name;
}

// The driver may be named by its path, its file name, or its file name
// without the extension; case does not matter.
bool NamesDriver(const std::string &path, const char *driver) {
    std::string name = FileNameOf(path);
    for (const std::string &form : {path, name, WithoutExtension(name)})
        if (lstrcmpiA(form.c_str(), driver) == 0) return true;
    return false;
}

std::string WindowsDriveRoot() {
    char windows[MAX_PATH];
    UINT length = GetWindowsDirectoryA(windows, sizeof windows);
    if (length < 2 || length >= sizeof windows || windows[1] != ':') return "";
    return std::string(windows, 2) + "\\";
}

bool ConfigLoads(const char *driver) {
    std::string root = WindowsDriveRoot();
    if (root.empty()) return false;
    std::vector<std::string> lines;
    if (!ReadTextLines(root + "CONFIG.SYS", lines)) return false;
    for (const std::string &line : lines) {
        std::string path = DriverPath(line);
        if (!path.empty() && NamesDriver(path, driver)) return true;
    }
    return false;
}

}  // namespace
}  // namespace detect
}  // namespace rt

int FIsDriverInConfig(const char *szDrv) {
    return rt::IsGiven(szDrv) && rt::detect::ConfigLoads(szDrv);
}
