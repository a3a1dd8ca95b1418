// hardware.cpp - the processor, the floating-point unit, the display
// and the mouse.
#include <algorithm>

#include "base/common.h"
#include "setuprt.h"
#include "later_windows.h"

namespace rt {
namespace detect {
namespace {

struct ProcessorModel {
    WORD architecture;
    DWORD type;  // dwProcessorType as Windows reports it
    const char *name;
};

const ProcessorModel kProcessorModels[] = {
    {PROCESSOR_ARCHITECTURE_INTEL, 386, "80386"},
    {PROCESSOR_ARCHITECTURE_INTEL, 486, "80486"},
    {PROCESSOR_ARCHITECTURE_INTEL, 586, "PENTIUM"},
    {PROCESSOR_ARCHITECTURE_MIPS, 2000, "R2000"},
    {PROCESSOR_ARCHITECTURE_MIPS, 3000, "R3000"},
    {PROCESSOR_ARCHITECTURE_MIPS, 4000, "R4000"},
    {PROCESSOR_ARCHITECTURE_ALPHA, 21064, "AXP21064"},
    {PROCESSOR_ARCHITECTURE_ALPHA, 21066, "AXP21066"},
    {PROCESSOR_ARCHITECTURE_ALPHA, 21164, "AXP21164"},
    {PROCESSOR_ARCHITECTURE_PPC, 601, "PPC601"},
    {PROCESSOR_ARCHITECTURE_PPC, 603, "PPC603"},
    {PROCESSOR_ARCHITECTURE_PPC, 604, "PPC604"},
    {PROCESSOR_ARCHITECTURE_PPC, 620, "PPC620"},
};

// The processor this program runs on, as it sees it: a 32-bit program on a
// 64-bit system runs on an x86. Null for a kind not in the table.
const char *ProcessorName() {
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    DWORD type = info.dwProcessorType;
    // Windows reports every x86 from the Pentium on as a Pentium (586).
    if (info.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_INTEL) type = std::min<DWORD>(type, 586);
    for (const ProcessorModel &model : kProcessorModels) {
        if (model.architecture == info.wProcessorArchitecture && model.type == type) return model.name;
    }
    return nullptr;
}

}  // namespace
}  // namespace detect
}  // namespace rt

int FGetProcessorType(const char *szIn, int n, char *szBfr, unsigned cbMax) {
    (void)szIn;
    (void)n;
    const char *name = rt::detect::ProcessorName();
    unsigned length = rt::CopyResult(name ? name : "", szBfr, cbMax);
    return name && szBfr && length < cbMax;
}

// The 95 family has no feature query; there the system lists a math chip
// under its hardware description.
int FHas87MathChip(void) {
    typedef BOOL(WINAPI * Query)(DWORD);
    static const Query query = LaterCall<Query>("kernel32.dll", "IsProcessorFeaturePresent");
    if (query) return !query(PF_FLOATING_POINT_EMULATED);
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE\\DESCRIPTION\\System\\FloatingPointProcessor", 0, KEY_READ,
                      &key) != ERROR_SUCCESS)
        return 0;
    RegCloseKey(key);
    return 1;
}

int FHasMonochromeDisplay(void) {
    HDC screen = GetDC(nullptr);
    if (!screen) return 0;
    int bitsPerPixel = GetDeviceCaps(screen, BITSPIXEL) * GetDeviceCaps(screen, PLANES);
    ReleaseDC(nullptr, screen);
    return bitsPerPixel < 2;
}

int FHasMouseInstalled(void) { return GetSystemMetrics(SM_MOUSEPRESENT) != 0; }
