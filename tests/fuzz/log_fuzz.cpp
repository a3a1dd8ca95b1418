// log_fuzz.cpp - an installation log as a forger would write it: lines of
// record bodies, which the target seals (so that every input reaches the
// fields), and the same bytes as a log of their own. What is taken reads back
// the same once written again, and every record judged in its place names a
// plain path inside that place.
#include "fuzz_support.h"
#include "log/log_lines.h"
#include "log/log_places.h"

#include <stdint.h>

#include <string>
#include <vector>

namespace {

bool SameRecord(const log_record &a, const log_record &b)
{
    return a.kind == b.kind && a.path == b.path && a.second == b.second && a.existed == b.existed &&
           a.size == b.size && a.crc == b.crc && a.part == b.part && a.type == b.type && a.data == b.data && a.has_set == b.has_set &&
           a.set_type == b.set_type && a.set_data == b.set_data;
}

std::string LogOf(const std::vector<log_record> &records)
{
    std::string text = SealLogLine(LOG_FIRST_LINE) + "\r\n";
    for (const log_record &r : records)
        text += SealLogLine(FormatLogRecord(&r)) + "\r\n";
    return text;
}

void CheckPlace(const log_record &r, const log_places &places)
{
    std::string plain;
    bool is_path = r.kind == LOG_FILE || r.kind == LOG_DIR || r.kind == LOG_SHORTCUT || r.kind == LOG_GROUP ||
                   r.kind == LOG_ROOTFILE;
    if (!is_path)
        return;
    Require(PlainPath(r.path, plain) && plain == r.path, "a judged path is not plain");
    for (unsigned char c : r.path)
        Require(c >= 0x20, "a judged path holds a control byte");
    if (r.kind == LOG_FILE)
        Require(PathLiesIn(r.path, places.dir, false), "a file outside the installation is taken");
    if (r.kind == LOG_DIR)
        Require(PathLiesIn(r.path, places.dir, true), "a directory outside the installation is taken");
    if (r.kind == LOG_SHORTCUT || r.kind == LOG_GROUP)
        Require(PathLiesIn(r.path, places.programs, false), "a shortcut outside the Start menu is taken");
}

void Judge(const std::vector<log_record> &read)
{
    for (int win95 = 0; win95 < 2; win95++) {
        std::vector<log_record> records = read;
        log_places places = {"R:\\usr", "C:\\Start Menu\\Programs", "C:", "Quorvane", records[0].path, win95};
        std::string problem;
        if (!JudgeLogRecords(records, places, problem)) {
            Require(problem.find(" names a place outside the installation") != std::string::npos,
                    "a refusal names no line");
            continue;
        }
        for (const log_record &r : records)
            CheckPlace(r, places);
    }
}

void Take(const std::string &text)
{
    std::vector<log_record> records, again;
    std::string problem;
    if (!ParseLog(text, records, problem)) {
        Require(records.empty() && !problem.empty(), "a refused log left records or no reason");
        return;
    }
    Require(!records.empty() && records[0].kind == LOG_SOFTWARE, "a log without its software is taken");
    Require(ParseLog(LogOf(records), again, problem), "a log written from its records is refused");
    Require(again.size() == records.size(), "records lost when written again");
    for (size_t i = 0; i < records.size(); i++)
        Require(SameRecord(records[i], again[i]), "a record reads back otherwise");
    Judge(records);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string input(reinterpret_cast<const char *>(data), size);
    std::string sealed = SealLogLine(LOG_FIRST_LINE) + "\r\n";
    size_t start = 0;
    while (start < input.size()) {
        size_t end = input.find('\n', start);
        std::string body = input.substr(start, end == std::string::npos ? std::string::npos : end - start);
        sealed += SealLogLine(body) + "\r\n";
        start = end == std::string::npos ? input.size() : end + 1;
    }
    Take(sealed);
    Take(input);
    return 0;
}
