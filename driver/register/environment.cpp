// The search path and environment variables of a file set, and the search
// paths of its programs.
#include "log/install_log.h"
#include "log/log_places.h"
#include "script/script_checks.h"
#include "base/fatal.h"
#include "register/register.h"
#include "setuprt.h"
#include "base/text.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

// The length of text[0..length) without one trailing backslash.
static int LengthWithoutSlash(const char *text, int length)
{
    const char *last = NULL;
    for (const char *p = text; p < text + length; p = CharNextA(p))
        last = p;
    if (last && *last == '\\' && last + 1 == text + length)
        return length - 1;
    return length;
}

// Whether dir is one of the ";"-separated elements of list, compared without
// case and without a trailing backslash: "bin" is no element of "C:\usr\bin".
static int IsPathElement(const char *list, const char *dir)
{
    int dir_length = LengthWithoutSlash(dir, (int)strlen(dir));
    const char *start = list;
    for (const char *p = list;; p = CharNextA(p)) {
        if (*p != ';' && *p != '\0')
            continue;
        int length = LengthWithoutSlash(start, (int)(p - start));
        if (CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, start, length, dir, dir_length) == CSTR_EQUAL)
            return 1;
        if (*p == '\0')
            return 0;
        start = p + 1;
    }
}

// The stored Path, its expanded form and the value being built; each
// allocated here and freed by FreePathValue.
struct path_value {
    DWORD type;  // as stored
    char *stored;
    char *expanded;
    char *new_path;
};

static void FreePathValue(struct path_value *pv)
{
    free(pv->stored);
    free(pv->expanded);
    free(pv->new_path);
    memset(pv, 0, sizeof *pv);
}

// The stored text need not end in a zero: it gets one here.
static const char *ReadPathValue(HKEY key, struct path_value *pv)
{
    DWORD type = 0, cb = 0;
    if (RegQueryValueExA(key, "Path", NULL, &type, NULL, &cb) != ERROR_SUCCESS)
        return "Error Querying Path registry";
    pv->stored = (char *)malloc(cb + 1);
    if (!pv->stored)
        return "Memory alloc failed";
    if (RegQueryValueExA(key, "Path", NULL, &type, (BYTE *)pv->stored, &cb) != ERROR_SUCCESS)
        return "Error Querying Path registry";
    pv->stored[cb] = '\0';
    pv->type = type;

    if (type == REG_EXPAND_SZ) {
        DWORD needed = ExpandEnvironmentStringsA(pv->stored, NULL, 0);
        if (needed == 0)
            return "Error expanding Environment Vars";
        pv->expanded = (char *)malloc(needed + 1);
        if (!pv->expanded)
            return "Memory alloc failed";
        DWORD written = ExpandEnvironmentStringsA(pv->stored, pv->expanded, needed + 1);
        if (written == 0 || written > needed + 1)
            return "Error expanding Environment Vars";
    } else {
        pv->expanded = _strdup(pv->stored);
    }
    pv->new_path = _strdup(pv->stored);
    if (!pv->expanded || !pv->new_path)
        return "Memory alloc failed";
    return NULL;
}

// A rooted entry and one with a drive are taken as they stand; any other
// lies below the destination directory. suffix follows the directory.
static int ComposePathEntry(char *buf, size_t cb, const struct _setup_info *si, const char *path,
                            const char *suffix)
{
    if (path[0] == '\\' || HasDrive(path))
        return FormatText(buf, cb, "%s%s", path, suffix);
    return FormatText(buf, cb, "%s\\%s%s", si->dst_dir, path, suffix);
}

// The system keeps an environment variable of at most 32,767 characters
// with its terminator: a longer Path would be lost at the next logon.
static const size_t LONGEST_VARIABLE = 32767 - 1;

