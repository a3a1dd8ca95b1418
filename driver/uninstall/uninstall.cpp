// uninstall.cpp - setup.exe /u LOG: what an installation log records is
// taken back, newest first, and nothing else.
//
// The whole log is read and judged before anything is removed. Every step
// can be done twice, so an uninstallation cut short and started again
// completes: what is gone already is passed over, and the uninstall entry
// and the log go last, before the program's copy.
#include "log/batch_file.h"
#include "log/install_log.h"
#include "log/log_lines.h"
#include "base/fatal.h"
#include "install/progress.h"
#include "register/register.h"
#include "setupapi.h"
#include "setuprt.h"
#include "base/text.h"
#include "uninstall/uninstall.h"
#include "base/program_files.h"
#include "uninstall/other_logs.h"
#include "uninstall/from_temp.h"
#include "log/log_places.h"
#include "later_windows.h"

#include <objbase.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>


// What the user is told at the end.
struct removal_outcome {
    std::string kept;       // files changed since the installation, one per line
    std::string scheduled;  // files in use, removed when Windows starts again
    std::vector<std::string> scheduled_paths;
    std::string settings;   // variables changed since the installation
    int environment_changed;
};

static int EqualNoCase(const std::string &a, const std::string &b)
{
    return CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, a.c_str(), (int)a.size(), b.c_str(),
                          (int)b.size()) == CSTR_EQUAL;
}

[[noreturn]] static void RefuseLog(struct _setup_info *si, const char *log_path, const std::string &problem)
{
    FatalStopFormatted(si, "Fatal Error", "The installation log %s cannot be used: %s. Nothing was removed.",
                       log_path, problem.c_str());
}

// Far beyond any installation's log; a longer one is no log of ours.
static const size_t LONGEST_LOG = 64u << 20;

// The whole text, or false; too_long when it is longer than a log may be.
static int ReadLogText(const char *path, std::string &text, int *too_long)
{
    *too_long = 0;
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    static char block[65536];
    DWORD got = 0;
    BOOL read = TRUE;
    text.clear();
    while ((read = ReadFile(file, block, sizeof block, &got, NULL)) && got > 0 && !*too_long) {
        text.append(block, got);
        *too_long = text.size() > LONGEST_LOG;
    }
    CloseHandle(file);
    return read && !*too_long;
}

// The log must lie in "<drive>\usr", be named for the software it records
// and its company, be named by that entry, and be as the installation left
// it where the entry says how that was; every record then lies in its place.
static void ReadLog(struct _setup_info *si, const char *given_path, std::string &log_path,
                    std::vector<struct log_record> &records, int *sealed)
{
    std::string dir, text, problem;
    if (!PlainPath(given_path, log_path))
        RefuseLog(si, given_path, "it cannot be read");
    dir = log_path.substr(0, log_path.rfind('\\'));
    if (dir.size() != 6 || !EqualNoCase(dir.substr(2), "\\usr"))
        RefuseLog(si, given_path, "an installation log lies in the folder usr of a drive");
    int too_long = 0, read = ReadLogText(log_path.c_str(), text, &too_long);
    // A run that stopped before it recorded anything leaves its entry and
    // the program's copy, and no log.
    int missing = !read && !too_long && GetLastError() == ERROR_FILE_NOT_FOUND;
    if (!read && !missing)
        RefuseLog(si, given_path, too_long ? "it is longer than 64 MB" : "it cannot be read");
    if (read && !ParseLog(text, records, problem))
        RefuseLog(si, given_path, problem);

    struct log_entry entry;
    char command[MAX_PATH * 2 + 32];
    if (!ReadEntry(log_path, &entry) || entry.company.empty() ||
        !FormatText(command, sizeof command, "\"%s\\setup.exe\" /u \"%s\"",
                    log_path.substr(0, log_path.size() - 4).c_str(), log_path.c_str()) ||
        !EqualNoCase(command, entry.command) || !EqualNoCase(entry.location, dir))
        RefuseLog(si, given_path, missing ? "it cannot be read" : "no uninstall entry names it");
    *sealed = entry.sealed;
    if (missing) {
        if (entry.sealed || entry.name.empty())
            RefuseLog(si, given_path, "it cannot be read");
        struct log_record software = {};
        software.kind = LOG_SOFTWARE;
        software.path = entry.name;
        records.assign(1, software);
        return;
    }
    char expected[MAX_PATH], earlier[MAX_PATH];
    const char *software = records[0].path.c_str();
    int named = (LogPathOf(expected, sizeof expected, dir.c_str(), entry.company.c_str(), software) &&
                 EqualNoCase(expected, log_path)) ||
                (EarlierLogPathOf(earlier, sizeof earlier, dir.c_str(), software) && EqualNoCase(earlier, log_path));
    if (!named)
        RefuseLog(si, given_path, "its name is not that of the software it records");
    if (entry.sealed && (entry.size != text.size() || entry.crc != Crc32(0, text.data(), text.size())))
        RefuseLog(si, given_path, "it was changed after the installation");

    struct log_places places;
    char programs[MAX_PATH], batch[MAX_PATH];
    places.dir = dir;
    places.programs = ProgramsFolder(si, programs, sizeof programs) && PlainPath(programs, places.programs)
                          ? places.programs
                          : "";
    places.root = RootFilePath(batch, sizeof batch, "AUTOEXEC.BAT") ? std::string(batch, 2) : "";
    places.company = entry.company;
    places.software = records[0].path;
    places.win95 = si->platform == PLATFORM_WIN95;
    if (!JudgeLogRecords(records, places, problem))
        RefuseLog(si, given_path, problem);
}

