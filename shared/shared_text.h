// shared_text.h - names and bounded path building shared by the module.
#pragma once

#include <stddef.h>

extern const char szWinIni[];  // "WIN.INI"
extern const char szMsapps[];  // "MSAPPS": the section and its root key

// Non-null and not empty.
int FHasText(const char *sz);
// Appends a backslash unless sz ends in one; 0, sz unchanged, when it does not fit.
int FEnsureBackslash(char *sz, size_t cbSz);
// Appends szMore; 0, sz unchanged, when it does not fit.
int FAppendText(char *sz, size_t cbSz, const char *szMore);
// Copies szSrc, or leaves szDst empty when it does not fit.
void CopyIfFits(char *szDst, size_t cbDst, const char *szSrc);