// Each new directory goes in front, so a file set's entries end up in
// reverse order before the old value. Path is never made longer than the
// system keeps, in its stored or in its expanded form.
static const char *AddPathEntries(struct _fileset_info *fs, struct _setup_info *si, struct path_value *pv)
{
    size_t expanded_length = strlen(pv->expanded);
    for (struct _PathItems *item = fs->path_items; item; item = item->next) {
        // An empty entry names no directory of its own: nothing to add.
        if (item->path[0] == '\0')
            continue;
        if (!ComposePathEntry(si->temp_temp_path, sizeof si->temp_temp_path, si, item->path, "")) {
            FormatText(si->output_buf, sizeof si->output_buf, "The search path entry %s is too long", item->path);
            return si->output_buf;
        }
        if (IsPathElement(pv->new_path, si->temp_temp_path) || IsPathElement(pv->expanded, si->temp_temp_path)) {
            LogPathElement(si, si->temp_temp_path, 1, pv->type);
            continue;
        }
        size_t added = strlen(si->temp_temp_path) + 1;
        expanded_length += added;
        if (strlen(pv->new_path) + added > LONGEST_VARIABLE || expanded_length > LONGEST_VARIABLE) {
            FormatText(si->output_buf, sizeof si->output_buf,
                       "The search path cannot take %s: Path would be longer than %u characters. Path is left "
                       "unchanged.",
                       si->temp_temp_path, static_cast<unsigned>(LONGEST_VARIABLE));
            return si->output_buf;
        }
        LogPathElement(si, si->temp_temp_path, 0, pv->type);
        size_t cb = strlen(si->temp_temp_path) + 1 + strlen(pv->new_path) + 1;
        char *longer = (char *)malloc(cb);
        if (!longer)
            return "Memory alloc failed";
        snprintf(longer, cb, "%s;%s", si->temp_temp_path, pv->new_path);
        free(pv->new_path);
        pv->new_path = longer;
    }
    return NULL;
}

// Path is always written back, and always as REG_EXPAND_SZ.
static const char *WriteEnvironment(HKEY key, const char *key_path, struct _fileset_info *fs,
                                    struct _setup_info *si, const struct path_value *pv)
{
    if (RegSetValueExA(key, "Path", 0, REG_EXPAND_SZ, (const BYTE *)pv->new_path,
                       (DWORD)strlen(pv->new_path) + 1) != ERROR_SUCCESS)
        return "Error setting Path to Registry";
    for (struct _EnvironItems *item = fs->environ_items; item; item = item->next) {
        if (SetLoggedValue(si, key, key_path, item->var, REG_SZ, item->value, (DWORD)strlen(item->value) + 1) !=
            ERROR_SUCCESS) {
            FormatText(si->output_buf, sizeof si->output_buf, "Error setting %s to Registry", item->var);
            return si->output_buf;
        }
    }
    return NULL;
}

int SystemPathReadable(void)
{
    HKEY key;
    LONG found = RegOpenKeyExA(HKEY_LOCAL_MACHINE, ENVIRONMENT_KEY, 0, KEY_QUERY_VALUE, &key);
    if (found == ERROR_SUCCESS) {
        found = RegQueryValueExA(key, "Path", NULL, NULL, NULL, NULL);
        RegCloseKey(key);
    }
    return found == ERROR_SUCCESS;
}

int CreateEnvironmentRegistry(struct _fileset_info *fs, struct _setup_info *si)
{
    char abPathBuffer[260];
    FormatText(abPathBuffer, sizeof abPathBuffer, "%s\\%s\\%s\\%s\\%s", "System", "CurrentControlSet", "Control",
               "Session Manager", "Environment");
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, abPathBuffer, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        FatalStop(si, "Error Opening Path registry", "Fatal Error");

    struct path_value pv;
    memset(&pv, 0, sizeof pv);
    const char *failure = ReadPathValue(key, &pv);
    if (!failure)
        failure = AddPathEntries(fs, si, &pv);
    if (!failure)
        failure = WriteEnvironment(key, abPathBuffer, fs, si, &pv);
    RegCloseKey(key);
    FreePathValue(&pv);
    if (failure)
        FatalStop(si, failure, "Fatal Error");
    return 1;
}

