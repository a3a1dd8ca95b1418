// folder_lines.h - a whole folder of the product tree in one line of the
// vendor's script, inside a part's BEGIN and END:
//   FOLDER SOURCE DESTINATION
// taken with its subfolders into the medium's script as the installer's own
// D and F lines: each directory before its files, names in order.
#pragma once

#include <string>
#include <vector>

#include "medium.h"

// The script's text with each FOLDER line replaced; origin[n] is the
// vendor's line of line n of the text (origin[0] unused). False, with the
// reasons in found, when a folder cannot be taken.
bool ExpandFolders(const Script &script, const fs::path &product_tree, std::string &text, std::vector<int> &origin,
                   std::vector<Diagnostic> &found);
