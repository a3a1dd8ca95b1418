// The removal from a copy in TMP.
//
// The installation's copy starts the copy in TMP and waits for an event
// named by its process id; the copy in TMP signals it once the removal is
// done, waits for the starter's end, and then removes the starter's files
// like every other file. The process id reaches it in the environment.
#include "uninstall/from_temp.h"
#include "base/paths.h"
#include "base/program_files.h"
#include "base/text.h"
#include "log/log_places.h"
#include "setuprt.h"
#include "later_windows.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <vector>

static const char starter_variable[] = "QUORVANE32_REMOVAL_STARTER";

static void EventName(char *name, size_t cb, DWORD process_id)
{
    FormatText(name, cb, "Quorvane32RemovalDone%lu", static_cast<unsigned long>(process_id));
}

static std::string DirectoryOf(const char *path)
{
    char dir[MAX_PATH];
    return DirectoryOfPath(path, dir, sizeof dir) ? dir : "";
}

// The command line's arguments: what follows the program's name.
static const char *Arguments(const char *command_line)
{
    const char *p = command_line;
    if (*p == '"') {
        for (p = CharNextA(p); *p != '\0' && *p != '"'; p = CharNextA(p)) {
        }
        return *p == '"' ? p + 1 : p;
    }
    while (*p != '\0' && *p != ' ' && *p != '\t')
        p = CharNextA(p);
    return p;
}

static void RemoveTempFolder(const std::string &folder)
{
    for (const char *name : PROGRAM_FILES)
        DeleteFileA((folder + "\\" + name).c_str());
    RemoveDirectoryA(folder.c_str());
}

// "<TMP>\qvremove-<process id>" with the three files; "" when it cannot be made.
static std::string MakeTempCopy(const std::string &copy_dir)
{
    char temp[MAX_PATH], folder[MAX_PATH];
    DWORD length = GetTempPathA(sizeof temp, temp);
    if (length == 0 || length >= sizeof temp ||
        !FormatText(folder, sizeof folder, "%sqvremove-%lu", temp, static_cast<unsigned long>(GetCurrentProcessId())))
        return "";
    if (!CreateDirectoryA(folder, NULL) && GetLastError() != ERROR_ALREADY_EXISTS)
        return "";
    for (const char *name : PROGRAM_FILES) {
        if (!CopyFileA((copy_dir + "\\" + name).c_str(), (std::string(folder) + "\\" + name).c_str(), FALSE)) {
            RemoveTempFolder(folder);
            return "";
        }
    }
    return folder;
}

void RunFromTemp(const std::string &copy_dir)
{
    char module[MAX_PATH], event_name[64], id[16];
    DWORD length = GetModuleFileNameA(NULL, module, sizeof module);
    if (getenv(starter_variable) || length == 0 || length >= sizeof module || !SameText(DirectoryOf(module), copy_dir))
        return;
    std::string folder = MakeTempCopy(copy_dir);
    if (folder.empty())
        return;
    EventName(event_name, sizeof event_name, GetCurrentProcessId());
    HANDLE done = CreateEventA(NULL, TRUE, FALSE, event_name);
    std::string command = "\"" + folder + "\\setup.exe\"" + Arguments(GetCommandLineA());
    std::vector<char> line(command.begin(), command.end());
    line.push_back('\0');
    FormatText(id, sizeof id, "%lu", static_cast<unsigned long>(GetCurrentProcessId()));
    STARTUPINFOA startup;
    PROCESS_INFORMATION process;
    memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    if (!done || !SetEnvironmentVariableA(starter_variable, id) ||
        !CreateProcessA(NULL, line.data(), NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process)) {
        if (done)
            CloseHandle(done);
        SetEnvironmentVariableA(starter_variable, NULL);
        RemoveTempFolder(folder);
        return;
    }
    CloseHandle(process.hThread);
    ShowWindow(HwndFrame(), SW_HIDE);
    HANDLE ends[] = {done, process.hProcess};
    // Its window still answers the copy's broadcasts while it waits.
    DWORD which;
    while ((which = MsgWaitForMultipleObjects(2, ends, FALSE, INFINITE, QS_ALLINPUT)) == WAIT_OBJECT_0 + 2) {
        MSG message;
        while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    DWORD code = 0;
    // The copy ended without the removal (a stop or the user's No): its code.
    if (which != WAIT_OBJECT_0 && !GetExitCodeProcess(process.hProcess, &code))
        code = 2;
    ExitProcess(code);
}

// The starter waits for the event until this program signals it or ends.
void ReleaseStarter(void)
{
    const char *id = getenv(starter_variable);
    if (!id)
        return;
    DWORD process_id = static_cast<DWORD>(strtoul(id, NULL, 10));
    char event_name[64];
    EventName(event_name, sizeof event_name, process_id);
    HANDLE starter = OpenProcess(SYNCHRONIZE, FALSE, process_id);
    HANDLE done = OpenEventA(EVENT_MODIFY_STATE, FALSE, event_name);
    if (done) {
        SetEvent(done);
        CloseHandle(done);
    }
    // Its files are free once it has ended; a starter that hangs keeps them
    // for the next start of Windows.
    if (starter) {
        WaitForSingleObject(starter, 30000);
        CloseHandle(starter);
    }
}

std::string TempCopyFolder(void)
{
    char module[MAX_PATH];
    DWORD length = GetModuleFileNameA(NULL, module, sizeof module);
    if (!getenv(starter_variable) || length == 0 || length >= sizeof module)
        return "";
    return DirectoryOf(module);
}
