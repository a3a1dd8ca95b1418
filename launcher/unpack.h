// unpack.h - the archive appended to the launcher, read through the
// archive module: judged whole at start, then the files setup.exe needs
// to start written out, each checked against its CRC-32 and length.
#pragma once

#include <windows.h>

#include "bounded_text.h"

// The files the launcher writes into its private directory; setup.exe
// reads the payload from the archive itself.
extern const char *const kStartFiles[4];

class OwnArchive {
public:
    OwnArchive();
    ~OwnArchive();
    OwnArchive(const OwnArchive &) = delete;
    OwnArchive &operator=(const OwnArchive &) = delete;

    // Reads the directory of the archive in file (the launcher's own,
    // held open by the caller). False with why when the archive is cut,
    // foreign, names an entry that leaves its place, or lacks a start file.
    bool Open(HANDLE file, MessageText &why);
    // Writes the entry name into the new file path, whole or not at all.
    // False with why, and damaged set when the archive was at fault rather
    // than the writing.
    bool Unpack(const char *name, const char *path, bool &damaged, MessageText &why);

    struct State;  // the file and the reader's state (unpack.cpp)

private:
    State *state_;
};
