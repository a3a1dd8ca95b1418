// responder.h - answers dialogs and message boxes in /q and /a runs.
#pragma once

#include <string>
#include <vector>

#include "unattended/answer_file.h"

namespace rt {

enum class RunMode { Interactive, Quiet, Answers };

// An output symbol of a dialog procedure and the input symbol it shows first.
struct DialogOutput {
    const char *input;
    const char *output;
};

// The outputs of the library's procedure of that name; none for procedures
// that only report an event.
std::vector<DialogOutput> DialogOutputs(const std::string &procedure);

// Starts a run in the given mode; the answers are used in /a runs. Resets the
// answer cursor and the endless-loop counts.
void StartResponder(RunMode mode, std::vector<Answer> answers);

// True in /q and /a runs: no dialog or message box window is shown.
bool IsUnattended();

// Sets the output symbols of the dialog (transcribed like FSetSymbolValue):
// those the answer names to its values, the others to what the dialog shows,
// as a user who changes nothing leaves them. Returns the event word. Ends the run with exit code 3 on a mismatch, an
// exhausted answer file or an endless loop.
std::string AnswerDialog(unsigned dialogTemplate, const std::string &procedure);

// The button for a message box; ends the run like AnswerDialog.
int AnswerMessage(const char *text, unsigned style);

// The button a user meets first in a box of this style.
int FirstButton(unsigned style);

// Writes `abort "reason"` to the transcript and ends the process, exit code 3.
[[noreturn]] void AbortRun(const std::string &reason);

}  // namespace rt
