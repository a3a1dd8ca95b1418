// main.cpp - the launcher of a one-file medium: checks the archive it
// carries, writes setup.exe, its two libraries and setup.inf into a
// private directory under TMP, runs setup.exe from there with the
// launcher's command line, and returns its exit code. The download folder
// it lies in is never searched for a library.
#include <windows.h>

#include "command_line.h"
#include "dll_search.h"
#include "private_dir.h"
#include "refusal.h"
#include "unpack.h"

namespace {

const int kRefused = 2;  // as a start-up failure of setup.exe
const char kArchiveVariable[] = "SETUP_ARCHIVE";

// The refusal of a damaged download, with why.
void RefuseDamaged(const char *command_line, const MessageText &why)
{
    MessageText text;
    text.Add("This installation program is damaged or incomplete (").Add(why.Text()).Add("). Download it again.");
    ShowRefusal(command_line, text.Text());
}

// The refusal of what the system would not do: what, then the system's
// error, taken before anything else can change it.
void RefuseSystem(const char *command_line, const char *what, const char *more = "", const char *rest = "")
{
    DWORD error = GetLastError();
    MessageText text;
    text.Add(what).Add(more).Add(rest).Add(" (system error ").AddNumber(error, 10).Add(").");
    ShowRefusal(command_line, text.Text());
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
int RunSetup(const char *command_line, const PrivateDirectory &directory, const char *self)
{
    PathText program;
    program.Add(directory.Path()).Add("setup.exe");
    static LineText line, arguments;  // large: not on the stack
    line.Add('"').Add(program.Text()).Add('"');
    if (!program.Fits() || !PassedOnArguments(command_line, arguments) || !line.Add(arguments.Text()).Fits()) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        RefuseSystem(command_line, "Setup cannot be started: its command line is too long");
        return kRefused;
    }
    SetEnvironmentVariableA(kArchiveVariable, self);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    // Handles are inherited for the lock alone: the only inheritable one.
    if (!CreateProcessA(program.Text(), line.Chars(), NULL, NULL, TRUE, 0, NULL, directory.Path(), &startup,
                        &process)) {
        RefuseSystem(command_line, "Setup cannot be started");
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
        RefuseSystem(command_line, "Setup cannot find its own file");
        return kRefused;
    }
    // Open for the whole run, without write sharing: the archive setup.exe
    // reads cannot change under it.
    Handle archive_file(CreateFileA(self, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL));
    if (!archive_file.Valid()) {
        RefuseSystem(command_line, "Setup cannot read its own file");
        return kRefused;
    }
    OwnArchive archive;
    MessageText why;
    if (!archive.Open(archive_file.Get(), why)) {
        RefuseDamaged(command_line, why);
        return kRefused;
    }
    RemoveLeftovers();
    PrivateDirectory directory;
    if (!directory.Make()) {
        RefuseSystem(command_line, "Setup cannot make its directory in the folder for temporary files");
        return kRefused;
    }
    for (const char *name : kStartFiles) {
        bool damaged = false;
        PathText path;
        if (!path.Add(directory.Path()).Add(name).Fits()) {
            SetLastError(ERROR_FILENAME_EXCED_RANGE);
            RefuseSystem(command_line, "Setup cannot write ", name, " into the folder for temporary files");
            return kRefused;
        }
        if (!archive.Unpack(name, path.Text(), damaged, why)) {
            if (damaged)
                RefuseDamaged(command_line, why);
            else
                RefuseSystem(command_line, "Setup cannot write ", why.Text(), " into the folder for temporary files");
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
