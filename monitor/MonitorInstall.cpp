#include "monitor/MonitorInstall.h"

// Not built yet: reports that the monitor could not be checked, which ends the wizard.
BOOL CheckMonitor(CWnd*)
{
    return FALSE;
}
