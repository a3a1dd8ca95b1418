// modules.h - the libraries the runtime loads by name (dialog library, bitmaps).
#pragma once

#include <windows.h>

namespace rt {

// The module of szDll, loaded on first use and kept for the life of the
// process: dialogs, help dialogs and the frame's bitmap come from it, and the
// library may have registered window classes. Null when it cannot be loaded.
HMODULE CachedLibrary(const char *szDll);

}  // namespace rt
