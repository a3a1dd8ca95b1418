// setuprt_install.h - the install engine of setuprt.dll.
#pragma once

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

int  FInitializeInstall(HINSTANCE hinst, HWND hwndFrame);
void TerminateInstall(void);
int  EercErrorHandler(int grc, int fVital, const char *sz1, const char *sz2, const char *sz3);

#ifdef __cplusplus
}
#endif
