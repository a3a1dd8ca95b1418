// progress.cpp - the answers given in a row, for the endless-loop check.
#include "transcript/progress.h"

#include <map>

namespace rt {
namespace {

std::map<std::string, int> g_answeredInARow;

}  // namespace

int AnswersInARow(const std::string &key) {
    auto found = g_answeredInARow.find(key);
    return found == g_answeredInARow.end() ? 0 : found->second;
}

void CountAnswerInARow(const std::string &key) { ++g_answeredInARow[key]; }

void ResetLoopCounts() { g_answeredInARow.clear(); }

}  // namespace rt