// The toolkit's refusal of the setting that text names; the last error may
// say why.
[[noreturn]] static void StopForSetting(struct _setup_info *si, const char *text)
{
    if (GetLastError() == ERROR_BUFFER_OVERFLOW)
        FatalStopFormatted(si, "Fatal Error",
                           "%s: its line in AUTOEXEC.BAT would be longer than the %d characters that the command "
                           "interpreter reads. AUTOEXEC.BAT and the environment are left as they were.",
                           text, ENV_LONGEST_BATCH_LINE);
    FatalStop(si, text, "Fatal Error");
}

// A relative entry is joined with the destination, as on NT: a bare "bin"
// in PATH would name a directory below whatever folder a prompt is in. The
// scan has refused every entry and setting that the toolkit would refuse
// as unsafe.
int SetEnvironmentVars(struct _fileset_info *fs, struct _setup_info *si)
{
    char text[320];
    for (struct _PathItems *item = fs->path_items; item; item = item->next) {
        if (!ComposePathEntry(si->temp_temp_path, sizeof si->temp_temp_path, si, item->path, ""))
            FatalStopFormatted(si, "Fatal Error", "The search path entry %s is too long", item->path);
        if (!SetLoggedEnvVariable(si, "PATH", si->temp_temp_path, ENV_ADD_TO_PATH)) {
            FormatText(text, sizeof text, "Error adding %s to the search path", item->path);
            StopForSetting(si, text);
        }
    }
    for (struct _EnvironItems *item = fs->environ_items; item; item = item->next) {
        if (!SetLoggedEnvVariable(si, item->var, item->value, ENV_SET_VARIABLE)) {
            FormatText(text, sizeof text, "Error setting the environment variable %s", item->var);
            StopForSetting(si, text);
        }
    }
    return 1;
}

// "dir;dir;...;": every entry ends in ";", relative ones joined to dst_dir.
// Null without entries; otherwise the caller frees the list.
static char *BuildSearchPathList(struct _setup_info *si, struct _fileset_info *fs)
{
    char *path_list = NULL;
    size_t used = 0;
    for (struct _PathItems *item = fs->path_items; item; item = item->next) {
        char cur_path[260];
        if (!ComposePathEntry(cur_path, sizeof cur_path, si, item->path, ";")) {
            free(path_list);
            FatalStopFormatted(si, "Fatal Error", "The search path entry %s is too long", item->path);
        }
        size_t length = strlen(cur_path);
        char *longer = (char *)realloc(path_list, used + length + 1);
        if (!longer) {
            free(path_list);
            FatalStop(si, "Memory alloc error", "Fatal Error");
        }
        path_list = longer;
        memcpy(path_list + used, cur_path, length + 1);
        used += length;
    }
    return path_list;
}

// The last component of the program's path: after the last backslash,
// slash or drive colon.
static const char *ProgramFileName(const char *app_exe)
{
    const char *file_name = app_exe;
    for (const char *p = app_exe; *p; p = CharNextA(p)) {
        if (*p == '\\' || *p == '/' || *p == ':')
            file_name = p + 1;
    }
    return file_name;
}

long SetSearchPath(struct _setup_info *si, struct _fileset_info *fs, const char *app_exe)
{
    char *path_list = BuildSearchPathList(si, fs);
    if (!path_list)
        return 1;
    char key_path[260];
    const char *file_name = ProgramFileName(app_exe);
    if (!*file_name || !FormatText(key_path, sizeof key_path, "%s\\%s",
                                   "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths", file_name)) {
        free(path_list);
        FatalStopFormatted(si, "Fatal Error", "Cannot register the search path of %s", app_exe);
    }
    int existing_levels = ExistingKeyLevels(key_path);
    HKEY key = CreateKeyFromPath(si, HKEY_LOCAL_MACHINE, key_path);
    if (!key) {
        free(path_list);
        FatalStop(si, "Cannot Create Key", "Fatal Error");
    }
    LogKeysMade(si, key_path, existing_levels);
    LONG result = SetLoggedValue(si, key, key_path, "Path", REG_SZ, path_list, (DWORD)strlen(path_list) + 1);
    RegCloseKey(key);
    free(path_list);
    if (result != ERROR_SUCCESS)
        FatalStop(si, "Cannot Set Key", "Fatal Error");
    return 1;
}
