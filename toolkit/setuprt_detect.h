// setuprt_detect.h - the detection functions of setuprt.dll.
#pragma once

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

int FValidPath(const char *szPath);
int FDoesFileExist(const char *szFile, int mode);

#ifdef __cplusplus
}
#endif