static void Confirm(struct _setup_info *si)
{
    char event[16];
    for (;;) {
        UIStartDlg("mscuistf.dll", 1000, "FInfoDlgProc", 0, NULL, event, 15);
        int sum = EventWordSum(event);
        if (sum == EVENT_CONTINUE) {
            UIPop(1);
            return;
        }
        if (sum == EVENT_EXIT || sum == EVENT_CANCEL) {
            UIPopAll();
            EndSetupToolkit();
            if (si->platform == PLATFORM_WIN95)
                CoUninitialize();
            exit(SetupExitCode(0));
        }
    }
}

static void OpenProgress(struct _setup_info *si)
{
    RegisterGaugeClass(si->hInst);
    si->hProgBarDlg = CreateDialogParamA(si->hInst, "SETUPSTATUS", HwndFrame(), ProgBarDlgProc, (LPARAM)si);
    if (!si->hProgBarDlg)
        FatalStop(si, "Null Dialog Handle", "Fatal Error");
    SetWindowTextA(si->hProgBarDlg, "Quorvane/32 Setup - Removing Files");
    // Taking back stops nowhere half way by choice.
    EnableWindow(GetDlgItem(si->hProgBarDlg, IDCANCEL), FALSE);
    ShowWindow(si->hProgBarDlg, SW_SHOWNORMAL);
}

// The system's way of removing at the next start: the rename list on NT,
// WININIT.INI's [rename] section (NUL=short path) on the 95 family.
static int ScheduleRemoval(struct _setup_info *si, const char *path)
{
    if (si->platform == PLATFORM_NT)
        return MoveFileWithFlags(path, NULL, MOVEFILE_DELAY_UNTIL_REBOOT);
    char wininit[MAX_PATH], windows[MAX_PATH], short_path[MAX_PATH];
    UINT length = GetWindowsDirectoryA(windows, sizeof windows);
    if (length == 0 || length >= sizeof windows ||
        !FormatText(wininit, sizeof wininit, "%s\\WININIT.INI", windows))
        return 0;
    DWORD short_length = GetShortPathNameA(path, short_path, sizeof short_path);
    if (short_length == 0 || short_length >= sizeof short_path)
        CopyText(short_path, sizeof short_path, path);
    std::vector<std::string> lines;
    if (!ReadBatchLines(wininit, lines))
        return 0;
    // At the end of the section: the system works through it in order.
    size_t section = lines.size(), end = lines.size();
    for (size_t i = 0; i < lines.size(); i++) {
        if (lines[i].empty() || lines[i][0] != '[')
            continue;
        if (section < lines.size()) {
            end = i;
            break;
        }
        if (EqualNoCase(lines[i], "[rename]"))
            section = i;
    }
    if (section == lines.size()) {
        lines.push_back("[rename]");
        end = lines.size();
    }
    lines.insert(lines.begin() + end, std::string("NUL=") + short_path);
    return WriteBatchLines(wininit, lines);
}

