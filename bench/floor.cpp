// floor.cpp - the least work an installation from a medium needs, timed
// beside setup.exe: one CopyFileA per file, or for a compressed file read,
// decode (the installer's own decoder, codec/) and write.
//
//   floor.exe copy|decode LIST
//
// LIST has one action a line, fields separated by tabs: "D<tab>DIR" makes a
// directory, "F<tab>SOURCE<tab>TARGET" brings a file over. Exit code 0 when
// every file is in, 1 at the first failure (named on standard error).
#include <windows.h>

#include <stdio.h>
#include <string.h>

#include "lz_expand.h"

namespace {

enum class Mode { copy, decode };

int write_block(void *context, const unsigned char *bytes, size_t size)
{
    DWORD wrote = 0;
    return WriteFile(*static_cast<HANDLE *>(context), bytes, static_cast<DWORD>(size), &wrote, NULL) &&
           wrote == size;
}

unsigned char input[1 << 20];
_lz_expand decoder;

bool decode_file(const char *source, const char *target)
{
    HANDLE in = CreateFileA(source, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN,
                            NULL);
    if (in == INVALID_HANDLE_VALUE)
        return false;
    HANDLE out = CreateFileA(target, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (out == INVALID_HANDLE_VALUE) {
        CloseHandle(in);
        return false;
    }
    LzExpandBegin(&decoder, write_block, &out);
    LzResult result = LZ_MORE_INPUT;
    DWORD got = 0;
    while (result == LZ_MORE_INPUT && ReadFile(in, input, sizeof input, &got, NULL) && got > 0)
        result = LzExpandFeed(&decoder, input, got);
    if (result == LZ_MORE_INPUT)
        result = LzExpandEnd(&decoder);
    CloseHandle(in);
    bool closed = CloseHandle(out);
    return result == LZ_DONE && closed;
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

bool carry_out(Mode mode, char *line)
{
    char *fields[3] = {};
    int count = split_fields(line, fields);
    if (count == 2 && strcmp(fields[0], "D") == 0)
        return CreateDirectoryA(fields[1], NULL) || GetLastError() == ERROR_ALREADY_EXISTS;
    if (count == 3 && strcmp(fields[0], "F") == 0)
        return mode == Mode::copy ? CopyFileA(fields[1], fields[2], FALSE) != 0
                                  : decode_file(fields[1], fields[2]);
    return false;
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc != 3 || (strcmp(argv[1], "copy") != 0 && strcmp(argv[1], "decode") != 0)) {
        fprintf(stderr, "usage: floor copy|decode LIST\n");
        return 1;
    }
    Mode mode = strcmp(argv[1], "copy") == 0 ? Mode::copy : Mode::decode;

    FILE *list = fopen(argv[2], "r");
    if (!list) {
        fprintf(stderr, "floor: cannot open %s\n", argv[2]);
        return 1;
    }
    char line[2048];
    int status = 0;
    for (int number = 1; fgets(line, sizeof line, list); number++) {
        if (!carry_out(mode, line)) {
            fprintf(stderr, "floor: line %d of %s failed (error %lu)\n", number, argv[2], GetLastError());
            status = 1;
            break;
        }
    }
    fclose(list);
    return status;
}
