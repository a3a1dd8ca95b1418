// uninstall_entry.cpp - what an installation leaves for taking it back: the
// three program files in a directory of the destination, and the system's
// uninstall entry that starts them on the log. Both are there before the
// first file is copied, so that a run cut short can be taken back; the end
// of the run completes the entry with the size and checksum of its log.
#include "log/install_log.h"
#include "base/program_files.h"
#include "base/fatal.h"
#include "register/register.h"
#include "base/text.h"

#include <string.h>

#include <initializer_list>
#include <vector>

int UninstallKeyPath(char *key_path, size_t cb, const char *company, const char *software_name)
{
    char key[256];
    return ProductKeyName(key, sizeof key, company, software_name) &&
           FormatText(key_path, cb, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\%s", key);
}

// The program files as they were at the start of the installation: from
// a diskette, they are gone once another one is in the drive.
static std::vector<char> program_bytes[sizeof PROGRAM_FILES / sizeof PROGRAM_FILES[0]];

static int ReadWhole(const char *path, std::vector<char> &bytes)
{
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    DWORD size = GetFileSize(file, NULL), got = 0;
    bytes.resize(size == INVALID_FILE_SIZE ? 0 : size);
    int whole = size != INVALID_FILE_SIZE && ReadFile(file, bytes.data(), size, &got, NULL) && got == size;
    CloseHandle(file);
    return whole;
}

// A file that cannot be read stays empty: the installation goes on, and
// registering its uninstaller stops at the end.
void KeepProgramFiles(void)
{
    char from[MAX_PATH];
    for (size_t i = 0; i < sizeof PROGRAM_FILES / sizeof PROGRAM_FILES[0]; i++) {
        if (!ProgramFilePath(PROGRAM_FILES[i], from, sizeof from) || !ReadWhole(from, program_bytes[i]))
            program_bytes[i].clear();
    }
}

// The copy replaces an earlier installation's; a run from the copy itself
// leaves it as it is. Whole or not at all: a copy cut short (a full disk)
// is taken away again, with its directory when this run made it.
static int CopyProgram(const char *copy_dir)
{
    char to[MAX_PATH];
    int made = CreateDirectoryA(copy_dir, NULL), whole = 1;
    if (!made && GetLastError() != ERROR_ALREADY_EXISTS)
        return 0;
    for (size_t i = 0; i < sizeof PROGRAM_FILES / sizeof PROGRAM_FILES[0] && whole; i++) {
        const std::vector<char> &bytes = program_bytes[i];
        whole = !bytes.empty() && FormatText(to, sizeof to, "%s\\%s", copy_dir, PROGRAM_FILES[i]);
        HANDLE file = whole ? CreateFileA(to, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL)
                            : INVALID_HANDLE_VALUE;
        if (file == INVALID_HANDLE_VALUE) {
            // The copy running: it is this program.
            whole = whole && GetLastError() == ERROR_SHARING_VIOLATION;
            continue;
        }
        DWORD written = 0;
        whole = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, NULL) &&
                written == bytes.size();
        CloseHandle(file);
        if (!whole)
            DeleteFileA(to);
    }
    if (whole)
        return 1;
    for (size_t i = 0; made && i < sizeof PROGRAM_FILES / sizeof PROGRAM_FILES[0]; i++) {
        if (FormatText(to, sizeof to, "%s\\%s", copy_dir, PROGRAM_FILES[i]))
            DeleteFileA(to);
    }
    if (made)
        RemoveDirectoryA(copy_dir);
    return 0;
}

static LONG SetText(HKEY key, const char *name, const char *text)
{
    return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE *>(text), (DWORD)strlen(text) + 1);
}

static LONG SetNumber(HKEY key, const char *name, DWORD number)
{
    return RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE *>(&number), sizeof number);
}

// The program's icon: that of the set's first program item, else none of
// its own.
static int IconOf(struct _setup_info *si, struct _fileset_info *fs, const char *copy_dir, char *icon, size_t cb)
{
    if (fs->prog_items && fs->prog_items->icon_path[0] != '\0')
        return FormatText(icon, cb, "%s\\%s,0", si->dst_dir, fs->prog_items->icon_path);
    return FormatText(icon, cb, "%s\\setup.exe,0", copy_dir);
}

// The log as the run leaves it: the uninstallation refuses one that was
// changed since. Without a log, nothing of the set was done.
static int SealEntry(HKEY key, const char *log_path)
{
    unsigned long long size = 0;
    unsigned long crc = 0;
    if (!PathExists(log_path))
        return 1;
    return FileChecksum(log_path, &size, &crc) && size <= 0xFFFFFFFFull &&
           SetNumber(key, "LogSize", static_cast<DWORD>(size)) == ERROR_SUCCESS &&
           SetNumber(key, "LogCrc", static_cast<DWORD>(crc)) == ERROR_SUCCESS;
}

