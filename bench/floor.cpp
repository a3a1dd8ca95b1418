// floor.cpp - the least work an installation from a medium needs, timed
// beside setup.exe: one CopyFileA per file, or one expand.exe child per
// file started and waited on as setup.exe does it.
//
//   floor.exe copy|expand LIST
//
// LIST has one action a line, fields separated by tabs: "D<tab>DIR" makes a
// directory, "F<tab>SOURCE<tab>TARGET" brings a file over. Exit code 0 when
// every file is in, 1 at the first failure (named on standard error).
#include <windows.h>

#include <stdio.h>
#include <string.h>

namespace {

enum class Mode { copy, expand };

// The command line setup.exe gives expand.exe: a path with a blank goes in
// double quotes, every other path as it is.
void append_path(char *command, size_t size, const char *path)
{
    const char *quote = strchr(path, ' ') ? "\"" : "";
    size_t used = strlen(command);
    snprintf(command + used, size - used, "%s%s%s%s", used ? " " : "", quote, path, quote);
}

bool expand_file(const char *expand_path, const char *source, const char *target)
{
    char command[1024] = "";
    append_path(command, sizeof command, expand_path);
    append_path(command, sizeof command, source);
    append_path(command, sizeof command, target);

    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION child = {};
    if (!CreateProcessA(expand_path, command, NULL, NULL, TRUE,
                        CREATE_DEFAULT_ERROR_MODE | NORMAL_PRIORITY_CLASS | DETACHED_PROCESS, NULL, NULL,
                        &startup, &child))
        return false;
    DWORD exit_code = 1;
    bool ended = WaitForSingleObject(child.hProcess, INFINITE) == WAIT_OBJECT_0 &&
                 GetExitCodeProcess(child.hProcess, &exit_code);
    CloseHandle(child.hProcess);
    CloseHandle(child.hThread);
    return ended && exit_code == 0;
}

// Cuts the line at its tabs and its end; returns the number of fields.
int split_fields(char *line, char *fields[3])
{
    line[strcspn(line, "\r\n")] = '\0';
    int count = 0;
    for (char *field = line; field && count < 3; count++) {
        fields[count] = field;
        field = strchr(field, '\t');
        if (field)
            *field++ = '\0';
    }
    return count;
}

bool carry_out(Mode mode, const char *expand_path, char *line)
{
    char *fields[3] = {};
    int count = split_fields(line, fields);
    if (count == 2 && strcmp(fields[0], "D") == 0)
        return CreateDirectoryA(fields[1], NULL) || GetLastError() == ERROR_ALREADY_EXISTS;
    if (count == 3 && strcmp(fields[0], "F") == 0)
        return mode == Mode::copy ? CopyFileA(fields[1], fields[2], FALSE) != 0
                                  : expand_file(expand_path, fields[1], fields[2]);
    return false;
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc != 3 || (strcmp(argv[1], "copy") != 0 && strcmp(argv[1], "expand") != 0)) {
        fprintf(stderr, "usage: floor copy|expand LIST\n");
        return 1;
    }
    Mode mode = strcmp(argv[1], "copy") == 0 ? Mode::copy : Mode::expand;
    char expand_path[MAX_PATH];
    UINT length = GetSystemDirectoryA(expand_path, MAX_PATH - sizeof "\\expand.exe");
    if (length == 0 || length >= MAX_PATH - sizeof "\\expand.exe")
        return 1;
    strcat(expand_path, "\\expand.exe");

    FILE *list = fopen(argv[2], "r");
    if (!list) {
        fprintf(stderr, "floor: cannot open %s\n", argv[2]);
        return 1;
    }
    char line[2048];
    int status = 0;
    for (int number = 1; fgets(line, sizeof line, list); number++) {
        if (!carry_out(mode, expand_path, line)) {
            fprintf(stderr, "floor: line %d of %s failed (error %lu)\n", number, argv[2], GetLastError());
            status = 1;
            break;
        }
    }
    fclose(list);
    return status;
}
