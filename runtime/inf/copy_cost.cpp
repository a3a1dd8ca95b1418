// copy_cost.cpp - LcbGetCopyListCost: the space the copy list needs per drive.
#include <array>
#include <string>

#include "inf/copy_list.h"
#include "setuprt.h"
#include "later_windows.h"

namespace rt {
namespace {

constexpr int kDrives = 26;
using PerDrive = std::array<long long, kDrives>;

// Decimal digits that cannot overflow; an empty item is 0.
bool ReadBytes(const char *text, long long &bytes) {
    bytes = 0;
    for (const char *p = text; *p; ++p) {
        if (*p < '0' || *p > '9' || p - text >= 15) return false;
        bytes = bytes * 10 + (*p - '0');
    }
    return true;
}

bool ReadExtras(const char *symbol, PerDrive &extras) {
    extras.fill(0);
    if (!symbol || !*symbol) return true;
    unsigned count = UsGetListLength(symbol);
    for (unsigned n = 1; n <= count && n <= kDrives; ++n) {
        char item[32];
        if (CbGetListItem(symbol, n, item, sizeof item) >= sizeof item || !ReadBytes(item, extras[n - 1]))
            return false;
    }
    return true;
}

// 0 for A to 25 for Z; -1 for a network path, which is on no drive.
int DriveOf(const std::string &path) {
    if (path.size() < 2 || path[1] != ':') return -1;
    char letter = path[0];
    if (letter >= 'a' && letter <= 'z') letter = static_cast<char>(letter - 'a' + 'A');
    return letter >= 'A' && letter <= 'Z' ? letter - 'A' : -1;
}

long long ExistingBytes(const std::string &path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!FileAttributesOf(path.c_str(), &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return 0;
    return static_cast<long long>(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
}

long long FreeBytes(int drive) {
    char root[] = "A:\\";
    root[0] = static_cast<char>('A' + drive);
    ULONGLONG available, total;
    return DiskSpaceOf(root, &available, &total) ? static_cast<long long>(available) : 0;
}

int SetNumbers(const char *symbol, const PerDrive &values) {
    if (!symbol || !*symbol) return 1;
    if (!FSetSymbolValue(symbol, "")) return 0;
    for (long long value : values)
        if (!FAddListItem(symbol, std::to_string(value).c_str())) return 0;
    return 1;
}

}  // namespace
}  // namespace rt

long long LcbGetCopyListCost(const char *szExtraList, const char *szCostList, const char *szNeedList) {
    rt::PerDrive cost;
    if (!rt::ReadExtras(szExtraList, cost)) return -1;
    long long total = 0;
    for (const rt::CopyEntry &entry : rt::CopyListEntries()) {
        long long bytes = rt::InstalledBytes(entry);
        if (bytes < 0) return -1;
        // A file that replaces a larger one frees nothing the others may use
        // before it is copied.
        long long added = bytes - rt::ExistingBytes(entry.destination);
        if (added <= 0) continue;
        int drive = rt::DriveOf(entry.destination);
        if (drive >= 0) cost[drive] += added;
        else total += added;
    }
    rt::PerDrive need;
    for (int drive = 0; drive < rt::kDrives; ++drive) {
        total += cost[drive];
        long long missing = cost[drive] > 0 ? cost[drive] - rt::FreeBytes(drive) : 0;
        need[drive] = missing > 0 ? missing : 0;
    }
    if (!rt::SetNumbers(szCostList, cost) || !rt::SetNumbers(szNeedList, need)) return -1;
    return total;
}
