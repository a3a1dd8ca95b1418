// The installation log, written through line by line: a run that stops
// half way leaves the record of what it did up to there.
#include "log/install_log.h"
#include "log/batch_file.h"
#include "log/log_lines.h"
#include "base/fatal.h"
#include "setuprt.h"
#include "base/text.h"
#include "later_shell.h"

#include <shlobj.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

// The file set whose records come next, the log being written, and what
// this run has told each log already.
static struct {
    struct _fileset_info *selected;
    HANDLE file = INVALID_HANDLE_VALUE;
    char software_name[256];
    char path[MAX_PATH];
    const struct _fileset_info *fileset;
    int destination_made;
    char announced[MAX_FILE_SETS][256];
    int announced_count;
} current;

static int IsKeptByte(unsigned char c, int at_end, int dash_kept)
{
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))
        return 1;
    if (c == ' ' || c == '.')
        return !at_end;
    return (c == '-' && dash_kept) || c == '_' || c == '(' || c == ')';
}

// A key name and a file name hold at most 255 characters: a longer escaped
// name (or an empty one) is cut and told apart by the CRC-32 of the whole.
enum { LONGEST_ESCAPED_NAME = 200 };

// Byte by byte: a double-byte character is escaped whole, lead and trail.
// Adds to escaped up to the longest length; 0 when the name had to be cut.
static int AppendEscaped(std::string &escaped, const char *name, int dash_kept)
{
    size_t length = strlen(name);
    for (size_t i = 0; i < length; i++) {
        unsigned char c = static_cast<unsigned char>(name[i]);
        char piece[4];
        if (IsKeptByte(c, i == 0 || i + 1 == length, dash_kept))
            FormatText(piece, sizeof piece, "%c", c);
        else
            FormatText(piece, sizeof piece, "%%%02X", c);
        if (escaped.size() + strlen(piece) > LONGEST_ESCAPED_NAME)
            return 0;
        escaped += piece;
    }
    return 1;
}

// "~" itself is always escaped, so a cut name never equals a whole one.
static int KeyNameOf(char *key, size_t cb, const std::string &escaped, int whole, const std::string &name)
{
    if (!whole)
        return FormatText(key, cb, "%s~%08lx", escaped.c_str(), Crc32(0, name.data(), name.size()));
    return CopyText(key, cb, escaped.c_str());
}

int SoftwareKeyName(char *key, size_t cb, const char *software_name)
{
    std::string escaped;
    int whole = *software_name != '\0' && AppendEscaped(escaped, software_name, 1);
    return KeyNameOf(key, cb, escaped, whole, software_name);
}

// "-" joins the two names and is escaped within them, so that no two pairs
// of names give one key.
int ProductKeyName(char *key, size_t cb, const char *company, const char *software_name)
{
    std::string escaped;
    int whole = *company != '\0' && *software_name != '\0' && AppendEscaped(escaped, company, 0) &&
                AppendEscaped(escaped += "-", software_name, 0);
    return KeyNameOf(key, cb, escaped, whole, std::string(company) + '\0' + software_name);
}

int LogPathOf(char *path, size_t cb, const char *dst_dir, const char *company, const char *software_name)
{
    char key[256];
    return ProductKeyName(key, sizeof key, company, software_name) &&
           FormatText(path, cb, "%s\\uninstall-%s.log", dst_dir, key);
}

int EarlierLogPathOf(char *path, size_t cb, const char *dst_dir, const char *software_name)
{
    char key[256];
    return SoftwareKeyName(key, sizeof key, software_name) &&
           FormatText(path, cb, "%s\\uninstall-%s.log", dst_dir, key);
}

void LogDestinationMade(void)
{
    current.destination_made = 1;
}

static void CloseCurrentLog(void);

[[noreturn]] static void LogFailed(struct _setup_info *si)
{
    CloseCurrentLog();
    FatalStopFormatted(si, "Fatal Error", "Cannot write the installation log %s", current.path);
}

