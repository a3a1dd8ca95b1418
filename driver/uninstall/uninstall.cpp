// uninstall.cpp - setup.exe /u LOG: what an installation log records is
// taken back, newest first, and nothing else.
//
// The whole log is read and judged before anything is removed. Every step
// can be done twice, so an uninstallation cut short and started again
// completes: what is gone already is passed over, and the log and the
// uninstall entry go last.
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
#include "later_windows.h"

#include <ctype.h>
#include <objbase.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

static const char environment_key[] = "System\\CurrentControlSet\\Control\\Session Manager\\Environment";

// What the user is told at the end.
struct removal_outcome {
    std::string kept;       // files changed since the installation, one per line
    std::string scheduled;  // files in use, removed when Windows starts again
    std::vector<std::string> scheduled_paths;
    int environment_changed;
};

static int EqualNoCase(const std::string &a, const std::string &b)
{
    return CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, a.c_str(), (int)a.size(), b.c_str(),
                          (int)b.size()) == CSTR_EQUAL;
}

// path is dir itself or lies below it, with no step up on the way.
static int LiesIn(const std::string &path, const std::string &dir, int dir_itself)
{
    if (path.find("\\..") != std::string::npos || path.find("..\\") != std::string::npos)
        return 0;
    if (path.size() == dir.size())
        return dir_itself && EqualNoCase(path, dir);
    return path.size() > dir.size() + 1 && path[dir.size()] == '\\' && EqualNoCase(path.substr(0, dir.size()), dir);
}

// AUTOEXEC.BAT, or its backup: AUTOEXEC.BAK or AUTOEXEC.B01 ... B99.
static int IsRootFile(const std::string &path)
{
    if (path.size() != 15 || path[1] != ':' || path[2] != '\\' || !EqualNoCase(path.substr(3, 10), "AUTOEXEC.B"))
        return 0;
    std::string end = path.substr(13);
    return EqualNoCase(end, "AT") || EqualNoCase(end, "AK") || (end != "00" && isdigit((unsigned char)end[0]) &&
                                                                  isdigit((unsigned char)end[1]));
}

// A record that names a place the installation never writes to makes the
// log foreign: files and directories lie in the log's own directory,
// shortcuts and groups in the Start menu, keys below Software, values
// there or among the system's variables.
static int InItsPlace(struct _setup_info *si, const struct log_record &r, const std::string &dst,
                      const std::string &programs)
{
    switch (r.kind) {
    case LOG_DIR: return LiesIn(r.path, dst, 1);
    case LOG_FILE: return LiesIn(r.path, dst, 0);
    case LOG_ROOTFILE: return si->platform == PLATFORM_WIN95 && IsRootFile(r.path);
    case LOG_KEY: return LiesIn(r.path, "Software", 0);
    case LOG_VALUE: return LiesIn(r.path, "Software", 0) || EqualNoCase(r.path, environment_key);
    case LOG_GROUP: return LiesIn(r.path, programs, 0);
    case LOG_SHORTCUT:
        return LiesIn(r.path, programs, 0) && r.path.size() > 4 && EqualNoCase(r.path.substr(r.path.size() - 4), ".lnk");
    case LOG_PATH: return si->platform == PLATFORM_NT;
    case LOG_BATCH: return si->platform == PLATFORM_WIN95;
    default: return 1;
    }
}

[[noreturn]] static void RefuseLog(struct _setup_info *si, const char *log_path, const std::string &problem)
{
    FatalStopFormatted(si, "Fatal Error", "The installation log %s cannot be used: %s. Nothing was removed.",
                       log_path, problem.c_str());
}

