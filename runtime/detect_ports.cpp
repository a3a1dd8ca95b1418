// detect_ports.cpp - the parallel and serial ports the system knows.
#include <string>

#include "detect_common.h"
#include "setuprt.h"

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

// A port exists when its DOS device name leads somewhere.
bool PortExists(const std::string &name) {
    char target[MAX_PATH];
    return QueryDosDeviceA(name.c_str(), target, sizeof target) != 0 ||
           GetLastError() == ERROR_INSUFFICIENT_BUFFER;
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
