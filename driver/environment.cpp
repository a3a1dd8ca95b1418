// The search path and environment variables of a file set, and the search
// paths of its programs.
#include "setup.h"
#include "setuprt.h"
#include "text.h"

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

// Each new directory goes in front, so a file set's entries end up in
// reverse order before the old value.
static const char *AddPathEntries(struct _fileset_info *fs, struct _setup_info *si, struct path_value *pv)
{
    for (struct _PathItems *item = fs->path_items; item; item = item->next) {
        int fits = item->path[0] == '\\'
                       ? CopyText(si->temp_temp_path, sizeof si->temp_temp_path, item->path)
                       : FormatText(si->temp_temp_path, sizeof si->temp_temp_path, "%s\\%s", si->dst_dir, item->path);
        if (!fits) {
            FormatText(si->output_buf, sizeof si->output_buf, "The search path entry %s is too long", item->path);
            return si->output_buf;
        }
        if (IsPathElement(pv->new_path, si->temp_temp_path) || IsPathElement(pv->expanded, si->temp_temp_path))
            continue;
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
static const char *WriteEnvironment(HKEY key, struct _fileset_info *fs, struct _setup_info *si,
                                    const struct path_value *pv)
{
    if (RegSetValueExA(key, "Path", 0, REG_EXPAND_SZ, (const BYTE *)pv->new_path,
                       (DWORD)strlen(pv->new_path) + 1) != ERROR_SUCCESS)
        return "Error setting Path to Registry";
    for (struct _EnvironItems *item = fs->environ_items; item; item = item->next) {
        if (RegSetValueExA(key, item->var, 0, REG_SZ, (const BYTE *)item->value, (DWORD)strlen(item->value) + 1) !=
            ERROR_SUCCESS) {
            FormatText(si->output_buf, sizeof si->output_buf, "Error setting %s to Registry", item->var);
            return si->output_buf;
        }
    }
    return NULL;
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
        failure = WriteEnvironment(key, fs, si, &pv);
    RegCloseKey(key);
    FreePathValue(&pv);
    if (failure)
        FatalStop(si, failure, "Fatal Error");
    return 1;
}

// The toolkit takes the entries as the script wrote them.
int SetEnvironmentVars(struct _fileset_info *fs, struct _setup_info *si)
{
    for (struct _PathItems *item = fs->path_items; item; item = item->next) {
        if (!SetEnvVariable("PATH", item->path, ENV_ADD_TO_PATH))
            FatalStopFormatted(si, "Fatal Error", "Error adding %s to the search path", item->path);
    }
    for (struct _EnvironItems *item = fs->environ_items; item; item = item->next) {
        if (!SetEnvVariable(item->var, item->value, ENV_SET_VARIABLE))
            FatalStopFormatted(si, "Fatal Error", "Error setting the environment variable %s", item->var);
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
        int fits = item->path[0] == '\\' ? FormatText(cur_path, sizeof cur_path, "%s;", item->path)
                                         : FormatText(cur_path, sizeof cur_path, "%s\\%s;", si->dst_dir, item->path);
        if (!fits) {
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
    HKEY key = CreateKeyFromPath(si, HKEY_LOCAL_MACHINE, key_path);
    if (!key) {
        free(path_list);
        FatalStop(si, "Cannot Create Key", "Fatal Error");
    }
    LONG result = RegSetValueExA(key, "Path", 0, REG_SZ, (const BYTE *)path_list, (DWORD)strlen(path_list) + 1);
    RegCloseKey(key);
    free(path_list);
    if (result != ERROR_SUCCESS)
        FatalStop(si, "Cannot Set Key", "Fatal Error");
    return 1;
}