// Every offered file set registers the same software.
static int OneSoftware(const struct _setup_info *si)
{
    for (int i = 2; i < si->num_file_sets; i++) {
        if (strcmp(si->file_set_list[i].software_name, si->file_set_list[1].software_name) != 0)
            return 0;
    }
    return 1;
}

static int WriteEntry(struct _setup_info *si, struct _fileset_info *fs, unsigned long long bytes,
                      const char *copy_dir, const char *log_path, int complete)
{
    char key_path[512], version[800] = "", date[16], command[1100], quiet[1100], icon[MAX_PATH + 4];
    SYSTEMTIME now;
    GetLocalTime(&now);
    FormatText(date, sizeof date, "%04u%02u%02u", now.wYear, now.wMonth, now.wDay);
    // The version's parts that the script gives, joined by dots.
    for (const char *part : {fs->major_version, fs->minor_version, fs->release}) {
        if (*part != '\0')
            FormatText(version + strlen(version), sizeof version - strlen(version), "%s%s", *version ? "." : "", part);
    }
    if (!UninstallKeyPath(key_path, sizeof key_path, si->company_name, fs->software_name) ||
        !FormatText(command, sizeof command, "\"%s\\setup.exe\" /u \"%s\"", copy_dir, log_path) ||
        !FormatText(quiet, sizeof quiet, "%s /q", command) || !IconOf(si, fs, copy_dir, icon, sizeof icon))
        return 0;
    HKEY key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, key_path, 0, NULL, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, NULL, &key,
                        NULL) != ERROR_SUCCESS)
        return 0;
    DWORD kilobytes = static_cast<DWORD>((bytes + 1023) / 1024);
    // Add/Remove Programs lists the product as the customer knows it; the
    // entries of a product of several software names stay apart.
    char shown[sizeof si->product_name + sizeof fs->software_name + 4];
    if (!*si->product_name)
        CopyText(shown, sizeof shown, fs->software_name);
    else if (OneSoftware(si))
        CopyText(shown, sizeof shown, si->product_name);
    else
        FormatText(shown, sizeof shown, "%s (%s)", si->product_name, fs->software_name);
    int written = SetText(key, "DisplayName", shown) == ERROR_SUCCESS &&
                  (!*version || SetText(key, "DisplayVersion", version) == ERROR_SUCCESS) &&
                  SetText(key, "Publisher", si->company_name) == ERROR_SUCCESS &&
                  SetText(key, "InstallLocation", si->dst_dir) == ERROR_SUCCESS &&
                  SetText(key, "InstallDate", date) == ERROR_SUCCESS &&
                  SetNumber(key, "EstimatedSize", kilobytes) == ERROR_SUCCESS &&
                  SetText(key, "UninstallString", command) == ERROR_SUCCESS &&
                  SetText(key, "QuietUninstallString", quiet) == ERROR_SUCCESS &&
                  SetText(key, "DisplayIcon", icon) == ERROR_SUCCESS &&
                  SetNumber(key, "NoModify", 1) == ERROR_SUCCESS && SetNumber(key, "NoRepair", 1) == ERROR_SUCCESS;
    if (written && complete) {
        written = SealEntry(key, log_path);
    } else {
        // An earlier run's seal no longer fits the log this run adds to.
        RegDeleteValueA(key, "LogSize");
        RegDeleteValueA(key, "LogCrc");
    }
    RegCloseKey(key);
    return written;
}

void RegisterUninstaller(struct _setup_info *si, struct _fileset_info *fs, unsigned long long bytes, int complete)
{
    char log_path[MAX_PATH], copy_dir[MAX_PATH];
    int fits = LogPathOf(log_path, sizeof log_path, si->dst_dir, si->company_name, fs->software_name) &&
               CopyText(copy_dir, sizeof copy_dir, log_path);
    if (fits)
        copy_dir[strlen(copy_dir) - 4] = '\0';  // without ".log"
    // Program files that could not be read (a medium path too long for them)
    // leave nothing to start: the run goes on, and its end stops.
    for (size_t i = 0; !complete && i < sizeof PROGRAM_FILES / sizeof PROGRAM_FILES[0]; i++) {
        if (program_bytes[i].empty())
            return;
    }
    if (!fits || !CopyProgram(copy_dir) || !WriteEntry(si, fs, bytes, copy_dir, log_path, complete))
        FatalStopFormatted(si, "Fatal Error", "Cannot register the uninstallation of %s", fs->software_name);
}
