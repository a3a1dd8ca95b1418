// file_search.cpp - WFindFileUsingFileOpen: a file found the way Windows
// searches for a program's files.
#include <cstring>

#include "base/common.h"
#include "setuprt.h"

int WFindFileUsingFileOpen(const char *szFile, char *szBfr, unsigned cbBfrMax) {
    if (!rt::IsGiven(szFile) || !szBfr || cbBfrMax == 0) return FIND_ERROR;
    szBfr[0] = '\0';
    OFSTRUCT found = {};
    found.cBytes = sizeof found;
    // A drive without a disk answers "not found", not with the system's box.
    UINT previous = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    HFILE result = OpenFile(szFile, &found, OF_EXIST);
    SetErrorMode(previous);
    if (result == HFILE_ERROR) {
        bool missing = found.nErrCode == ERROR_FILE_NOT_FOUND || found.nErrCode == ERROR_PATH_NOT_FOUND;
        return missing ? FIND_NOT_FOUND : FIND_ERROR;
    }
    if (rt::CopyResult(found.szPathName, szBfr, cbBfrMax) >= cbBfrMax) {
        szBfr[0] = '\0';
        return FIND_ERROR;
    }
    return FIND_FOUND;
}
