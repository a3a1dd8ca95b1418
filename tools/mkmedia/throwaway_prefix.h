// throwaway_prefix.h - a Wine prefix of its own in a temporary directory,
// for installing a medium as a customer would, then gone.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

enum class Family { NT, WIN95 };

class ThrowawayPrefix {
public:
    // Ctrl-C, a hang-up or a termination while a prefix lives stop its
    // programs and remove it; Interrupted() then tells the caller to end.
    ThrowawayPrefix();
    ~ThrowawayPrefix();
    ThrowawayPrefix(const ThrowawayPrefix &) = delete;
    ThrowawayPrefix &operator=(const ThrowawayPrefix &) = delete;

    // The temporary directory, empty when it could not be made.
    const fs::path &Scratch() const { return scratch_; }
    // Where the family keeps the program groups setup.exe makes.
    fs::path ProgramGroups(Family family) const;
    // Makes the prefix, with drive R: (a RAM disk) on an empty directory.
    bool Create(std::string &error);
    // Makes the prefix report that family to setup.exe, R: on a fresh
    // directory; returns that directory.
    bool Become(Family family, fs::path &drive, std::string &error);
    // Runs wine with args from directory; its output goes to log. The exit
    // code, or -1 after timeout_seconds or an interruption.
    int Wine(const std::vector<std::string> &args, const fs::path &directory, const fs::path &log,
             int timeout_seconds);
    static bool Interrupted();
    static int Signal();

private:
    int Run(const std::vector<std::string> &argv, const fs::path &directory, const fs::path &log,
            int timeout_seconds);
    bool Registry(const std::string &text, std::string &error);
    void StopServer();

    fs::path scratch_;
    fs::path prefix_;
    int drives_ = 0;
};

// The directory on PATH that holds an executable name, or an empty path.
fs::path FindOnPath(const std::string &name);
// A Linux path as Wine names it on drive Z:.
std::string WindowsPath(const fs::path &path);