// A line that could not be written whole (a full disk) is taken out again:
// the log stays readable up to the line before.
static void WriteLine(struct _setup_info *si, const std::string &body)
{
    std::string line = SealLogLine(body) + "\r\n";
    DWORD start = SetFilePointer(current.file, 0, NULL, FILE_CURRENT), written = 0;
    if (!WriteFile(current.file, line.data(), static_cast<DWORD>(line.size()), &written, NULL) ||
        written != line.size()) {
        if (start != INVALID_SET_FILE_POINTER && SetFilePointer(current.file, start, NULL, FILE_BEGIN) == start)
            SetEndOfFile(current.file);
        LogFailed(si);
    }
}

static void EnsureLogOpen(struct _setup_info *si);

static void WriteRecord(struct _setup_info *si, struct log_record *record)
{
    if (!current.selected)
        return;
    EnsureLogOpen(si);
    WriteLine(si, FormatLogRecord(record));
}

static void WriteText(struct _setup_info *si, enum log_kind kind, const char *text)
{
    struct log_record record = {};
    record.kind = kind;
    record.path = text;
    WriteRecord(si, &record);
}

// An existing file of that name must be a log of ours: it is added to,
// after its last whole line (a run killed while writing one leaves a part).
static int OpenForAdding(HANDLE file)
{
    std::string text, first = SealLogLine(LOG_FIRST_LINE);
    static char block[65536];
    DWORD got = 0;
    while (ReadFile(file, block, sizeof block, &got, NULL) && got > 0)
        text.append(block, got);
    if (text.compare(0, first.size(), first) != 0)
        return 0;
    size_t newline = text.rfind('\n');
    DWORD end = newline == std::string::npos ? 0 : static_cast<DWORD>(newline + 1);
    return SetFilePointer(file, end, NULL, FILE_BEGIN) == end && SetEndOfFile(file);
}

static int IsAnnounced(const char *software_name)
{
    for (int i = 0; i < current.announced_count; i++) {
        if (strcmp(current.announced[i], software_name) == 0)
            return 1;
    }
    return 0;
}

static void OpenLog(struct _setup_info *si, const char *software_name)
{
    if (!LogPathOf(current.path, sizeof current.path, si->dst_dir, si->company_name, software_name))
        FatalStopFormatted(si, "Fatal Error", "The installation log of %s cannot be named", software_name);
    current.file = CreateFileA(current.path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, NULL, OPEN_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, NULL);
    if (current.file == INVALID_HANDLE_VALUE)
        LogFailed(si);
    CopyText(current.software_name, sizeof current.software_name, software_name);
    if (GetFileSize(current.file, NULL) != 0 && !OpenForAdding(current.file)) {
        CloseHandle(current.file);
        current.file = INVALID_HANDLE_VALUE;
        FatalStopFormatted(si, "Fatal Error", "The file %s is in the way of the installation log", current.path);
    }
    if (GetFileSize(current.file, NULL) == 0) {
        WriteLine(si, LOG_FIRST_LINE);
        WriteLine(si, "software " + QuoteLogText(software_name));
    }
    if (!IsAnnounced(software_name) && current.announced_count < MAX_FILE_SETS) {
        CopyText(current.announced[current.announced_count++], sizeof current.announced[0], software_name);
        if (current.destination_made)
            WriteLine(si, "dir " + QuoteLogText(si->dst_dir));
    }
}

// Opened with the first record, so that a set that stops before it did
// anything leaves no log and its own message.
static void EnsureLogOpen(struct _setup_info *si)
{
    struct _fileset_info *fs = current.selected;
    if (current.file == INVALID_HANDLE_VALUE || strcmp(current.software_name, fs->software_name) != 0) {
        CloseCurrentLog();
        OpenLog(si, fs->software_name);
    }
    if (current.fileset != fs) {
        current.fileset = fs;
        WriteLine(si, "fileset " + QuoteLogText(fs->name));
    }
}

