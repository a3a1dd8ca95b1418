// Drives by letter: the runtime counts them from 1 for A.
#include "msdetect.h"
#include "setupapi.h"
#include "setuprt.h"

// The drive number of the string's first character, upper-cased; anything
// but a letter gives a number that names no drive.
static int DriveNumber(const char *szDrive)
{
    if (!szDrive)
        return 0;
    char letter[2] = {szDrive[0], '\0'};
    CharUpperBuffA(letter, 1);
    return (unsigned char)letter[0] - 64;
}

static void UpperFirst(char *szDrive)
{
    if (szDrive && szDrive[0])
        CharUpperBuffA(szDrive, 1);
}

int IsDriveValid(char *szDrive)
{
    UpperFirst(szDrive);
    return FIsValidDrive(DriveNumber(szDrive));
}

int IsDriveLocalHard(char *szDrive)
{
    if (szDrive)
        CharUpperA(szDrive);
    return FIsLocalHardDrive(DriveNumber(szDrive));
}

int IsDriveRemovable(char *szDrive)
{
    UpperFirst(szDrive);
    return FIsRemoveDrive(DriveNumber(szDrive));
}

int IsDriveNetwork(const char *szDrive)
{
    return FIsRemoteDrive(DriveNumber(szDrive));
}

unsigned long long GetTotalSpaceForDrive(char *szDrive)
{
    UpperFirst(szDrive);
    return LcbTotalDrive(DriveNumber(szDrive));
}

unsigned long long GetFreeSpaceForDrive(const char *szDrive)
{
    return LcbFreeDrive(DriveNumber(szDrive));
}
