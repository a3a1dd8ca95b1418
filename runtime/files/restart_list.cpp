// restart_list.cpp - the restart list: files replaced or removed by Windows
// at its next start, and the question whether to restart now.
#include "files/restart_list.h"

#include <vector>

#include "base/common.h"
#include "base/file_paths.h"
#include "base/handles.h"
#include "files/log_file.h"
#include "setuprt.h"
#include "later_windows.h"

namespace rt {
namespace {

struct WaitingFile {
    std::string target;
    std::string newCopy;  // "" when the target is removed
};

struct RestartList {
    std::string dir;  // where new copies wait; "" for beside their targets
    std::vector<WaitingFile> files;
};

RestartList g_restart;

// The most files the restart question names; the rest are counted.
constexpr size_t kFilesNamed = 10;

std::string VolumeOf(const std::string &path) {
    char volume[MAX_PATH];
    return FParsePathIntoPieces(path.c_str(), volume, sizeof volume, nullptr, 0, nullptr, 0) ? volume : "";
}

// Windows renames at start-up within one volume only.
std::string WaitingDirFor(const std::string &target) {
    std::string volume = VolumeOf(target);
    if (!g_restart.dir.empty() && !volume.empty() && lstrcmpiA(volume.c_str(), VolumeOf(g_restart.dir).c_str()) == 0)
        return g_restart.dir;
    return ParentOf(target);
}

std::string RestartQuestion() {
    std::string text = "These files are in use and could not be replaced or removed:\n\n";
    for (size_t i = 0; i < g_restart.files.size() && i < kFilesNamed; ++i) text += g_restart.files[i].target + "\n";
    if (g_restart.files.size() > kFilesNamed)
        text += "and " + std::to_string(g_restart.files.size() - kFilesNamed) + " more\n";
    return text + "\nWindows finishes the installation when it starts again. Restart Windows now?";
}

// Windows NT lets a process shut the system down only with this privilege
// switched on; the 95 family has no privileges and needs none.
void EnableShutdownPrivilege() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) return;
    FileHandle owner(token);  // closes any kernel handle
    TOKEN_PRIVILEGES privileges = {};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (LookupPrivilegeValueA(nullptr, SE_SHUTDOWN_NAME, &privileges.Privileges[0].Luid))
        AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
}

}  // namespace

bool IsInUseError(DWORD error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION || error == ERROR_USER_MAPPED_FILE;
}

bool QueueReplacement(const std::string &source, const std::string &destination) {
    std::string target = FullPath(destination);
    std::string newCopy = MakeUniqueFile(WaitingDirFor(target), "new");
    if (newCopy.empty()) return false;
    if (!CopyFileA(source.c_str(), newCopy.c_str(), FALSE) ||
        !MoveFileWithFlags(newCopy.c_str(), target.c_str(), MOVEFILE_DELAY_UNTIL_REBOOT | MOVEFILE_REPLACE_EXISTING)) {
        DeleteFileA(newCopy.c_str());
        return false;
    }
    g_restart.files.push_back({target, newCopy});
    RecordAction("restart", {target.c_str(), newCopy.c_str()});
    return true;
}

bool QueueRemoval(const std::string &file) {
    std::string target = FullPath(file);
    if (!MoveFileWithFlags(target.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT)) return false;
    g_restart.files.push_back({target, ""});
    RecordAction("restart", {target.c_str()});
    return true;
}

}  // namespace rt

int FSetRestartDir(const char *szDir) {
    if (!rt::IsGiven(szDir)) return 0;
    std::string dir = rt::WithoutTrailingBackslash(rt::FullPath(szDir));
    if (!FCreateDir(dir.c_str(), 0)) return 0;
    rt::g_restart.dir = dir;
    return 1;
}

int FRestartListEmpty(void) { return rt::g_restart.files.empty() ? 1 : 0; }

int FExitExecRestart(void) {
    if (rt::g_restart.files.empty()) return 1;
    if (DoMsgBox(rt::RestartQuestion().c_str(), "Restart Windows", MB_YESNO | MB_ICONQUESTION) != IDYES) return 0;
    rt::RecordAction("reboot", {});
    rt::EnableShutdownPrivilege();
    return ExitWindowsEx(EWX_REBOOT, SHTDN_REASON_MAJOR_APPLICATION | SHTDN_REASON_MINOR_INSTALLATION |
                                         SHTDN_REASON_FLAG_PLANNED)
               ? 1
               : 0;
}
