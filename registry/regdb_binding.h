// regdb_binding.h - the entry points of ADVAPI32.DLL bound by FInitRegDb,
// and what the operations of the layer share.
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

// 1 while the library is held. The pointers outlive TerminateRegDb, so an
// operation asks this before it calls through one.
int FRegDbLoaded(void);

// The toolkit's error report for a failed step: code 104, vital, the label.
void ReportRegDbFailure(const char *szLabel);
// The report, then the end of the run through SetupError.
[[noreturn]] void FailRegDbStep(const char *szLabel);
// Refuses an operation whose entry point is not there; ends the run.
[[noreturn]] void RefuseMissingEntryPoint(const char *szOperation, const char *szExport);

// The entry point an operation is about to call, never a null one.
template <typename Fn> Fn RequireEntryPoint(Fn pointer, const char *szOperation, const char *szExport)
{
    if (!FRegDbLoaded() || !pointer)
        RefuseMissingEntryPoint(szOperation, szExport);
    return pointer;
}

// A key opened by an operation, closed when it goes out of scope. Opening an
// empty path hands back the parent itself, which belongs to the caller and
// is left open.
class RegDbKey {
public:
    explicit RegDbKey(HKEY hParent) : hParent_(hParent) {}
    ~RegDbKey() { Close(); }
    RegDbKey(const RegDbKey &) = delete;
    RegDbKey &operator=(const RegDbKey &) = delete;

    HKEY *Out() { return &hKey_; }
    HKEY Get() const { return hKey_; }
    // The close's result; closing twice is harmless.
    LONG Close();

private:
    HKEY hParent_;
    HKEY hKey_ = NULL;
};

// Ensures text data read into szBuf (cbRead bytes of a buffer of cbBuf) ends
// in a zero; text that leaves no room for it is a "Buffer Overflow".
void TerminateRegText(char *szBuf, DWORD cbRead, DWORD cbBuf);

// CreateRegKey and CreateRegKeyEx: the key made under hKey, failing with szLabel.
void CreateKeyBelow(HKEY hKey, const char *szKey, const char *szLabel);
