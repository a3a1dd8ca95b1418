// uninstall.h - taking an installation back: the removal of what an
// installation log records.
#pragma once

#include "base/setup_info.h"

#include <string>

[[noreturn]] void Uninstall(struct _setup_info *si, const char *log_path);

// Takes the first element of the ";"-separated list that equals element
// (without regard to case) out, with one separator beside it; every other
// byte of the list stays. 0 when no element equals it.
int RemoveListElement(std::string &list, const std::string &element);
