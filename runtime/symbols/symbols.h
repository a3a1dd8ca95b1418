// symbols.h - the runtime's own access to the symbol table.
#pragma once

#include <string>

namespace rt {

// The value as CbGetSymbolValue gives it; "" for a missing symbol.
std::string SymbolValue(const std::string &name);

// Sets a one-item value without a transcript line (the runtime's DLGEVENT).
void SetSymbolQuietly(const std::string &name, const std::string &value);

}  // namespace rt
