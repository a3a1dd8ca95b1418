// modules.cpp - a cache of libraries loaded by name.
#include "base/modules.h"

#include <map>
#include <string>

namespace rt {

HMODULE CachedLibrary(const char *szDll) {
    static std::map<std::string, HMODULE> loaded;  // by upper-case name
    if (!szDll || !*szDll) return nullptr;
    std::string key = szDll;
    CharUpperBuffA(&key[0], static_cast<DWORD>(key.size()));
    auto found = loaded.find(key);
    if (found != loaded.end()) return found->second;
    HMODULE module = LoadLibraryA(szDll);
    if (module) loaded[key] = module;
    return module;
}

}  // namespace rt
