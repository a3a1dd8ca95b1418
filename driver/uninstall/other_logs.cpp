// The products beside the one being removed.
//
// A place that two installation logs name belongs to both: removing one
// product leaves it to the other, and the other's log learns what the first
// knew: that the place was not there before either (a file, a Path element,
// a directory), or the value it held before either.
#include "uninstall/other_logs.h"
#include "log/install_log.h"
#include "log/log_places.h"
#include "base/crc32.h"
#include "later_windows.h"

#include <string.h>

static const char uninstall_keys[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

static std::string LogFileKey(const std::string &log_path)
{
    std::string name = log_path.substr(log_path.rfind('\\') + 1);
    if (name.size() <= 14 || !SameText(name.substr(0, 10), "uninstall-") ||
        !SameText(name.substr(name.size() - 4), ".log"))
        return "";
    return name.substr(10, name.size() - 14);
}

static std::string TextValue(HKEY key, const char *name)
{
    char text[2048];
    DWORD type = 0, cb = sizeof text - 1;
    if (RegQueryValueExA(key, name, NULL, &type, reinterpret_cast<BYTE *>(text), &cb) != ERROR_SUCCESS ||
        type != REG_SZ)
        return "";
    text[cb] = '\0';
    return text;
}

static int NumberValue(HKEY key, const char *name, DWORD *number)
{
    DWORD type = 0, cb = sizeof *number;
    return RegQueryValueExA(key, name, NULL, &type, reinterpret_cast<BYTE *>(number), &cb) == ERROR_SUCCESS &&
           type == REG_DWORD && cb == sizeof *number;
}

int ReadEntry(const std::string &log_path, struct log_entry *entry)
{
    std::string file_key = LogFileKey(log_path);
    if (file_key.empty())
        return 0;
    entry->key_path = uninstall_keys + file_key;
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, entry->key_path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return 0;
    entry->name = TextValue(key, "DisplayName");
    entry->company = TextValue(key, "Publisher");
    entry->command = TextValue(key, "UninstallString");
    entry->location = TextValue(key, "InstallLocation");
    entry->sealed = NumberValue(key, "LogSize", &entry->size) && NumberValue(key, "LogCrc", &entry->crc);
    RegCloseKey(key);
    return 1;
}

// The entry of another log is sealed again after that log was added to.
static void ResealEntry(const std::string &log_path, const std::string &text)
{
    struct log_entry entry;
    HKEY key;
    if (!ReadEntry(log_path, &entry) || !entry.sealed ||
        RegOpenKeyExA(HKEY_LOCAL_MACHINE, entry.key_path.c_str(), 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
        return;
    DWORD size = static_cast<DWORD>(text.size()), crc = Crc32(0, text.data(), text.size());
    RegSetValueExA(key, "LogSize", 0, REG_DWORD, reinterpret_cast<const BYTE *>(&size), sizeof size);
    RegSetValueExA(key, "LogCrc", 0, REG_DWORD, reinterpret_cast<const BYTE *>(&crc), sizeof crc);
    RegCloseKey(key);
}


std::string PlaceKey(const struct log_record &r)
{
    switch (r.kind) {
    case LOG_FILE:
    case LOG_ROOTFILE: return "F" + FoldedText(r.path);
    case LOG_SHORTCUT: return "S" + FoldedText(r.path);
    case LOG_DIR:
    case LOG_GROUP: return "D" + FoldedText(r.path);
    case LOG_KEY: return "K" + FoldedText(r.path);
    case LOG_VALUE: return "V" + FoldedText(r.path) + "\n" + FoldedText(r.second);
    case LOG_PATH: return "P" + FoldedText(r.path);
    default: return "";
    }
}

void SpanPlaces(const std::vector<struct log_record> &records, place_spans &spans)
{
    spans.clear();
    for (size_t i = 0; i < records.size(); i++) {
        std::string key = PlaceKey(records[i]);
        if (key.empty())
            continue;
        auto found = spans.find(key);
        if (found == spans.end())
            spans.emplace(key, std::make_pair(i, i));
        else
            found->second.second = i;
    }
}

static int ReadWholeText(const std::string &path, std::string &text)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    static char block[65536];
    DWORD got = 0;
    BOOL read = TRUE;
    while ((read = ReadFile(file, block, sizeof block, &got, NULL)) && got > 0 && text.size() < (64u << 20))
        text.append(block, got);
    CloseHandle(file);
    return read && text.size() < (64u << 20);
}

// Each directory above path, up to the drive, as a key of "below".
static void NoteDirectoriesAbove(struct other_logs &others, const std::string &path, size_t log)
{
    for (size_t at = path.rfind('\\'); at != std::string::npos && at > 2; at = path.rfind('\\', at - 1))
        others.below.emplace(FoldedText(path.substr(0, at)), log);
}

void ReadOtherLogs(const std::string &dir, const std::string &own_log, struct other_logs &others)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((dir + "\\uninstall-*.log").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        struct other_log log;
        std::string text, problem;
        log.path = dir + "\\" + found.cFileName;
        log.changed = 0;
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || SameText(log.path, own_log) ||
            !ReadWholeText(log.path, text) || !ParseLog(text, log.records, problem))
            continue;
        size_t index = others.logs.size();
        for (struct log_record &r : log.records) {
            std::string plain;
            if ((r.kind == LOG_FILE || r.kind == LOG_DIR) && PlainPath(r.path, plain))
                r.path = plain;
            if (r.kind == LOG_FILE || r.kind == LOG_DIR || r.kind == LOG_SHORTCUT)
                NoteDirectoriesAbove(others, r.path, index);
        }
        SpanPlaces(log.records, log.spans);
        for (const auto &span : log.spans)
            others.holders[span.first].push_back(index);
        others.logs.push_back(log);
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

// Mine came first: the other found in place what I had put there.
static int CameBefore(const struct log_record &my_first, const struct log_record &my_last,
                      const struct log_record &other_first)
{
    if (!other_first.existed)
        return 0;
    if (!my_first.existed)
        return 1;
    return other_first.kind == LOG_VALUE && my_last.has_set && other_first.type == my_last.set_type &&
           other_first.data == my_last.set_data;
}

static int ValueIs(const struct log_record &r, unsigned long type, const std::string &data)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, r.path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return 0;
    DWORD now_type = 0, cb = 0;
    std::vector<char> now;
    int found = RegQueryValueExA(key, r.second.c_str(), NULL, &now_type, NULL, &cb) == ERROR_SUCCESS;
    now.resize(cb + 1);
    found = found && RegQueryValueExA(key, r.second.c_str(), NULL, &now_type, reinterpret_cast<BYTE *>(now.data()),
                                      &cb) == ERROR_SUCCESS;
    RegCloseKey(key);
    return found && now_type == type && std::string(now.data(), cb) == data;
}

// A value that mine set last over one that another still installed set: the
// other's comes back.
static int OthersValueReturns(struct other_logs &others, const std::vector<size_t> &holders,
                              const struct log_record &first, const struct log_record &last)
{
    if (first.kind != LOG_VALUE || !first.existed || !last.has_set || !ValueIs(last, last.set_type, last.set_data))
        return 0;
    for (size_t index : holders) {
        struct other_log &other = others.logs[index];
        const struct log_record &other_last = other.records[other.spans[PlaceKey(first)].second];
        if (other_last.has_set && other_last.set_type == first.type && other_last.set_data == first.data)
            return 1;
    }
    return 0;
}

int KeptForOthers(struct other_logs &others, const std::vector<struct log_record> &mine,
                  const std::pair<size_t, size_t> &span)
{
    const struct log_record &first = mine[span.first], &last = mine[span.second];
    auto holders = others.holders.find(PlaceKey(first));
    if (holders == others.holders.end())
        return 0;
    if (OthersValueReturns(others, holders->second, first, last))
        return 0;
    for (size_t index : holders->second) {
        struct other_log &other = others.logs[index];
        const std::pair<size_t, size_t> &other_span = other.spans[PlaceKey(first)];
        struct log_record &other_first = other.records[other_span.first];
        struct log_record &other_last = other.records[other_span.second];
        if (CameBefore(first, last, other_first)) {
            other_first.existed = first.existed;
            other_first.type = first.type;
            other_first.data = first.data;
            other.changed = 1;
        }
        // Mine was written last: the file is as mine left it, and so the
        // other's record must know it.
        unsigned long long size = 0;
        unsigned long crc = 0;
        if (first.kind == LOG_FILE && (other_last.size != last.size || other_last.crc != last.crc) &&
            FileChecksum(last.path.c_str(), &size, &crc) && size == last.size && crc == last.crc) {
            other_last.size = size;
            other_last.crc = crc;
            other.changed = 1;
        }
    }
    return 1;
}

int HandedOver(struct other_logs &others, const struct log_record &dir)
{
    auto below = others.below.find(FoldedText(dir.path));
    if (below == others.below.end())
        return 0;
    struct other_log &other = others.logs[below->second];
    struct log_record taken = dir;
    other.records.push_back(taken);
    other.spans.emplace(PlaceKey(taken), std::make_pair(other.records.size() - 1, other.records.size() - 1));
    others.holders[PlaceKey(taken)].push_back(below->second);
    other.changed = 1;
    return 1;
}

// Written beside it and put in its place whole: a run cut short leaves the
// old log or the new one.
static int ReplaceLog(const std::string &path, const std::string &text)
{
    std::string fresh = path + ".~new";
    HANDLE file = CreateFileA(fresh.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    DWORD written = 0;
    int whole = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, NULL) && written == text.size();
    CloseHandle(file);
    if (whole && (MoveFileWithFlags(fresh.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING) ||
                  (DeleteFileA(path.c_str()) && MoveFileA(fresh.c_str(), path.c_str()))))
        return 1;
    DeleteFileA(fresh.c_str());
    return 0;
}

void WriteChangedLogs(struct other_logs &others)
{
    for (const struct other_log &log : others.logs) {
        if (!log.changed)
            continue;
        std::string text = SealLogLine(LOG_FIRST_LINE) + "\r\n";
        for (const struct log_record &r : log.records)
            text += SealLogLine(FormatLogRecord(&r)) + "\r\n";
        if (ReplaceLog(log.path, text))
            ResealEntry(log.path, text);
    }
}