static void ReadLog(struct _setup_info *si, const char *log_path, std::vector<struct log_record> &records)
{
    HANDLE file = CreateFileA(log_path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        RefuseLog(si, log_path, "it cannot be read");
    std::string text;
    static char block[65536];
    DWORD got = 0;
    BOOL read = TRUE;
    while ((read = ReadFile(file, block, sizeof block, &got, NULL)) && got > 0 && text.size() < (64u << 20))
        text.append(block, got);
    CloseHandle(file);
    std::string problem;
    if (!read)
        RefuseLog(si, log_path, "it cannot be read");
    if (!ParseLog(text, records, problem))
        RefuseLog(si, log_path, problem);

    std::string dst = log_path;
    dst.erase(dst.rfind('\\') == std::string::npos ? 0 : dst.rfind('\\'));
    char programs[MAX_PATH], expected[MAX_PATH];
    if (!ProgramsFolder(si, programs, sizeof programs))
        programs[0] = '\0';
    // The log's name follows from the software it names.
    if (!LogPathOf(expected, sizeof expected, dst.c_str(), records[0].path.c_str()) ||
        !EqualNoCase(expected, log_path))
        RefuseLog(si, log_path, "its name is not that of the software it records");
    for (const struct log_record &r : records) {
        if (!InItsPlace(si, r, dst, programs))
            RefuseLog(si, log_path, "line " + std::to_string(r.line) + " names a place outside the installation");
    }
}

static void Confirm(struct _setup_info *si)
{
    char event[16];
    for (;;) {
        UIStartDlg("mscuistf.dll", 1000, "FInfoDlgProc", 0, NULL, event, sizeof event);
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
    SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
    if (DeleteFileA(path)) {
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

// Files and shortcuts may be recorded once per installation over the same
// place: the newest record knows the file as it was last written, the
// oldest whether one was there before the first.
static int NewerRecordFor(const std::vector<struct log_record> &records, size_t i)
{
    for (size_t j = i + 1; j < records.size(); j++) {
        if (records[j].kind == records[i].kind && EqualNoCase(records[j].path, records[i].path))
            return 1;
    }
    return 0;
}

static int ExistedBefore(const std::vector<struct log_record> &records, size_t i)
{
    for (size_t j = 0; j <= i; j++) {
        if (records[j].kind == records[i].kind && EqualNoCase(records[j].path, records[i].path))
            return records[j].existed;
    }
    return 0;
}

static void RemoveWrittenFile(struct _setup_info *si, const struct log_record &r, int existed,
                              struct removal_outcome *outcome)
{
    if (existed || !PathExists(r.path.c_str()))
        return;
    unsigned long long size = 0;
    unsigned long crc = 0;
    if (!FileChecksum(r.path.c_str(), &size, &crc) || size != r.size || crc != r.crc) {
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
        if (LiesIn(path, dir, 0) && ScheduleRemoval(si, dir.c_str())) {
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

static void RestoreValue(const struct log_record &r, struct removal_outcome *outcome)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, r.path.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return;
    if (r.existed && RegSetValueExA(key, r.second.c_str(), 0, r.type, reinterpret_cast<const BYTE *>(r.data.data()),
                                    static_cast<DWORD>(r.data.size())) == ERROR_SUCCESS)
        RecordAction("setvalue", r.path.c_str(), r.second.c_str());
    else if (!r.existed && RegDeleteValueA(key, r.second.c_str()) == ERROR_SUCCESS)
        RecordAction("delvalue", r.path.c_str(), r.second.c_str());
    RegCloseKey(key);
    if (EqualNoCase(r.path, environment_key))
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
// byte of it stays, and so does its type.
static void RemovePathElement(const std::string &element, struct removal_outcome *outcome)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, environment_key, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
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

static void TakeBack(struct _setup_info *si, const std::vector<struct log_record> &records, size_t i,
                     struct removal_outcome *outcome)
{
    const struct log_record &r = records[i];
    switch (r.kind) {
    case LOG_FILE:
    case LOG_ROOTFILE:
        if (!NewerRecordFor(records, i))
            RemoveWrittenFile(si, r, ExistedBefore(records, i), outcome);
        break;
    case LOG_SHORTCUT:
        if (!NewerRecordFor(records, i) && !ExistedBefore(records, i))
            RemoveOrSchedule(si, r.path.c_str(), outcome, 1);
        break;
    case LOG_DIR:
    case LOG_GROUP: RemoveEmptyDirectory(si, r.path, outcome); break;
    case LOG_KEY: RemoveKey(r.path); break;
    case LOG_VALUE: RestoreValue(r, outcome); break;
    case LOG_PATH: RemovePathElement(r.path, outcome); break;
    case LOG_BATCH: RestoreBatchLine(r, outcome); break;
    default: break;
    }
}

static void Tell(const struct removal_outcome &outcome)
{
    std::string text;
    if (!outcome.kept.empty())
        text += "These files were changed after the installation and are kept:\n" + outcome.kept;
    if (!outcome.scheduled.empty())
        text += std::string(text.empty() ? "" : "\n") +
                "These files are in use and will be removed when Windows starts again:\n" + outcome.scheduled;
    if (!text.empty())
        DoMsgBox(text.c_str(), "Remove Quorvane/32 2.0", MB_OK | MB_ICONINFORMATION);
}

// The entry first, then the program's copy (in use while it runs: removed
// at the next start), the log last.
static void RemoveUninstaller(struct _setup_info *si, const char *log_path, const char *software_name,
                              struct removal_outcome *outcome)
{
    char key_path[512], copy_dir[MAX_PATH], file[MAX_PATH];
    if (UninstallKeyPath(key_path, sizeof key_path, software_name) &&
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, key_path) == ERROR_SUCCESS)
        RecordAction("delkey", key_path, NULL);
    CopyText(copy_dir, sizeof copy_dir, log_path);
    copy_dir[strlen(copy_dir) - 4] = '\0';  // without ".log"
    for (const char *name : {"setup.exe", "setuprt.dll", "mscuistf.dll"}) {
        if (FormatText(file, sizeof file, "%s\\%s", copy_dir, name))
            RemoveOrSchedule(si, file, outcome, 0);
    }
    if (RemoveDirectoryA(copy_dir)) {
        RecordAction("rmdir", copy_dir, NULL);
    } else if (PathExists(copy_dir) && ScheduleRemoval(si, copy_dir)) {
        RecordAction("schedule", copy_dir, NULL);
        outcome->scheduled_paths.push_back(copy_dir);
    }
    RemoveOrSchedule(si, log_path, outcome, 0);
}

void Uninstall(struct _setup_info *si, const char *log_path)
{
    std::vector<struct log_record> records;
    ReadLog(si, log_path, records);
    Confirm(si);
    OpenProgress(si);
    struct removal_outcome outcome;
    outcome.environment_changed = 0;
    for (size_t i = records.size(); i-- > 0;) {
        si->percent_done = 100.0 * static_cast<double>(records.size() - i) / static_cast<double>(records.size());
        ShowStatus(si, "Removing", records[i].path.c_str());
        TakeBack(si, records, i, &outcome);
    }
    if (outcome.environment_changed)
        BroadcastSettingChange("Environment");
    DestroyWindow(si->hProgBarDlg);
    si->hProgBarDlg = NULL;
    Tell(outcome);
    RemoveUninstaller(si, log_path, records[0].path.c_str(), &outcome);
    // The destination held the log and the copy until now.
    for (size_t i = records.size(); i-- > 0;) {
        if (records[i].kind == LOG_DIR)
            RemoveEmptyDirectory(si, records[i].path, &outcome);
    }
    UIPopAll();
    EndSetupToolkit();
    if (si->platform == PLATFORM_WIN95)
        CoUninitialize();
    exit(SetupExitCode(0));
}