void SelectInstallLog(struct _setup_info *, struct _fileset_info *fs)
{
    current.selected = fs;
}

static void CloseCurrentLog(void)
{
    if (current.file != INVALID_HANDLE_VALUE)
        CloseHandle(current.file);
    current.file = INVALID_HANDLE_VALUE;
    current.fileset = NULL;
}

void CloseInstallLog(void)
{
    CloseCurrentLog();
    current.selected = NULL;
}

int PathExists(const char *path)
{
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

void LogDirectoryMade(struct _setup_info *si, const char *dir)
{
    WriteText(si, LOG_DIR, dir);
}

int FileChecksum(const char *path, unsigned long long *size, unsigned long *crc)
{
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    static char block[65536];
    DWORD got = 0;
    BOOL read = TRUE;
    *size = 0;
    *crc = 0;
    while ((read = ReadFile(file, block, sizeof block, &got, NULL)) && got > 0) {
        *crc = Crc32(*crc, block, got);
        *size += got;
    }
    CloseHandle(file);
    return read != 0;
}

static void LogSummedFile(struct _setup_info *si, enum log_kind kind, const char *path, int existed,
                          unsigned long long size, unsigned long crc)
{
    struct log_record record = {};
    record.kind = kind;
    record.path = path;
    record.existed = existed;
    record.size = size;
    record.crc = crc;
    WriteRecord(si, &record);
}

// A file written by another program: its sum is taken by reading it.
static void LogWholeFile(struct _setup_info *si, enum log_kind kind, const char *path, int existed)
{
    if (!current.selected)
        return;
    unsigned long long size = 0;
    unsigned long crc = 0;
    if (!FileChecksum(path, &size, &crc))
        FatalStopFormatted(si, "Fatal Error", "Cannot read the installed file %s", path);
    LogSummedFile(si, kind, path, existed, size, crc);
}

void LogFileWritten(struct _setup_info *si, const char *path, int existed, unsigned long long size,
                    unsigned long crc)
{
    LogSummedFile(si, LOG_FILE, path, existed, size, crc);
}

void LogFileStarted(struct _setup_info *si, const char *path)
{
    struct log_record record = {};
    record.kind = LOG_FILE;
    record.path = path;
    record.part = 1;
    WriteRecord(si, &record);
}

// The key path up to the end of its level-th name.
static std::string KeyLevel(const char *key_path, int level)
{
    const char *p = key_path;
    for (int seen = 0; *p != '\0'; p = CharNextA(p)) {
        if (*p == '\\' && ++seen == level)
            break;
    }
    return std::string(key_path, p);
}

static int KeyLevels(const char *key_path)
{
    int levels = *key_path != '\0';
    for (const char *p = key_path; *p != '\0'; p = CharNextA(p))
        levels += *p == '\\';
    return levels;
}

int ExistingKeyLevels(const char *key_path)
{
    int levels = KeyLevels(key_path), existing = 0;
    while (existing < levels) {
        HKEY key;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, KeyLevel(key_path, existing + 1).c_str(), 0, KEY_READ, &key) !=
            ERROR_SUCCESS)
            break;
        RegCloseKey(key);
        existing++;
    }
    return existing;
}

void LogKeysMade(struct _setup_info *si, const char *key_path, int existing_levels)
{
    for (int level = existing_levels + 1; level <= KeyLevels(key_path); level++)
        WriteText(si, LOG_KEY, KeyLevel(key_path, level).c_str());
}

