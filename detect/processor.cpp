// The processor as a number, from the name the runtime reports.
#include "msdetect.h"
#include "setuprt.h"

typedef struct {
    const char *szName;
    int type;
} ProcessorEntry;

// Looked up in this order; names compare without regard to case.
static const ProcessorEntry rgProcessors[] = {
    {"C400", 400},         {"PPC620", 620},     {"PPC604", 604},     {"PPC603", 603},
    {"PPC601", 601},       {"AXP21164", 21164}, {"AXP21066", 21066}, {"AXP21064", 21064},
    {"R4000", 4000},       {"R3000", 3000},     {"R2000", 2000},     {"PENTIUM", 5},
    {"80486", 4},          {"80386", 3},        {"80286", 2},        {"80186", 1},
    {"8086", 0},
};

int ProcessorTypeFromName(const char *szName)
{
    if (!szName)
        return PROCESSOR_UNKNOWN;
    for (const ProcessorEntry &entry : rgProcessors) {
        if (lstrcmpiA(szName, entry.szName) == 0)
            return entry.type;
    }
    return PROCESSOR_UNKNOWN;
}

int GetProcessorType(void)
{
    char szName[32];
    if (!FGetProcessorType("", 0, szName, sizeof szName))
        return 0;
    return ProcessorTypeFromName(szName);
}
