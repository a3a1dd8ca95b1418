// dll_search.h - the launcher lies in a download folder beside whatever
// else was downloaded: no library may be taken from there.
#pragma once

const unsigned long kSearchSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32

// Limits the search for libraries to the system directory and takes the
// current directory out of it, where the system has the calls for it (they
// are looked up: older systems lack them, and load only known libraries
// from the system directory for this program anyway).
void RestrictDllSearch();
