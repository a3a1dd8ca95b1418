// file_record.h - what a file of the medium holds once installed, as the
// builder recorded it in a comment line just before the file's line:
//   ; length 716800 crc32 1A2B3C4D
// A comment to an installer that does not know it; a damaged diskette or
// disc shows as a file that differs from its record.
#pragma once

struct file_record {
    int present;
    unsigned long long length;
    unsigned long crc;
};

// The record a line holds (from its first non-blank), or present 0 when
// the line is no such comment.
void TakeFileRecord(const char *line, struct file_record *record);
