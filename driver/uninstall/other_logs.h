// other_logs.h - the products beside the one being removed: the uninstall
// entry of a log, and the other installation logs of the same folder, whose
// products keep what they share with it.
#pragma once

#include "log/log_lines.h"

#include <windows.h>

#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

// The uninstall entry of a log "<dir>\uninstall-<key>.log": its key and what
// it says of the log.
struct log_entry {
    std::string key_path;
    std::string name;  // the software's
    std::string company;
    std::string command;
    std::string location;
    int sealed;  // the log's size and CRC-32 as the installation left it
    DWORD size, crc;
};

// 0 when the log's name has no entry.
int ReadEntry(const std::string &log_path, struct log_entry *entry);

// One key for every record of one place: a file, a shortcut, a directory, a
// key, a value, a Path element; "" for the other records.
std::string PlaceKey(const struct log_record &r);

// The first and the last record of each place.
typedef std::unordered_map<std::string, std::pair<size_t, size_t>> place_spans;
void SpanPlaces(const std::vector<struct log_record> &records, place_spans &spans);

struct other_log {
    std::string path;
    std::vector<struct log_record> records;
    place_spans spans;
    int changed;
};

struct other_logs {
    std::vector<struct other_log> logs;
    // The logs that name a place, and those with a file or directory below
    // a directory.
    std::unordered_map<std::string, std::vector<size_t>> holders;
    std::unordered_map<std::string, size_t> below;
};

// Every other sound log of our name in dir.
void ReadOtherLogs(const std::string &dir, const std::string &own_log, struct other_logs &others);

// Whether another product holds the place of mine[span]: it then stays, and
// the other's records take over what mine knew of the time before both. A
// value mine set over the other's is not held: the other's comes back.
int KeptForOthers(struct other_logs &others, const std::vector<struct log_record> &mine,
                  const std::pair<size_t, size_t> &span);

// A directory of mine that another product's files lie in: the other takes
// it over, to remove once it is empty.
int HandedOver(struct other_logs &others, const struct log_record &dir);

// The logs that took something over, written whole again; a sealed entry
// takes the new seal.
void WriteChangedLogs(struct other_logs &others);
