// Hardware facts from the runtime, and the answers that no longer have a
// question: there is no DOS underneath and no count of running programs.
#include "msdetect.h"
#include "setuprt.h"

int Has87MathChip(void)
{
    return FHas87MathChip();
}

int HasFPPMathChip(void)
{
    return FHas87MathChip();
}

int HasMonochromeDisplay(void)
{
    return FHasMonochromeDisplay();
}

int HasMouseInstalled(void)
{
    return FHasMouseInstalled();
}

int GetDOSMajorVersion(void)
{
    return 0;
}

int GetDOSMinorVersion(void)
{
    return 0;
}

int GetNumWinApps(void)
{
    return 0;
}
