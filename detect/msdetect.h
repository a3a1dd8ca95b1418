// msdetect.h - drive, file, version and hardware queries.
#pragma once

// Nonzero when szFileName is a well-formed path and the file exists.
int DoesFileExist(const char *szFileName, int mode);
