// uninstall.h - the parts of taking an installation back that stand alone.
#pragma once

#include <string>

// Takes the first element of the ";"-separated list that equals element
// (without regard to case) out, with one separator beside it; every other
// byte of the list stays. 0 when no element equals it.
int RemoveListElement(std::string &list, const std::string &element);
