// private_dir.h - the directory under TMP that setup.exe runs from: made
// by the launcher under a name no one could take first, readable and
// writable by the user alone (NT family), removed on every ending; one
// left by a killed run is removed by the next.
#pragma once

#include <windows.h>

#include "bounded_text.h"

class PrivateDirectory {
public:
    PrivateDirectory() = default;
    PrivateDirectory(const PrivateDirectory &) = delete;
    PrivateDirectory &operator=(const PrivateDirectory &) = delete;
    ~PrivateDirectory() { Remove(); }

    // Makes the directory with its lock and marker. False when it cannot.
    bool Make();
    const char *Path() const { return path_.Text(); }
    // The lock, held for the run: setup.exe inherits it, so a directory in
    // use is never taken for a leftover.
    HANDLE Lock() const { return lock_; }
    // The directory and what the run put in it, gone; harmless twice.
    void Remove();

private:
    PathText path_;  // empty when there is none
    HANDLE lock_ = INVALID_HANDLE_VALUE;
};

// Removes the directories under TMP that killed runs of the launcher left:
// only those with its name and its marker, whose lock no run holds, never
// through a reparse point.
void RemoveLeftovers();
