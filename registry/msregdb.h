// msregdb.h - registry functions bound from ADVAPI32.DLL at run time.
//
// The plain family works on keys below HKEY_CLASSES_ROOT and on their
// default (unnamed) value; the Ex family takes the parent key from the caller
// and works on named, typed values. A step that fails reports its label
// through the toolkit's error handler and ends the run through SetupError; a
// value longer than the caller's buffer shows "Buffer Overflow" first. Keys
// opened here are closed before each function returns.
#pragma once

#include <windows.h>

// Loads the library and binds its entry points: 1, or 0 with nothing held
// when the library or one of the required entry points is missing.
int FInitRegDb(void);
// Releases the library; harmless when nothing is held.
void TerminateRegDb(void);

// Plain family, below HKEY_CLASSES_ROOT.
void CreateRegKey(const char *szKey);
// Creates the key when needed and sets its default value.
void CreateRegKeyValue(const char *szKey, const char *szValue);
void SetRegKeyValue(const char *szKey, const char *szValue);
int DoesRegKeyExist(const char *szKey);
// The default value in szBuf (cbBuf is its full size); "" when the key is missing.
char *GetRegKeyValue(const char *szKey, char *szBuf, unsigned cbBuf);
// Removes the key and everything below it; a missing key is no error.
void DeleteRegKey(const char *szKey);

// Ex family, below an open key or a predefined root.
void CreateRegKeyEx(HKEY hKey, const char *szKey);
// The key must exist already.
void CreateRegKeyValueEx(HKEY hKey, const char *szKey, const char *szValueName, DWORD dwType,
                         const void *lpValueData, DWORD dwDataLen);
void SetRegKeyValueEx(HKEY hKey, const char *szKey, const char *szValueName, DWORD dwType,
                      const void *lpValueData, DWORD dwDataLen);
int DoesRegKeyExistEx(HKEY hKey, const char *szKey);
// 0 with the value's type and data, or ERROR_BADKEY (1010) without a message
// when the key is missing. Text data always ends in a zero within cbBuf.
long GetRegKeyValueEx(HKEY hKey, const char *szKey, const char *szValueName, DWORD *lpdwType,
                      void *lpBuf, DWORD cbBuf);
void DeleteRegKeyEx(HKEY hKey, const char *szKey);

// Deletes the key and its whole tree, deepest keys first: 1, or 0 after
// reporting the step that failed (the run goes on; the caller decides).
int DeleteAllSubKeys(HKEY hKey, const char *szKey);