static void RemoveOrSchedule(struct _setup_info *si, const char *path, struct removal_outcome *outcome, int tell)
{
    // A read-only file is made writable first.
    if (DeleteFileA(path) ||
        (GetLastError() == ERROR_ACCESS_DENIED && SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL) && DeleteFileA(path))) {
        RecordAction("remove", path, NULL);
        return;
    }
    if (GetLastError() == ERROR_FILE_NOT_FOUND || GetLastError() == ERROR_PATH_NOT_FOUND)
        return;
    if (ScheduleRemoval(si, path)) {
        RecordAction("schedule", path, NULL);
        outcome->scheduled_paths.push_back(path);
        if (tell)
            outcome->scheduled += std::string(path) + "\n";
    } else if (tell) {
        outcome->kept += std::string(path) + "\n";
    }
}

// A file held open by another program cannot be read: it is removed at the
// next start. One that reads otherwise than the installation left it was
// changed since, and stays.
static void RemoveWrittenFile(struct _setup_info *si, const struct log_record &r, int existed, int cut_short,
                              struct removal_outcome *outcome)
{
    // A run cut short leaves the file it was writing under this name.
    std::string part = r.path + ".~part";
    if (cut_short && PathExists(part.c_str()))
        RemoveOrSchedule(si, part.c_str(), outcome, 0);
    // The run stopped while writing a new file under its own name: what
    // is there is its part, never a file somebody changed.
    if (r.part) {
        RemoveOrSchedule(si, r.path.c_str(), outcome, 1);
        return;
    }
    if (existed)
        return;
    unsigned long long size = 0;
    unsigned long crc = 0;
    if (!FileChecksum(r.path.c_str(), &size, &crc)) {
        DWORD error = GetLastError();
        if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION)
            RemoveOrSchedule(si, r.path.c_str(), outcome, 1);
        else if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND)
            outcome->kept += r.path + "\n";
        return;
    }
    if (size != r.size || crc != r.crc) {
        RecordAction("keep", r.path.c_str(), NULL);
        outcome->kept += r.path + "\n";
        return;
    }
    RemoveOrSchedule(si, r.path.c_str(), outcome, 1);
}

static void RemoveEmptyDirectory(struct _setup_info *si, const std::string &dir, struct removal_outcome *outcome)
{
    if (RemoveDirectoryA(dir.c_str())) {
        RecordAction("rmdir", dir.c_str(), NULL);
        return;
    }
    if (!PathExists(dir.c_str()))
        return;
    // Emptied only at the next start: then it goes too.
    for (const std::string &path : outcome->scheduled_paths) {
        if (PathLiesIn(path, dir, false) && ScheduleRemoval(si, dir.c_str())) {
            RecordAction("schedule", dir.c_str(), NULL);
            outcome->scheduled_paths.push_back(dir);
            return;
        }
    }
}

static void RemoveKey(const std::string &key_path)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key_path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return;
    DWORD subkeys = 0, values = 0;
    LONG info = RegQueryInfoKeyA(key, NULL, NULL, NULL, &subkeys, NULL, NULL, &values, NULL, NULL, NULL, NULL);
    RegCloseKey(key);
    if (info == ERROR_SUCCESS && subkeys == 0 && values == 0 &&
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, key_path.c_str()) == ERROR_SUCCESS)
        RecordAction("delkey", key_path.c_str(), NULL);
}

// The value as the oldest record found it, unless it is no longer what the
// newest one set: then the user changed it since, and it stays.
static void RestoreValue(const struct log_record &oldest, const struct log_record &newest,
                         struct removal_outcome *outcome)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, oldest.path.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return;
    const char *name = oldest.second.c_str();
    DWORD type = 0, cb = 0;
    std::vector<char> now;
    int found = RegQueryValueExA(key, name, NULL, &type, NULL, &cb) == ERROR_SUCCESS;
    now.resize(cb + 1);
    found = found && RegQueryValueExA(key, name, NULL, &type, reinterpret_cast<BYTE *>(now.data()), &cb) == ERROR_SUCCESS;
    int environment = EqualNoCase(oldest.path, ENVIRONMENT_KEY);
    if (!found || (newest.has_set && (type != newest.set_type || std::string(now.data(), cb) != newest.set_data))) {
        if (found && environment)
            outcome->settings += newest.second + "\n";
        RegCloseKey(key);
        return;
    }
    if (oldest.existed && RegSetValueExA(key, name, 0, oldest.type, reinterpret_cast<const BYTE *>(oldest.data.data()),
                                         static_cast<DWORD>(oldest.data.size())) == ERROR_SUCCESS)
        RecordAction("setvalue", oldest.path.c_str(), name);
    else if (!oldest.existed && RegDeleteValueA(key, name) == ERROR_SUCCESS)
        RecordAction("delvalue", oldest.path.c_str(), name);
    RegCloseKey(key);
    if (environment)
        outcome->environment_changed = 1;
}

