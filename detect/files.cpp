// Questions about files and directories.
#include "msdetect.h"
#include "setuprt.h"

int DoesFileExist(const char *szFileName, int mode)
{
    if (!FValidPath(szFileName))
        return 0;
    return FDoesFileExist(szFileName, mode);
}
