#include "install/DriverInstall.h"

// Not built yet: reports that the driver was not installed.
BOOL InstallPrinterDriver(LPCSTR, LPCSTR, LPCSTR)
{
    return FALSE;
}
