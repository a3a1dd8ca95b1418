// startup.h - filling the setup record: the script found, copied and
// scanned; and whether the user may install.
#pragma once

#include "base/setup_info.h"

int InitSetupInfo(struct _setup_info *si, HINSTANCE hInstance);
int RunningAsAdministrator(void);
