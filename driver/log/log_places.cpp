// Where an installation log's records may point.
//
// A record is taken only in the plain form of its path, so that what is
// judged is what would be removed: "x/../../windows" is judged as the place
// it reaches, not as text that begins with the installation directory.
#include "log/log_places.h"

#include <windows.h>

#include <string.h>

const char ENVIRONMENT_KEY[] = "System\\CurrentControlSet\\Control\\Session Manager\\Environment";
static const char app_paths_key[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths";

// The longest path the removal calls take, terminator included.
enum { LONGEST_PLAIN_PATH = 260 };
// REG_SZ (1) and REG_EXPAND_SZ (2): the types Path may have; 0 unknown.
enum { PATH_TEXT_TYPES = 2 };

std::string FoldedText(const std::string &text)
{
    std::string folded = text;
    const char *start = text.c_str();
    for (const char *p = start; *p != '\0'; p = CharNextA(p)) {
        if (*p >= 'a' && *p <= 'z')
            folded[p - start] = static_cast<char>(*p - 'a' + 'A');
    }
    return folded;
}

bool SameText(const std::string &a, const std::string &b)
{
    return a.size() == b.size() && FoldedText(a) == FoldedText(b);
}

// The system opens a device for such a name in any directory, whatever
// its extension: reading one may hang, writing one reaches the device.
static bool IsDeviceName(const std::string &step)
{
    std::string base = FoldedText(step.substr(0, step.find('.')));
    while (!base.empty() && base.back() == ' ')
        base.pop_back();
    for (const char *device : {"CON", "NUL", "AUX", "PRN", "CONIN$", "CONOUT$", "CLOCK$"}) {
        if (base == device)
            return true;
    }
    return base.size() == 4 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0) &&
           base[3] >= '1' && base[3] <= '9';
}

static bool IsSoundStep(const std::string &step)
{
    for (unsigned char c : step) {
        if (c < 0x20 || strchr("\"*:<>?|", c))
            return false;
    }
    return !IsDeviceName(step) && step.back() != '.' && step.back() != ' ';
}

bool PlainPath(const std::string &path, std::string &plain)
{
    const char *text = path.c_str();
    bool has_drive = path.size() >= 3 && ((text[0] >= 'A' && text[0] <= 'Z') || (text[0] >= 'a' && text[0] <= 'z')) &&
                     text[1] == ':' && (text[2] == '\\' || text[2] == '/');
    if (!has_drive || path.find('\0') != std::string::npos)
        return false;
    std::vector<std::string> steps;
    std::string step;
    // Walked by character: a double-byte character's trail byte may be "\".
    for (const char *p = text + 3;; p = CharNextA(p)) {
        if (*p != '\\' && *p != '/' && *p != '\0') {
            step.append(p, static_cast<size_t>(CharNextA(p) - p));
            continue;
        }
        if (step == "..") {
            if (steps.empty())
                return false;
            steps.pop_back();
        } else if (!step.empty() && step != ".") {
            if (!IsSoundStep(step))
                return false;
            steps.push_back(step);
        }
        step.clear();
        if (*p == '\0')
            break;
    }
    plain = std::string(1, text[0]) + ":";
    for (const std::string &s : steps)
        plain += "\\" + s;
    if (steps.empty())
        plain += "\\";
    return plain.size() < LONGEST_PLAIN_PATH;
}

bool PathLiesIn(const std::string &path, const std::string &dir, bool dir_itself)
{
    if (path.size() == dir.size())
        return dir_itself && SameText(path, dir);
    std::string base = dir.back() == '\\' ? dir : dir + "\\";
    return path.size() > base.size() && SameText(path.substr(0, base.size()), base);
}

// What no installation sets: the system's own variables, whose loss or
// change breaks every program.
static bool IsSystemVariable(const std::string &name)
{
    std::string folded = FoldedText(name);
    for (const char *variable :
         {"PATH", "COMSPEC", "SYSTEMROOT", "SYSTEMDRIVE", "WINDIR", "PATHEXT", "TEMP", "TMP", "OS", "PROMPT",
          "NUMBER_OF_PROCESSORS", "PSMODULEPATH", "DRIVERDATA", "PROGRAMFILES", "PROGRAMDATA", "COMMONPROGRAMFILES",
          "ALLUSERSPROFILE", "USERPROFILE", "APPDATA", "LOCALAPPDATA", "HOMEDRIVE", "HOMEPATH", "PUBLIC", "USERNAME",
          "USERDOMAIN", "COMPUTERNAME", "WINBOOTDIR"}) {
        if (folded == variable)
            return true;
    }
    return folded.compare(0, 10, "PROCESSOR_") == 0;
}

