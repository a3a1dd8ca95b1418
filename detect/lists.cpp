// Lists of drives and ports into a toolkit symbol; a list that cannot be
// made ends the run.
#include "msdetect.h"
#include "setupapi.h"
#include "setuprt.h"

static void RequireList(int fMade)
{
    if (!fMade)
        SetupError(SETUP_ERROR_TOOLKIT);
}

void GetValidDrivesList(const char *szSymbol)
{
    RequireList(FGetValidDrivesList(szSymbol));
}

void GetLocalHardDrivesList(const char *szSymbol)
{
    RequireList(FGetLocalHardDrivesList(szSymbol));
}

void GetRemovableDrivesList(const char *szSymbol)
{
    RequireList(FGetRemovableDrivesList(szSymbol));
}

void GetNetworkDrivesList(const char *szSymbol)
{
    RequireList(FGetNetworkDrivesList(szSymbol));
}

void GetParallelPortsList(const char *szSymbol)
{
    RequireList(FGetParallelPortsList(szSymbol));
}

void GetSerialPortsList(const char *szSymbol)
{
    RequireList(FGetSerialPortsList(szSymbol));
}
