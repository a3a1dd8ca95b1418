// startup.h - filling the setup record: the script found, copied and
// scanned; and whether the user may install.
#pragma once

#include "base/setup_info.h"

int InitSetupInfo(struct _setup_info *si, HINSTANCE hInstance);
int RunningAsAdministrator(void);
// The product's name and banner from the script on the frame and in the
// dialogs; without them the installer's own stand.
void ShowProduct(struct _setup_info *si);
