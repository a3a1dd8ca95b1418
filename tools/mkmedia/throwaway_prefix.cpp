// throwaway_prefix.cpp - Wine run in a prefix that lives in a temporary
// directory: programs are started with fork and exec in a process group of
// their own, so a hung or interrupted run can be ended whole.
#include "throwaway_prefix.h"

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <fstream>

namespace {

volatile sig_atomic_t caught_signal = 0;
const int kCaught[] = {SIGINT, SIGTERM, SIGHUP};
struct sigaction previous[3];

void Catch(int signal_number)
{
    caught_signal = signal_number;
}

void Pause()
{
    struct timespec step = {0, 20 * 1000 * 1000};
    nanosleep(&step, NULL);
}

}  // namespace

fs::path FindOnPath(const std::string &name)
{
    const char *path = getenv("PATH");
    std::string dirs = path != NULL ? path : "";
    size_t at = 0;
    while (at <= dirs.size()) {
        size_t colon = dirs.find(':', at);
        if (colon == std::string::npos)
            colon = dirs.size();
        std::string dir = dirs.substr(at, colon - at);
        at = colon + 1;
        if (dir.empty())
            dir = ".";
        if (access((fs::path(dir) / name).c_str(), X_OK) == 0)
            return dir;
    }
    return fs::path();
}

std::string WindowsPath(const fs::path &path)
{
    std::string text = "Z:" + fs::absolute(path).lexically_normal().string();
    for (char &ch : text) {
        if (ch == '/')
            ch = '\\';
    }
    return text;
}

ThrowawayPrefix::ThrowawayPrefix()
{
    struct sigaction action = {};
    action.sa_handler = Catch;
    sigemptyset(&action.sa_mask);
    for (int i = 0; i < 3; i++)
        sigaction(kCaught[i], &action, &previous[i]);
    const char *tmp = getenv("TMPDIR");
    std::string pattern = std::string(tmp != NULL && *tmp != '\0' ? tmp : "/tmp") + "/mkmedia-verify.XXXXXX";
    if (mkdtemp(&pattern[0]) != NULL) {
        scratch_ = pattern;
        prefix_ = scratch_ / "prefix";
    }
    setenv("WINEPREFIX", prefix_.c_str(), 1);
    // Wine's server keeps its socket below TMPDIR: that goes with the rest.
    if (!scratch_.empty())
        setenv("TMPDIR", scratch_.c_str(), 1);
    setenv("WINEDEBUG", "-all", 1);
    // Keeps wineboot from asking for add-ons it cannot fetch.
    setenv("WINEDLLOVERRIDES", "mscoree,mshtml=", 1);
}

ThrowawayPrefix::~ThrowawayPrefix()
{
    if (!scratch_.empty()) {
        if (fs::exists(prefix_))
            StopServer();
        std::error_code error;
        fs::remove_all(scratch_, error);
    }
    for (int i = 0; i < 3; i++)
        sigaction(kCaught[i], &previous[i], NULL);
}

fs::path ThrowawayPrefix::ProgramGroups(Family family) const
{
    fs::path drive_c = prefix_ / "drive_c";
    return family == Family::WIN95 ? drive_c / "windows" / "Start Menu" / "Programs"
                                   : drive_c / "ProgramData" / "Microsoft" / "Windows" / "Start Menu" / "Programs";
}

bool ThrowawayPrefix::Interrupted()
{
    return caught_signal != 0;
}

int ThrowawayPrefix::Signal()
{
    return caught_signal;
}

int ThrowawayPrefix::Run(const std::vector<std::string> &argv, const fs::path &directory, const fs::path &log,
                         int timeout_seconds)
{
    std::vector<char *> args;
    for (const std::string &arg : argv)
        args.push_back(const_cast<char *>(arg.c_str()));
    args.push_back(NULL);
    pid_t child = fork();
    if (child < 0)
        return -1;
    if (child == 0) {
        setpgid(0, 0);
        int in = open("/dev/null", O_RDONLY);
        int out = open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        if (in < 0 || out < 0 || chdir(directory.c_str()) != 0)
            _exit(127);
        dup2(in, 0);
        dup2(out, 1);
        dup2(out, 2);
        execvp(args[0], args.data());
        _exit(127);
    }
    setpgid(child, child);
    time_t deadline = time(NULL) + timeout_seconds;
    int status = 0;
    for (;;) {
        pid_t done = waitpid(child, &status, WNOHANG);
        if (done == child)
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        if (done < 0)
            return -1;
        if (Interrupted() || time(NULL) > deadline) {
            kill(-child, SIGKILL);
            waitpid(child, &status, 0);
            return -1;
        }
        Pause();
    }
}

