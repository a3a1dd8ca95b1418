// fuzz_support.h - what the fuzz targets share: stops that return to the
// target instead of ending the process, and the setup record.
#pragma once

#include <stddef.h>

#include <memory>

#include "base/setup_info.h"

// Thrown by the driver's fatal stops and by the toolkit's SetupError: the
// run would end here, so the target goes on with the next input.
struct FuzzStop {
    const char *text;
};

// Ends the run as a finding when ok is false, naming what went wrong.
void Require(bool ok, const char *what);

// 1 when the text field of size bytes holds its terminator.
bool Terminated(const char *field, size_t size);

// Whether every byte of the n at field still holds the fill byte.
bool Untouched(const void *field, size_t n);

// Fills fields the code under test must not write.
enum : unsigned char { FILL = 0xA5 };

// The record as start-up leaves it before the scan: all zero. The fields
// from src_disk_dir on, which neither the scanner nor the body-line parser
// fills, hold FILL.
std::unique_ptr<struct _setup_info> NewSetupRecord();
// Fills bytes from src_disk_dir to the end of the record.
void FillAfterScanFields(struct _setup_info *si);
bool UntouchedAfterScanFields(const struct _setup_info *si);

// Frees the item lists of every file set; the driver never does.
void FreeItemLists(struct _setup_info *si);
