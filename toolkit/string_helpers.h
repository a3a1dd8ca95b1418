// strings.h - string and Windows helpers of the wrapper layer.
//
// Every scan steps by character with CharNextA, so the trail byte of a
// double-byte character is never taken for a separator. Output limits
// (cbBfrMax, cbBufMax) count the characters a buffer may receive without
// its terminator: callers pass one less than the buffer's size.
#pragma once

char *lstrchr(char *sz, char ch);
int InStr(int cch, const char *sz1, const char *sz2);
char *GetNthFieldFromIniString(char *szLine, int iField, char *szBfr, unsigned cbBfrMax);
void RightTrim(char *sz);
// 1 when the last character is a single-byte backslash.
int FEndsInBackslash(const char *sz);
int FValidDrive(const char *szDrive);

// Joined texts in a static buffer of each function, valid until its next call;
// the caller keeps the joined length below 2, 3 or 4 times 255.
char *SzCatStr(const char *sz1, const char *sz2);
char *SzCat2Str(const char *sz1, const char *sz2, const char *sz3);
char *SzCat3Str(const char *sz1, const char *sz2, const char *sz3, const char *sz4);

char *GetWindowsDir(char *szBuf, unsigned cbBufMax);
char *GetWindowsSysDir(char *szBuf, unsigned cbBufMax);
int IsWindowsShared(void);
int GetWindowsMode(void);
int GetScreenWidth(void);
int GetScreenHeight(void);