static bool HasControlByte(const std::string &text)
{
    for (unsigned char c : text) {
        if (c < 0x20)
            return true;
    }
    return false;
}

// A key the installation makes: below the company's, or an App Paths key.
static bool IsOwnKey(const std::string &key, const struct log_places &places)
{
    return !HasControlByte(key) && key.find("\\\\") == std::string::npos && key.back() != '\\' &&
           (PathLiesIn(key, "Software\\" + places.company, true) || PathLiesIn(key, app_paths_key, true));
}

// The values the installation sets: those of its file set's key, the
// search path of a program in App Paths, and the variables of its script.
static bool IsOwnValue(const struct log_record &r, const struct log_places &places)
{
    if (HasControlByte(r.second))
        return false;
    if (SameText(r.path, "Software\\" + places.company + "\\" + places.software + "\\VersionInfo"))
        return true;
    std::string app = r.path.substr(0, sizeof app_paths_key);
    if (SameText(app, std::string(app_paths_key) + "\\"))
        return IsOwnKey(r.path, places) && r.path.find('\\', app.size()) == std::string::npos &&
               SameText(r.second, "Path");
    return SameText(r.path, ENVIRONMENT_KEY) && !r.second.empty() && r.second.find('=') == std::string::npos &&
           !IsSystemVariable(r.second);
}

// A backup of AUTOEXEC.BAT or the file itself, at the boot drive's root.
static bool IsRootFile(const std::string &path, const struct log_places &places)
{
    std::string prefix = places.root + "\\AUTOEXEC.";
    return places.win95 && !places.root.empty() && path.size() > prefix.size() && path.size() <= prefix.size() + 3 &&
           SameText(path.substr(0, prefix.size()), prefix) && path.find('\\', prefix.size()) == std::string::npos;
}

static bool IsShortcut(const std::string &path, const struct log_places &places)
{
    return !places.programs.empty() && PathLiesIn(path, places.programs, false) && path.size() > 4 &&
           SameText(path.substr(path.size() - 4), ".lnk");
}

// An element of Path as the installation added it: one directory; and
// the type Path was stored with, a text's.
static bool IsPathElement(const struct log_record &r)
{
    return !HasControlByte(r.path) && r.path.find(';') == std::string::npos && r.path.size() < LONGEST_PLAIN_PATH &&
           r.type <= PATH_TEXT_TYPES;
}

static bool InItsPlace(struct log_record &r, const struct log_places &places)
{
    std::string plain;
    switch (r.kind) {
    case LOG_DIR:
    case LOG_FILE:
    case LOG_ROOTFILE:
    case LOG_GROUP:
    case LOG_SHORTCUT:
        if (!PlainPath(r.path, plain))
            return false;
        r.path = plain;
        break;
    default: break;
    }
    switch (r.kind) {
    case LOG_DIR: return PathLiesIn(r.path, places.dir, true);
    case LOG_FILE: return PathLiesIn(r.path, places.dir, false);
    case LOG_ROOTFILE: return IsRootFile(r.path, places);
    case LOG_KEY: return IsOwnKey(r.path, places);
    case LOG_VALUE: return IsOwnValue(r, places);
    case LOG_GROUP: return !places.programs.empty() && PathLiesIn(r.path, places.programs, false);
    case LOG_SHORTCUT: return IsShortcut(r.path, places);
    case LOG_PATH: return !places.win95 && IsPathElement(r);
    case LOG_BATCH: return places.win95 && !HasControlByte(r.path) && !HasControlByte(r.second);
    default: return true;
    }
}

bool JudgeLogRecords(std::vector<struct log_record> &records, const struct log_places &places, std::string &problem)
{
    for (struct log_record &r : records) {
        if (!InItsPlace(r, places)) {
            problem = "line " + std::to_string(r.line) + " names a place outside the installation";
            return false;
        }
    }
    return true;
}
