// The product's own name and banner, as the script gives them, shown before
// the first dialog; a banner that cannot be shown stops the run here.
#include "base/fatal.h"
#include "base/medium_file.h"
#include "dialogs/dialogs.h"
#include "script/script_checks.h"
#include "start/startup.h"
#include "setuprt.h"

#include <stdlib.h>

static void ShowBanner(struct _setup_info *si)
{
    // One byte more than allowed tells a file that is too large.
    unsigned char *bytes = static_cast<unsigned char *>(malloc(BANNER_MAX_BYTES + 1));
    if (bytes == NULL)
        FatalStop(si, "Memory alloc failed", "Fatal Error");
    size_t length = 0;
    long width = 0, height = 0;
    const char *fault = NULL;
    switch (ReadMediumFile(si, si->banner_file, bytes, BANNER_MAX_BYTES + 1, &length)) {
    case MEDIUM_FILE_READ: fault = BannerBitmapFault(bytes, length, &width, &height); break;
    case MEDIUM_FILE_MISSING: fault = "it is not on the installation medium"; break;
    case MEDIUM_FILE_TOO_LARGE: fault = "the banner is larger than 1 MB"; break;
    default: fault = "it cannot be read"; break;
    }
    if (fault == NULL && !FSetBitmapBits(bytes, static_cast<unsigned>(length)))
        fault = "Windows cannot show it";
    free(bytes);
    if (fault != NULL)
        FatalStopFormatted(si, "Fatal Error", "The banner %s that setup.inf names cannot be shown: %s",
                           si->banner_file, fault);
}

void ShowProduct(struct _setup_info *si)
{
    if (*si->product_name)
        ShowProductName(si);
    if (*si->banner_file)
        ShowBanner(si);
}
