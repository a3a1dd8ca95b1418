// progress.h - whether a run gets anywhere: how often each dialog or message
// was answered in a row since the last install-engine action. The responder
// counts the answers; every install-engine action in the transcript resets them.
#pragma once

#include <string>

namespace rt {

// The answers to the dialog or message named by key ("dialog 103",
// "msgbox <text>") since the last reset.
int AnswersInARow(const std::string &key);
void CountAnswerInARow(const std::string &key);

// The run made progress: the same dialog again is no longer a loop.
void ResetLoopCounts();

}  // namespace rt
