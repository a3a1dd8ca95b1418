// msregdb.h - registry functions bound from ADVAPI32.DLL at run time.
#pragma once

#include <windows.h>

// Loads the library and binds its entry points: 1, or 0 with nothing held
// when the library or one of the required entry points is missing.
int FInitRegDb(void);
// Releases the library; harmless when nothing is held.
void TerminateRegDb(void);