int RemoveListElement(std::string &list, const std::string &element)
{
    size_t start = 0;
    for (const char *p = list.c_str();; p = CharNextA(p)) {
        if (*p != ';' && *p != '\0')
            continue;
        size_t end = static_cast<size_t>(p - list.c_str());
        if (EqualNoCase(list.substr(start, end - start), element)) {
            if (end < list.size())
                list.erase(start, end - start + 1);
            else
                list.erase(start > 0 ? start - 1 : 0);
            return 1;
        }
        if (*p == '\0')
            return 0;
        start = end + 1;
    }
}

// The element and one separator next to it come out of Path; every other
// byte of it stays. Its type goes back to the one the installation found
// (writing Path makes it REG_EXPAND_SZ) where the log says.
static void RemovePathElement(const std::string &element, unsigned long found_type, struct removal_outcome *outcome)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, ENVIRONMENT_KEY, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return;
    DWORD type = 0, cb = 0;
    std::vector<char> stored;
    if (RegQueryValueExA(key, "Path", NULL, &type, NULL, &cb) == ERROR_SUCCESS) {
        stored.resize(cb + 1);
        if (RegQueryValueExA(key, "Path", NULL, &type, reinterpret_cast<BYTE *>(stored.data()), &cb) != ERROR_SUCCESS)
            stored.clear();
    }
    std::string path = stored.empty() ? "" : std::string(stored.data(), strnlen(stored.data(), cb));
    if (RemoveListElement(path, element)) {
        if (found_type != 0)
            type = found_type;
        if (RegSetValueExA(key, "Path", 0, type, reinterpret_cast<const BYTE *>(path.c_str()),
                           static_cast<DWORD>(path.size() + 1)) == ERROR_SUCCESS)
            RecordAction("delpath", element.c_str(), NULL);
        outcome->environment_changed = 1;
    }
    RegCloseKey(key);
}

// A line the installation added goes; a line it changed gets its earlier
// text back. A line changed since stays, and the user is told.
static void RestoreBatchLine(const struct log_record &r, struct removal_outcome *outcome)
{
    char batch[MAX_PATH];
    std::vector<std::string> lines;
    if (!RootFilePath(batch, sizeof batch, "AUTOEXEC.BAT") || !PathExists(batch) || !ReadBatchLines(batch, lines))
        return;
    const std::string &made = r.existed ? r.second : r.path;
    for (size_t i = lines.size(); i-- > 0;) {
        if (lines[i] != made)
            continue;
        if (r.existed)
            lines[i] = r.path;
        else
            lines.erase(lines.begin() + i);
        if (WriteBatchLines(batch, lines))
            RecordAction(r.existed ? "setline" : "delline", r.path.c_str(), NULL);
        return;
    }
    for (const std::string &line : lines) {
        if (r.existed && line == r.path)
            return;  // taken back already
    }
    if (r.existed)
        outcome->kept += std::string(batch) + ": " + r.second + "\n";
}

// What the installation did to one place, taken back once: as its newest
// record left it, to what its oldest record found there. What another
// product also holds stays.
struct removal {
    struct _setup_info *si;
    const std::vector<struct log_record> &records;
    place_spans spans;
    struct other_logs others;
    struct removal_outcome outcome;
    int cut_short;  // the installation did not finish: its entry is not sealed
};

static void TakeBack(struct removal &run, size_t i)
{
    const struct log_record &r = run.records[i];
    std::string key = PlaceKey(r);
    std::pair<size_t, size_t> span(i, i);
    if (!key.empty())
        span = run.spans[key];
    if (span.second != i)
        return;  // a newer record of the place is taken back
    const struct log_record &oldest = run.records[span.first];
    if (r.kind == LOG_BATCH) {
        RestoreBatchLine(r, &run.outcome);
        return;
    }
    if (KeptForOthers(run.others, run.records, span))
        return;
    switch (r.kind) {
    case LOG_FILE:
    case LOG_ROOTFILE: RemoveWrittenFile(run.si, r, oldest.existed, run.cut_short, &run.outcome); break;
    case LOG_SHORTCUT:
        if (!oldest.existed)
            RemoveOrSchedule(run.si, r.path.c_str(), &run.outcome, 1);
        break;
    case LOG_DIR:
    case LOG_GROUP:
        if (!HandedOver(run.others, r))
            RemoveEmptyDirectory(run.si, r.path, &run.outcome);
        break;
    case LOG_KEY: RemoveKey(r.path); break;
    case LOG_VALUE: RestoreValue(oldest, r, &run.outcome); break;
    case LOG_PATH:
        if (!oldest.existed)
            RemovePathElement(r.path, oldest.type, &run.outcome);
        break;
    default: break;
    }
}

