// words.cpp - splits a line into words, stepping by character so a trail byte
// is never taken for a blank or a quote.
#include "unattended/words.h"

#include <windows.h>

namespace rt {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

bool SplitWords(const char *text, DoubledQuote doubled, std::vector<std::string> &words) {
    const char *p = text ? text : "";
    bool quoted = false;
    while (*p) {
        while (IsBlank(*p)) p = CharNextA(p);
        if (!*p) break;
        std::string word;
        quoted = false;
        while (*p && (quoted || !IsBlank(*p))) {
            const char *next = CharNextA(p);
            if (*p == '"' && quoted && *next == '"' && doubled == DoubledQuote::StandsForQuote) {
                word += '"';
                next = CharNextA(next);
            } else if (*p == '"') {
                quoted = !quoted;
            } else {
                word.append(p, next);
            }
            p = next;
        }
        words.push_back(word);
    }
    return !quoted;
}

}  // namespace rt
