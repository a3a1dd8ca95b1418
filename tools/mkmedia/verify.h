// verify.h - a finished medium installed unattended under Wine, on the NT
// family and on the 95 family, and the result held against the product tree.
#pragma once

#include "medium.h"

// mkmedia verify's command line; its exit code.
int VerifyCommand(int argc, char **argv);

// 0 when the medium installs the product tree from and registers every set
// on both families, 1 on any difference or a medium that fails check (with
// the options given), 2 when it cannot be tried (no Wine, no display, no
// prefix).
int VerifyMedium(const fs::path &medium, const fs::path &from, const CheckOptions &check, bool quiet);
