// words.h - the words of a command line or of an answer line.
#pragma once

#include <string>
#include <vector>

namespace rt {

// How a quoted stretch reads "" inside it.
enum class DoubledQuote {
    Toggles,         // the command line: it ends the stretch and starts another
    StandsForQuote,  // an answer line: one quote of the word
};

// Splits text at blanks and tabs. A double quote starts a stretch that may
// hold blanks; the quotes themselves are dropped. Every word goes into words;
// false when the last stretch is not closed.
bool SplitWords(const char *text, DoubledQuote doubled, std::vector<std::string> &words);

}  // namespace rt