// The closing word: done, and what stays or goes only at the next start.
static void Tell(const struct removal_outcome &outcome, const std::string &software)
{
    std::string text = software + " was removed.";
    if (!outcome.kept.empty())
        text += "\n\nThese files were changed after the installation and are kept:\n" + outcome.kept;
    if (!outcome.settings.empty())
        text += "\n\nThese variables were changed after the installation and are kept:\n" + outcome.settings;
    if (!outcome.scheduled.empty())
        text += "\n\nThese files are in use and will be removed when Windows starts again:\n" + outcome.scheduled;
    DoMsgBox(text.c_str(), "Remove Quorvane/32 2.0", MB_OK | MB_ICONINFORMATION);
}

// The entry first, then the log: a removal cut short before starts again.
static void RemoveEntryAndLog(struct _setup_info *si, const std::string &log_path, struct removal_outcome *outcome)
{
    struct log_entry entry;
    if (ReadEntry(log_path, &entry) && RegDeleteKeyA(HKEY_LOCAL_MACHINE, entry.key_path.c_str()) == ERROR_SUCCESS)
        RecordAction("delkey", entry.key_path.c_str(), NULL);
    RemoveOrSchedule(si, log_path.c_str(), outcome, 0);
}

// The three program files of a folder and the folder: at once when no
// program runs from them, else at the next start.
static void RemoveProgramCopy(struct _setup_info *si, const std::string &copy_dir, struct removal_outcome *outcome)
{
    char file[MAX_PATH];
    for (const char *name : PROGRAM_FILES) {
        if (FormatText(file, sizeof file, "%s\\%s", copy_dir.c_str(), name))
            RemoveOrSchedule(si, file, outcome, 0);
    }
    if (RemoveDirectoryA(copy_dir.c_str())) {
        RecordAction("rmdir", copy_dir.c_str(), NULL);
    } else if (PathExists(copy_dir.c_str()) && ScheduleRemoval(si, copy_dir.c_str())) {
        RecordAction("schedule", copy_dir.c_str(), NULL);
        outcome->scheduled_paths.push_back(copy_dir);
    }
}

void Uninstall(struct _setup_info *si, const char *given_path)
{
    std::vector<struct log_record> records;
    std::string log_path;
    int sealed = 0;
    ReadLog(si, given_path, log_path, records, &sealed);
    RunFromTemp(log_path.substr(0, log_path.size() - 4));
    Confirm(si);
    OpenProgress(si);
    struct removal run = {si, records, {}, {}, {}, !sealed};
    run.outcome.environment_changed = 0;
    SpanPlaces(records, run.spans);
    ReadOtherLogs(log_path.substr(0, log_path.rfind('\\')), log_path, run.others);
    for (size_t i = records.size(); i-- > 0;) {
        si->percent_done = 100.0 * static_cast<double>(records.size() - i) / static_cast<double>(records.size());
        ShowStatus(si, "Removing", records[i].path.c_str());
        TakeBack(run, i);
    }
    WriteChangedLogs(run.others);
    if (run.outcome.environment_changed)
        BroadcastSettingChange("Environment");
    DestroyWindow(si->hProgBarDlg);
    si->hProgBarDlg = NULL;
    RemoveEntryAndLog(si, log_path, &run.outcome);
    Tell(run.outcome, records[0].path);
    // Run from TMP, the installation's copy is free once its starter ends.
    ReleaseStarter();
    RemoveProgramCopy(si, log_path.substr(0, log_path.size() - 4), &run.outcome);
    // The destination held the log and the copy until now.
    for (size_t i = records.size(); i-- > 0;) {
        if (records[i].kind == LOG_DIR && !run.others.holders.count(PlaceKey(records[i])))
            RemoveEmptyDirectory(si, records[i].path, &run.outcome);
    }
    std::string temp_copy = TempCopyFolder();
    if (!temp_copy.empty())
        RemoveProgramCopy(si, temp_copy, &run.outcome);
    UIPopAll();
    EndSetupToolkit();
    if (si->platform == PLATFORM_WIN95)
        CoUninitialize();
    exit(SetupExitCode(0));
}
