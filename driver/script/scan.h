// scan.h - the scan of setup.inf: its header and file-set blocks judged and
// read into the setup record before anything is copied.
#pragma once

#include "base/setup_info.h"

int ScanForFileSets(struct _setup_info *si);
// The number in setup.inf of the line the scan reads or stopped at.
int ScannedLineNumber(void);
