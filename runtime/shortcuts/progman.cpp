// progman.cpp - Program Manager groups and items, kept as folders and
// shortcut files of the Start menu's Programs folder.
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "script/script_checks.h"
#include "base/common.h"
#include "setuprt.h"
#include "transcript/transcript.h"
#include "later_shell.h"

namespace rt {
namespace {

// Owns one COM interface.
template <typename T>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(const ComPtr &) = delete;
    ComPtr &operator=(const ComPtr &) = delete;
    ~ComPtr() {
        if (p_) p_->Release();
    }
    T *operator->() const { return p_; }
    void **Out() { return reinterpret_cast<void **>(&p_); }  // only while empty

private:
    T *p_ = nullptr;
};

// COM for the length of one call. The installer starts COM itself only on
// the 95 family; every successful CoInitialize, S_FALSE included, is undone.
class ComScope {
public:
    ComScope() : balance_(SUCCEEDED(CoInitialize(nullptr))) {}
    ComScope(const ComScope &) = delete;
    ComScope &operator=(const ComScope &) = delete;
    ~ComScope() {
        if (balance_) CoUninitialize();
    }

private:
    bool balance_;
};

bool IsWin95Family() {
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof info;
    return GetVersionExA(&info) && info.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
}

bool EndsInBackslash(const std::string &path) {
    if (path.empty()) return false;
    const char *last = CharPrevA(path.c_str(), path.c_str() + path.size());
    return *last == '\\' && last + 1 == path.c_str() + path.size();
}

std::string JoinPath(const std::string &dir, const std::string &name) {
    return EndsInBackslash(dir) ? dir + name : dir + "\\" + name;
}

// The Start menu's Programs folder; "" when the system cannot say.
std::string ProgramsFolder(bool common) {
    char dir[MAX_PATH];
    if (IsWin95Family()) {
        UINT length = GetWindowsDirectoryA(dir, sizeof dir);
        if (length == 0 || length >= sizeof dir) return "";
        return JoinPath(dir, "Start Menu\\Programs");
    }
    int folder = common ? CSIDL_COMMON_PROGRAMS : CSIDL_PROGRAMS;
    if (!SpecialFolderPath(folder, dir)) return "";
    return dir;
}

// A group or item name as one file name; "" for a name that cannot be one
// (".." must not climb out of the folder).
std::string AsFileName(const char *name) {
    char fileName[MAX_PATH];
    return CleanFileName(fileName, sizeof fileName, name) ? fileName : "";
}

// Makes dir and every missing folder above it; true when dir is a folder.
bool CreateFolderWithParents(const std::string &dir) {
    for (const char *p = dir.c_str(); *p; p = CharNextA(p)) {
        if (*p == '\\' && p != dir.c_str() && p[-1] != ':')
            CreateDirectoryA(std::string(dir.c_str(), p).c_str(), nullptr);
    }
    CreateDirectoryA(dir.c_str(), nullptr);
    return IsDirectory(dir);
}

// The folder of a group; "" for a name that cannot be one.
std::string GroupFolder(const char *group, bool common) {
    if (!group) return "";
    std::string name = AsFileName(group);
    std::string programs = ProgramsFolder(common);
    if (name.empty() || programs.empty()) return "";
    std::string folder = JoinPath(programs, name);
    return folder.size() < MAX_PATH ? folder : "";
}

bool CreateGroup(const char *group, bool common) {
    std::string folder = GroupFolder(group, common);
    if (folder.empty() || !CreateFolderWithParents(folder)) return false;
    transcript::Group(group);
    return true;
}

// Program Manager has nothing to show here; a group that exists is shown.
bool ShowGroup(const char *group, bool common, const char *command) {
    std::string folder = GroupFolder(group, common);
    return !folder.empty() && command && IsDirectory(folder);
}

// "name,icon file,icon index,x,y,working dir": every field after the name
// may be left out; the position fields have no meaning for a shortcut.
struct ItemFields {
    std::string name;
    std::string iconFile;
    int iconIndex = 0;
    std::string workDir;
};

ItemFields ParseItem(const char *item) {
    std::vector<std::string> fields(1);
    for (const char *p = item; *p;) {
        const char *next = CharNextA(p);
        if (*p == ',' && next == p + 1)
            fields.emplace_back();
        else
            fields.back().append(p, next);
        p = next;
    }
    fields.resize(6);
    ItemFields parsed;
    parsed.name = fields[0];
    parsed.iconFile = fields[1];
    parsed.iconIndex = std::atoi(fields[2].c_str());
    parsed.workDir = fields[5];
    return parsed;
}

// The program, the first word of the command or a path in double quotes,
// and the arguments after it.
struct Command {
    std::string program;
    std::string arguments;
};

Command SplitCommand(const char *command) {
    const char *p = command;
    while (*p == ' ' || *p == '\t') ++p;
    Command split;
    bool quoted = *p == '"';
    if (quoted) ++p;
    while (*p && !(quoted ? *p == '"' : (*p == ' ' || *p == '\t'))) {
        const char *next = CharNextA(p);
        split.program.append(p, next);
        p = next;
    }
    if (quoted && *p == '"') ++p;
    while (*p == ' ' || *p == '\t') ++p;
    split.arguments = p;
    return split;
}

bool FitsPath(const std::string &text) { return text.size() < MAX_PATH; }

bool SaveShortcut(const std::string &linkFile, const Command &command, const ItemFields &fields) {
    WCHAR widePath[MAX_PATH];
    if (!MultiByteToWideChar(CP_ACP, 0, linkFile.c_str(), -1, widePath, MAX_PATH)) return false;

    ComScope com;  // outlives the interfaces below
    ComPtr<IShellLinkA> link;
    ComPtr<IPersistFile> file;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, link.Out())) ||
        FAILED(link->QueryInterface(IID_IPersistFile, file.Out())))
        return false;
    if (FAILED(link->SetPath(command.program.c_str())) ||
        FAILED(link->SetArguments(command.arguments.c_str())) ||
        FAILED(link->SetDescription(fields.name.c_str())))
        return false;
    if (!fields.iconFile.empty() && FAILED(link->SetIconLocation(fields.iconFile.c_str(), fields.iconIndex)))
        return false;
    if (!fields.workDir.empty() && FAILED(link->SetWorkingDirectory(fields.workDir.c_str()))) return false;
    return SUCCEEDED(file->Save(widePath, TRUE));
}

