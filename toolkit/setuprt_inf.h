// setuprt_inf.h - the setup-information file, the copy list and billboards of setuprt.dll.
//
// The file format and the meaning of the fields of a file line are in
// README.md, "The setup-information file". Field 1 is the file name, 5 its
// date, 11 the name it is installed under, 15 its size and 19 its version.
#pragma once

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

// Opens and reads the file in place of the one open before; 0 when it cannot
// be read or (fCheck nonzero) has a syntax error, and no file is open then.
// With fCheck 0 faulty lines are left out instead. With fSyntax nonzero the
// first fault is also reported in a message box naming the file and line.
int FOpenInf(const char *szFile, int fCheck, int fSyntax);

// Field iField of the line with key szKey: at most cbBuf-1 bytes and a
// terminator; returns the full length ("" and 0 beyond the line's last field).
// -1 without an open file, for a missing section or key, or iField below 1.
int CbGetInfSectionKeyField(const char *szSect, const char *szKey, int iField, char *szBuf, int cbBuf);

// Sets szSymbol to the keys of the section in file order. With fKeylessItems
// nonzero a line without a key gives an empty item, so item n belongs to line
// n like the items of FMakeListInfSectionField; with 0 such lines give none.
int FSetSymbolToListOfInfKeys(const char *szSymbol, const char *szSect, int fKeylessItems);

// Sets szSym to field iField of every line of the section ("" where missing).
int FMakeListInfSectionField(const char *szSym, const char *szSect, int iField);

// The copy list. Each file line adds szSrc\<field 1> to be copied to
// szDest\<field 11, or field 1 when 11 is empty>; a file for a destination
// already on the list takes that entry's place. A source made by the
// compressor (signature "SZDD") is expanded. A file is not copied over an
// installed file whose version is newer than its field 19, unless it was
// added as special. Fails, adding nothing, for a missing section or key, or
// a line whose names are empty, absolute or reach out with "..", or whose
// size is not a number.
int FAddSectionFilesToCopyList(const char *szSect, const char *szSrc, const char *szDest);
int FAddSectionKeyFileToCopyList(const char *szSect, const char *szKey, const char *szSrc, const char *szDest);
int FAddSpecialFileToCopyList(const char *szSect, const char *szKey, const char *szSrc, const char *szDest);

// The bytes the copy needs: per drive, what each file adds beyond the file it
// replaces (its size field, or the expanded size of its source), plus the
// caller's extras. szExtraList (read) and szCostList and szNeedList (set)
// are list symbols of 26 decimal items, item n for drive n (1 = A); a null or
// empty name skips that list. The need is what the cost exceeds the drive's
// free space by. Returns the total cost; negative when a file's size cannot be
// had or an extra is not a number.
long long LcbGetCopyListCost(const char *szExtraList, const char *szCostList, const char *szNeedList);

// Copies every file of the list behind the copy gauge, with the billboards,
// and empties the list when all went well.
enum {
    GRC_OKAY = 0,
    GRC_SOURCE_UNREADABLE = 1,       // each failure is also reported in a
    GRC_DESTINATION_UNWRITABLE = 2,  // message box naming the file
    GRC_SOURCE_DAMAGED = 3,
    GRC_USER_QUIT = 48  // Cancel on the gauge, confirmed, or a quit message
};
int GrcCopyFilesInCopyList(HINSTANCE hinst);

// The copy gauge: a window of this class owned by the frame, with the file
// being copied in control COPY_GAUGE_FILE, a progress bar (0-100) in control
// COPY_GAUGE_BAR and a Cancel button (IDCANCEL). ProSetPos places its top
// left corner on the screen; until then it is centred low on the frame.
#define COPY_GAUGE_CLASS "QuorvaneCopyGauge"
enum { COPY_GAUGE_FILE = 101, COPY_GAUGE_BAR = 102 };
void ProSetPos(int x, int y);

// A text listing of the list, itself a setup-information file: a section
// [Copy List] with a line "source", "destination", size, "version", special
// per file. 0 when the file cannot be written.
int FDumpCopyListToFile(const char *szFile);
void ResetCopyList(void);

// Billboards: dialog idDlg of szDll run by its exported procedure szProc,
// shown in turn over the frame while files are copied, each for lTicks
// hundredths of the copy, and from the first again when the list runs out.
// A null or empty szDll is a blank pause. 0 for lTicks below 1 or a dialog
// that cannot be found.
int FAddToBillboardList(const char *szDll, unsigned idDlg, const char *szProc, long lTicks);
int FClearBillboardList(void);

#ifdef __cplusplus
}
#endif
