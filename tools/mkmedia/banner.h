// banner.h - the banner picture a script's BANNER line names: found and
// judged as the installer judges it, and carried onto the medium.
#pragma once

#include <string>
#include <vector>

#include "medium.h"

struct Banner {
    int line = 0;          // the BANNER line that counts (the last); 0: none
    std::string name;      // as the script gives it, medium-relative
    fs::path path;         // the file found below the directory looked in
};

// The script's banner, looked for below dir (the product tree, or the
// directory of setup.inf on a medium); what is wrong with it goes to found.
Banner FindBanner(const Script &script, const fs::path &dir, NameFinder &finder, std::vector<Diagnostic> &found);