// An item of the same name is replaced.
bool CreateItem(const char *group, bool common, const char *item, const char *command) {
    if (!item || !command) return false;
    ItemFields fields = ParseItem(item);
    Command split = SplitCommand(command);
    std::string folder = GroupFolder(group, common);
    std::string fileName = AsFileName(fields.name.c_str());
    if (folder.empty() || fileName.empty() || split.program.empty()) return false;
    std::string linkFile = JoinPath(folder, fileName + ".lnk");
    if (!FitsPath(linkFile) || !FitsPath(split.program) || !FitsPath(fields.iconFile) || !FitsPath(fields.workDir))
        return false;
    if (!CreateFolderWithParents(folder) || !SaveShortcut(linkFile, split, fields)) return false;
    transcript::Item(group, item, command);
    return true;
}

}  // namespace
}  // namespace rt

// The Program Manager calls without a "common" flag make the groups of all
// users: the installer runs as an administrator on NT.
int FCreateProgManGroup(const char *szGroup, const char *szPath, int cmo) {
    (void)szPath;  // a group is a folder; it has no file of its own
    (void)cmo;
    return rt::CreateGroup(szGroup, true);
}

int FCreateProgManGroupEx(const char *szGroup, int fCommon, int cmo) {
    (void)cmo;
    return rt::CreateGroup(szGroup, fCommon != 0);
}

int FShowProgManGroup(const char *szGroup, const char *szCmd, int cmo) {
    (void)cmo;
    return rt::ShowGroup(szGroup, true, szCmd);
}

int FShowProgManGroupEx(const char *szGroup, int fCommon, const char *szCmd, int cmo) {
    (void)cmo;
    return rt::ShowGroup(szGroup, fCommon != 0, szCmd);
}

int FCreateProgManItem(const char *szGroup, const char *szItem, const char *szCmd, int cmo) {
    (void)cmo;
    return rt::CreateItem(szGroup, true, szItem, szCmd);
}

int FCreateProgManItemEx(const char *szGroup, int fCommon, const char *szItem, const char *szCmd, int cmo) {
    (void)cmo;
    return rt::CreateItem(szGroup, fCommon != 0, szItem, szCmd);
}
