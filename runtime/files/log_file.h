// log_file.h - the log file and the record of file, directory and INI actions.
#pragma once

#include <initializer_list>
#include <string>

namespace rt {

// Writes the line and a line end to the open log file; nothing without one.
void LogLine(const std::string &line);

// An action that changed the system: `verb "field" ...` in the transcript and
// in the log.
void RecordAction(const char *verb, std::initializer_list<const char *> fields);

}  // namespace rt
