// drives.cpp - drive kinds, sizes and lists, by drive number (1 = A).
#include <string>

#include "base/common.h"
#include "setuprt.h"
#include "later_windows.h"

namespace rt {
namespace detect {
namespace {

constexpr int kDriveCount = 26;

bool IsDriveNumber(int n) { return static_cast<unsigned>(n - 1) < kDriveCount; }

// "A:" for 1.
std::string DriveName(int n) { return std::string(1, static_cast<char>('A' + n - 1)) + ":"; }

std::string DriveRoot(int n) { return DriveName(n) + "\\"; }

UINT DriveType(int n) {
    return IsDriveNumber(n) ? GetDriveTypeA(DriveRoot(n).c_str()) : DRIVE_NO_ROOT_DIR;
}

bool IsAnyDrive(UINT type) { return type != DRIVE_UNKNOWN && type != DRIVE_NO_ROOT_DIR; }
bool IsLocalHard(UINT type) { return type == DRIVE_FIXED; }
bool IsRemovable(UINT type) { return type == DRIVE_REMOVABLE; }
bool IsRemote(UINT type) { return type == DRIVE_REMOTE; }

struct DriveSpace {
    unsigned long long total = 0;
    unsigned long long free = 0;
};

DriveSpace SpaceOf(int n) {
    DriveSpace space;
    if (!IsDriveNumber(n)) return space;
    // A drive without a medium must answer with a failure, not with the
    // system's "insert a disk" box.
    UINT previousMode = SetErrorMode(SEM_FAILCRITICALERRORS);
    ULONGLONG available, total;
    if (DiskSpaceOf(DriveRoot(n).c_str(), &available, &total)) {
        space.total = total;
        space.free = available;
    }
    SetErrorMode(previousMode);
    return space;
}

// Empties the list symbol, then adds "A:" for every drive whose kind passes.
int FillDriveList(const char *szSymbol, bool (*passes)(UINT type)) {
    if (!IsGiven(szSymbol) || !FSetSymbolValue(szSymbol, "")) return 0;
    for (int n = 1; n <= kDriveCount; ++n) {
        if (passes(DriveType(n)) && !FAddListItem(szSymbol, DriveName(n).c_str())) return 0;
    }
    return 1;
}

}  // namespace
}  // namespace detect
}  // namespace rt

using namespace rt;
using namespace rt::detect;

int FIsValidDrive(int nDrive) { return IsAnyDrive(DriveType(nDrive)); }
int FIsLocalHardDrive(int nDrive) { return IsLocalHard(DriveType(nDrive)); }
int FIsRemoveDrive(int nDrive) { return IsRemovable(DriveType(nDrive)); }
int FIsRemoteDrive(int nDrive) { return IsRemote(DriveType(nDrive)); }

unsigned long long LcbTotalDrive(int nDrive) { return SpaceOf(nDrive).total; }
unsigned long long LcbFreeDrive(int nDrive) { return SpaceOf(nDrive).free; }

int FGetValidDrivesList(const char *szSymbol) { return FillDriveList(szSymbol, IsAnyDrive); }
int FGetLocalHardDrivesList(const char *szSymbol) { return FillDriveList(szSymbol, IsLocalHard); }
int FGetRemovableDrivesList(const char *szSymbol) { return FillDriveList(szSymbol, IsRemovable); }
int FGetNetworkDrivesList(const char *szSymbol) { return FillDriveList(szSymbol, IsRemote); }
