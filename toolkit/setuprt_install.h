// setuprt_install.h - the install engine of setuprt.dll.
#pragma once

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

int  FInitializeInstall(HINSTANCE hinst, HWND hwndFrame);
void TerminateInstall(void);
int  EercErrorHandler(int grc, int fVital, const char *sz1, const char *sz2, const char *sz3);

// Program Manager groups and items, kept as Start-menu folders and shortcut
// files. An item is "name,icon file,icon index,x,y,working dir" (the fields
// after the name may be left out); its command is the program, a blank and
// the arguments. The calls without fCommon work on the groups of all users;
// the 95 family has one Programs folder for both.
int FCreateProgManGroup(const char *szGroup, const char *szPath, int cmo);
int FCreateProgManGroupEx(const char *szGroup, int fCommon, int cmo);
int FShowProgManGroup(const char *szGroup, const char *szCmd, int cmo);
int FShowProgManGroupEx(const char *szGroup, int fCommon, const char *szCmd, int cmo);
int FCreateProgManItem(const char *szGroup, const char *szItem, const char *szCmd, int cmo);
int FCreateProgManItemEx(const char *szGroup, int fCommon, const char *szItem, const char *szCmd, int cmo);

// Environment of the Windows 95 family, in AUTOEXEC.BAT and in this process:
// mode 4096 adds the directory szValue to the list szVar (PATH), mode 1024
// sets szVar to szValue. 0 when refused or failed; then neither the file
// nor the process has changed. A line longer than the command interpreter
// reads (ENV_LONGEST_BATCH_LINE characters) is refused with the last error
// ERROR_BUFFER_OVERFLOW.
enum { ENV_SET_VARIABLE = 1024, ENV_ADD_TO_PATH = 4096 };
enum { ENV_LONGEST_BATCH_LINE = 1023 };
int SetEnvVariable(const char *szVar, const char *szValue, int cmo);
// The backup of AUTOEXEC.BAT that this run's first change wrote (under the
// first free name of AUTOEXEC.BAK, AUTOEXEC.B01 ... AUTOEXEC.B99), copied
// when it fits; returns its length, 0 when none was written.
unsigned CbGetBatchBackup(char *szBfr, unsigned cbBfrMax);

#ifdef __cplusplus
}
#endif
