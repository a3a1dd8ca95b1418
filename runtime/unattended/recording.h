// recording.h - the answers a user gives, written as an answer file (/r FILE).
//
// Each answer is one line, written whole the moment it is given, so that the
// file replays the run with /a as far as the user took it, however it ends.
#pragma once

#include <string>

namespace rt {
namespace recording {

// The heading, by which an earlier recording is known.
extern const char kFirstLine[];

// Creates (or truncates) the file and writes its heading; false when it
// cannot be made. An earlier recording is closed first.
bool Open(const std::string &path);
void Close();
// Every answer since Open reached the file (true without a recording).
bool Complete();

// `dialog T EVENT NAME=VALUE ...`: the event and the procedure's outputs as
// the user left them.
void Dialog(unsigned dialogTemplate, const char *event, const std::string &procedure);
// `msgbox BUTTON`.
void MsgBox(int button);

}  // namespace recording
}  // namespace rt