LONG SetLoggedValue(struct _setup_info *si, HKEY key, const char *key_path, const char *name, DWORD type,
                    const void *data, DWORD cb)
{
    struct log_record record = {};
    record.kind = LOG_VALUE;
    record.path = key_path;
    record.second = name;
    DWORD old_type = 0, old_cb = 0;
    if (RegQueryValueExA(key, name, NULL, &old_type, NULL, &old_cb) == ERROR_SUCCESS) {
        std::vector<BYTE> old(old_cb + 1);
        if (RegQueryValueExA(key, name, NULL, &old_type, old.data(), &old_cb) == ERROR_SUCCESS) {
            record.existed = 1;
            record.type = old_type;
            record.data.assign(reinterpret_cast<const char *>(old.data()), old_cb);
        }
    }
    // What was set: a value found otherwise at the removal was changed since.
    record.has_set = 1;
    record.set_type = type;
    record.set_data.assign(static_cast<const char *>(data), cb);
    LONG result = RegSetValueExA(key, name, 0, type, static_cast<const BYTE *>(data), cb);
    if (result == ERROR_SUCCESS)
        WriteRecord(si, &record);
    return result;
}

void LogPathElement(struct _setup_info *si, const char *dir, int existed, unsigned long path_type)
{
    struct log_record record = {};
    record.kind = LOG_PATH;
    record.path = dir;
    record.existed = existed;
    record.type = path_type;
    WriteRecord(si, &record);
}

// The lines that the setting changed: one added at the end, or lines
// whose text changed in place.
static void LogBatchChanges(struct _setup_info *si, const std::vector<std::string> &before,
                            const std::vector<std::string> &after)
{
    struct log_record record = {};
    record.kind = LOG_BATCH;
    for (size_t i = 0; i < after.size(); i++) {
        if (i >= before.size()) {
            record.existed = 0;
            record.path = after[i];
            record.second.clear();
            WriteRecord(si, &record);
        } else if (before[i] != after[i]) {
            record.existed = 1;
            record.path = before[i];
            record.second = after[i];
            WriteRecord(si, &record);
        }
    }
}

int SetLoggedEnvVariable(struct _setup_info *si, const char *var, const char *value, int mode)
{
    char batch[MAX_PATH], backup[MAX_PATH];
    std::vector<std::string> before, after;
    if (!RootFilePath(batch, sizeof batch, "AUTOEXEC.BAT"))
        return SetEnvVariable(var, value, mode);
    int batch_existed = PathExists(batch), backed_up = CbGetBatchBackup(NULL, 0) > 0;
    ReadBatchLines(batch, before);
    if (!SetEnvVariable(var, value, mode))
        return 0;
    // Made by the setting: it goes again once its lines are taken out.
    if (!batch_existed && PathExists(batch)) {
        struct log_record record = {};
        record.kind = LOG_ROOTFILE;
        record.path = batch;
        WriteRecord(si, &record);
    }
    // The backup is new under its name: one already there was not touched.
    unsigned backup_length = CbGetBatchBackup(backup, sizeof backup);
    if (!backed_up && backup_length > 0 && backup_length < sizeof backup)
        LogWholeFile(si, LOG_ROOTFILE, backup, 0);
    if (ReadBatchLines(batch, after))
        LogBatchChanges(si, before, after);
    return 1;
}

void LogGroupMade(struct _setup_info *si, const char *folder)
{
    WriteText(si, LOG_GROUP, folder);
}

void LogShortcutSaved(struct _setup_info *si, const char *link, int existed)
{
    struct log_record record = {};
    record.kind = LOG_SHORTCUT;
    record.path = link;
    record.existed = existed;
    WriteRecord(si, &record);
}

int ProgramsFolder(struct _setup_info *si, char *dir, size_t cb)
{
    if (si->platform == PLATFORM_WIN95) {
        char windows[MAX_PATH];
        UINT length = GetWindowsDirectoryA(windows, sizeof windows);
        return length > 0 && length < sizeof windows && FormatText(dir, cb, "%s\\Start Menu\\Programs", windows);
    }
    char programs[MAX_PATH];
    return SpecialFolderPath(CSIDL_COMMON_PROGRAMS, programs) && CopyText(dir, cb, programs);
}
