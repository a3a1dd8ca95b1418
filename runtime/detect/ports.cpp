// ports.cpp - the parallel and serial ports the system knows.
#include <string>

#include "base/common.h"
#include "base/handles.h"
#include "setuprt.h"
#include "later_windows.h"

namespace rt {
namespace detect {
namespace {

// Windows numbers parallel ports up to LPT9 and serial ports up to COM256.
struct PortFamily {
    const char *prefix;
    int highest;
};

constexpr PortFamily kParallelPorts = {"LPT", 9};
constexpr PortFamily kSerialPorts = {"COM", 256};

// A port exists when its DOS device name leads somewhere. The 95 family has
// no device names to query: there the port is one when it opens or is busy.
bool PortExists(const std::string &name) {
    typedef DWORD(WINAPI * Query)(LPCSTR, LPSTR, DWORD);
    static const Query query = LaterCall<Query>("kernel32.dll", "QueryDosDeviceA");
    char target[MAX_PATH];
    if (query) return query(name.c_str(), target, sizeof target) != 0 || GetLastError() == ERROR_INSUFFICIENT_BUFFER;
    FileHandle port(CreateFileA(name.c_str(), 0, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    return port.IsOpen() || GetLastError() == ERROR_ACCESS_DENIED;
}

// Empties the list symbol, then adds every port of the family in order.
int FillPortList(const char *szSymbol, const PortFamily &family) {
    if (!IsGiven(szSymbol) || !FSetSymbolValue(szSymbol, "")) return 0;
    for (int n = 1; n <= family.highest; ++n) {
        std::string name = family.prefix + std::to_string(n);
        if (PortExists(name) && !FAddListItem(szSymbol, name.c_str())) return 0;
    }
    return 1;
}

}  // namespace
}  // namespace detect
}  // namespace rt

int FGetParallelPortsList(const char *szSymbol) {
    return rt::detect::FillPortList(szSymbol, rt::detect::kParallelPorts);
}

int FGetSerialPortsList(const char *szSymbol) {
    return rt::detect::FillPortList(szSymbol, rt::detect::kSerialPorts);
}
