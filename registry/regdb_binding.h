// The entry points of ADVAPI32.DLL, bound by FInitRegDb.
#pragma once

#include <windows.h>

struct RegDbEntryPoints {
    decltype(&RegCloseKey) lpfnRegCloseKey;
    decltype(&RegCreateKeyA) lpfnRegCreateKey;
    decltype(&RegDeleteKeyA) lpfnRegDeleteKey;
    decltype(&RegOpenKeyA) lpfnRegOpenKey;
    decltype(&RegQueryValueA) lpfnRegQueryValue;
    decltype(&RegSetValueA) lpfnRegSetValue;
    // Optional: a system without them still starts.
    decltype(&RegCreateKeyExA) lpfnRegCreateKeyEx;
    decltype(&RegOpenKeyExA) lpfnRegOpenKeyEx;
    decltype(&RegQueryValueExA) lpfnRegQueryValueEx;
    decltype(&RegSetValueExA) lpfnRegSetValueEx;
    decltype(&RegEnumKeyA) lpfnRegEnumKey;
    decltype(&RegQueryInfoKeyA) lpfnRegQueryInfoKey;
};

extern RegDbEntryPoints regdb;
