// main.cpp - the launcher of a one-file medium: checks the archive it
// carries, writes setup.exe, its two libraries and setup.inf into a
// private directory under TMP, runs setup.exe from there with the
// launcher's command line, and returns its exit code. The download folder
// it lies in is never searched for a library.
#include <windows.h>

#include <string>

#include "command_line.h"
#include "dll_search.h"
#include "number_text.h"
#include "private_dir.h"
#include "refusal.h"
#include "unpack.h"

namespace {

const int kRefused = 2;  // as a start-up failure of setup.exe
const char kArchiveVariable[] = "SETUP_ARCHIVE";
const char kDamaged[] = "This installation program is damaged or incomplete (%s). Download it again.";

std::string Damaged(const std::string &why)
{
    std::string text = kDamaged;
    return text.replace(text.find("%s"), 2, why);
}

std::string SystemError(const char *what)
{
    return std::string(what) + " (system error " + NumberText(GetLastError(), 10) + ").";
}

class Handle {
public:
    explicit Handle(HANDLE handle) : handle_(handle) {}
    ~Handle()
    {
        if (handle_ != INVALID_HANDLE_VALUE && handle_ != NULL)
            CloseHandle(handle_);
    }
    Handle(const Handle &) = delete;
    Handle &operator=(const Handle &) = delete;
    HANDLE Get() const { return handle_; }
    bool Valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != NULL; }

private:
    HANDLE handle_;
};

// setup.exe from the private directory, which is also its current one, so
// that neither a library nor setup.inf is taken from the download folder.
int RunSetup(const char *command_line, const PrivateDirectory &directory, const std::string &self)
{
    std::string program = directory.Path() + "setup.exe";
    std::string line = "\"" + program + "\"" + PassedOnArguments(command_line);
    SetEnvironmentVariableA(kArchiveVariable, self.c_str());
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    // Handles are inherited for the lock alone: the only inheritable one.
    if (!CreateProcessA(program.c_str(), &line[0], NULL, NULL, TRUE, 0, NULL, directory.Path().c_str(), &startup,
                        &process)) {
        ShowRefusal(command_line, SystemError("Setup cannot be started"));
        return kRefused;
    }
    CloseHandle(process.hThread);
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = kRefused;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hProcess);
    return static_cast<int>(code);
}

int Launch(const char *command_line)
{
    char self[MAX_PATH];
    DWORD length = GetModuleFileNameA(NULL, self, sizeof self);
    if (length == 0 || length >= sizeof self) {
        ShowRefusal(command_line, SystemError("Setup cannot find its own file"));
        return kRefused;
    }
    // Open for the whole run, without write sharing: the archive setup.exe
    // reads cannot change under it.
    Handle archive_file(CreateFileA(self, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL));
    if (!archive_file.Valid()) {
        ShowRefusal(command_line, SystemError("Setup cannot read its own file"));
        return kRefused;
    }
    OwnArchive archive;
    std::string why;
    if (!archive.Open(archive_file.Get(), why)) {
        ShowRefusal(command_line, Damaged(why));
        return kRefused;
    }
    RemoveLeftovers();
    PrivateDirectory directory;
    if (!directory.Make()) {
        ShowRefusal(command_line, SystemError("Setup cannot make its directory in the folder for temporary files"));
        return kRefused;
    }
    for (const char *name : kStartFiles) {
        bool damaged = false;
        if (!archive.Unpack(name, directory.Path() + name, damaged, why)) {
            ShowRefusal(command_line, damaged ? Damaged(why) : SystemError(("Setup cannot write " + why + " into the folder for temporary files").c_str()));
            return kRefused;
        }
    }
    return RunSetup(command_line, directory, self);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    RestrictDllSearch();
    return Launch(GetCommandLineA());
}
