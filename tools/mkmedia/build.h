// build.h - a medium from a product tree and the vendor's script.
#pragma once

#include <string>

#include "medium.h"
#include "signing.h"

struct BuildOptions {
    std::string source;      // the vendor's setup.inf
    fs::path from;           // the product tree; empty: the directory of source
    fs::path output;         // the medium's directory
    fs::path programs;       // where setup.exe and its two libraries are
    bool kind_given = false;
    MediumKind kind = MediumKind::SINGLE;
    bool one_file = false;  // --kind exe: a single-directory medium in one program
    bool store = false;     // the one file's entries stored, not deflated
    bool compress_given = false;
    bool compress = false;
    unsigned long long disk_size = 0;  // 0: the kind's own
    bool quiet = false;
    SigningKey signing;  // no pfx: the program files are copied unsigned
};

// 0 when the medium is built and checked, 1 when it could not be (the
// reasons on standard error, nothing left under output).
int BuildMedium(const BuildOptions &options);

// A disk size: bytes, with K or M (1024 and 1024 * 1024), or a diskette
// format: 360K, 720K, 1.2M, 1.44M, 2.88M. 0 when the text is none of them.
unsigned long long ParseDiskSize(const std::string &text);
