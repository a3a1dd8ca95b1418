// transcript.h - the run's transcript (/t FILE): one line per event.
//
// Every writer goes through these functions; when no transcript is open they
// write nothing, but the install-engine actions still count as progress for
// the endless-loop check of unattended runs.
#pragma once

#include <string>

namespace rt {

// A string as a transcript field: in double quotes, with C escapes for the
// backslash, the quote and control bytes; bytes from 0x80 up as they are.
std::string Quote(const char *text);

namespace transcript {

// Creates (or truncates) the transcript file; false when it cannot be made.
// An earlier transcript is closed first.
bool Open(const std::string &path);
void Close();
// Every line since Open reached the file (true without a transcript).
bool Complete();

// Toolkit events.
void Set(const char *name, const char *value);
void Add(const char *name, const char *item);
void Dialog(unsigned dialogTemplate, const char *event);
void MsgBox(const char *text, const char *caption, unsigned style, int button);
void Abort(const std::string &reason);

// Install-engine actions: each one also resets the endless-loop counts,
// because the run made progress.
void Group(const char *group);
void Item(const char *group, const char *item, const char *command);
void EnvVar(const char *name, const char *value, unsigned mode);
void Error(const char *label);
// A file, directory, INI or log action, already written as `verb "field" ...`.
void Action(const std::string &line);
// The copy list: `copy "SRC" "DST"` per file copied or expanded, `keep "DST"`
// for a file left alone because its installed version is newer, and
// `billboard "DLL" ID` (`billboard "" 0` for a blank pause) per billboard shown.
void Copy(const char *source, const char *destination);
void Keep(const char *destination);
void Billboard(const char *dll, unsigned dialogTemplate);

}  // namespace transcript
}  // namespace rt
