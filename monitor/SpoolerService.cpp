#include "monitor/SpoolerService.h"

// Not built yet: reports that the spooler's state could not be read.
BOOL EnsureSpoolerRunning(CWnd*)
{
    return FALSE;
}
