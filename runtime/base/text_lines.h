// text_lines.h - texts and small text files (INI and batch files) as lines.
#pragma once

#include <string>
#include <vector>

namespace rt {

// The lines of a text without their line ends (LF or CR LF); a line end at
// the end of the text is no empty line after it.
std::vector<std::string> SplitLines(const std::string &text);

// The lines of a file without their line ends; a DOS end-of-file mark (Ctrl+Z) at the
// end is dropped. False when the file cannot be read (GetLastError tells why).
bool ReadTextLines(const std::string &path, std::vector<std::string> &lines);

// Writes the lines, each ending in CR LF, in place of the file's text.
bool WriteTextLines(const std::string &path, const std::vector<std::string> &lines);

}  // namespace rt
