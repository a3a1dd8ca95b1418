// output_place.h - where a medium may go without harm to what is there.
#pragma once

#include <string>

#include "medium.h"

// The medium's place as given, absolute, a trailing separator dropped.
fs::path OutputPlace(const fs::path &given);

// Why the medium may not go to output (from OutputPlace), or empty when it
// may: output does not exist, is an empty directory, or is an earlier
// medium that its record lists whole; its record's name is free or holds a
// record; neither it nor the record lies in the product tree or holds it.
// A one-file medium's output is a file: new, or an earlier one-file medium.
std::string OutputRefusal(const fs::path &output, const fs::path &product_tree, bool one_file = false);

// A name beside path that nothing has yet, hidden, with what in it.
fs::path FreeNameBeside(const fs::path &path, const char *what);
