// install.h - the install sequence: the chosen file sets copied one by one
// (install_fileset.cpp) behind the progress window, then registered.
#pragma once

#include "base/setup_info.h"

void Install(struct _setup_info *si);
int InstallFileSet(int file_set_no, struct _setup_info *si);