int ThrowawayPrefix::Wine(const std::vector<std::string> &args, const fs::path &directory, const fs::path &log,
                          int timeout_seconds)
{
    std::vector<std::string> argv = {"wine"};
    argv.insert(argv.end(), args.begin(), args.end());
    return Run(argv, directory, log, timeout_seconds);
}

void ThrowawayPrefix::StopServer()
{
    // Even after an interruption: the prefix's programs must end before
    // their files go.
    std::vector<std::string> kill_all = {"wineserver", "-k"};
    std::vector<std::string> wait = {"wineserver", "-w"};
    int interrupted = caught_signal;
    caught_signal = 0;
    Run(kill_all, scratch_, scratch_ / "wineserver.log", 30);
    Run(wait, scratch_, scratch_ / "wineserver.log", 30);
    if (interrupted != 0)
        caught_signal = interrupted;
}

bool ThrowawayPrefix::Create(std::string &error)
{
    if (scratch_.empty()) {
        error = "cannot make a temporary directory";
        return false;
    }
    int status = Wine({"wineboot", "-i"}, scratch_, scratch_ / "wineboot.log", 600);
    Run({"wineserver", "-w"}, scratch_, scratch_ / "wineserver.log", 60);
    if (status != 0 || !fs::is_directory(prefix_ / "drive_c" / "windows" / "system32")) {
        error = Interrupted() ? "interrupted" : "wineboot -i could not make a prefix (exit code " +
                                                    std::to_string(status) + ")";
        return false;
    }
    return true;
}

bool ThrowawayPrefix::Registry(const std::string &text, std::string &error)
{
    fs::path file = scratch_ / "settings.reg";
    std::ofstream(file) << "REGEDIT4\n\n" << text;
    if (Wine({"regedit", "/s", WindowsPath(file)}, scratch_, scratch_ / "regedit.log", 120) != 0) {
        error = "regedit could not write the prefix's settings";
        return false;
    }
    return true;
}

bool ThrowawayPrefix::Become(Family family, fs::path &drive, std::string &error)
{
    drive = scratch_ / ("drive" + std::to_string(++drives_));
    std::error_code failed;
    fs::create_directories(drive, failed);
    fs::path letter = prefix_ / "dosdevices" / "r:";
    fs::remove(letter, failed);
    fs::create_directory_symlink(drive, letter, failed);
    if (failed) {
        error = "cannot make drive R: of the prefix: " + failed.message();
        return false;
    }
    bool win95 = family == Family::WIN95;
    std::string settings = "[HKEY_LOCAL_MACHINE\\Software\\Wine\\Drives]\n\"r:\"=\"ramdisk\"\n\n"
                           // Without a window manager Wine waits 2 s whenever a window is hidden.
                           "[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]\n\"Managed\"=\"N\"\n\n"
                           "[HKEY_CURRENT_USER\\Software\\Wine\\AppDefaults\\setup.exe]\n\"Version\"=";
    settings += win95 ? "\"win98\"\n" : "-\n";
    if (!Registry(settings, error))
        return false;
    if (win95) {
        // Such a system keeps expand.exe in the Windows directory.
        fs::path windows = prefix_ / "drive_c" / "windows";
        fs::copy_file(windows / "system32" / "expand.exe", windows / "expand.exe",
                      fs::copy_options::overwrite_existing, failed);
        if (failed) {
            error = "cannot put expand.exe in the Windows directory: " + failed.message();
            return false;
        }
    }
    // Drive kinds and the reported version are read when the server starts.
    StopServer();
    return !Interrupted();
}
