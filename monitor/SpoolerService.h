// The spooler service: made to run before anything is installed, and stopped with the
// services that depend on it and restarted when the port monitor's DLL is replaced.
#pragma once
#include "framework/Wnd.h"

// How long any wait for a service's state may last before the wait counts as failed.
const DWORD SERVICE_WAIT_LIMIT_MS = 60000;

// TRUE when the spooler runs or was started; FALSE when its state cannot be read or the start
// fails (after telling the user). When the user declines to start a stopped spooler, the
// program ends here with exit code 0.
BOOL EnsureSpoolerRunning(CWnd* pOwner);
// The same for the monitor's steps, which need nothing of a system that is not Windows NT.
BOOL EnsureSpoolerRunningForMonitor(CWnd* pOwner);

// Stops the spooler's running dependents, first to last, and then the spooler. On TRUE the
// spooler is stopped and *ppServices (freed by RestartSpooler) lists the stopped dependents;
// on FALSE the list is empty and what had been stopped was started again, the spooler
// included; a service that would not start again is named in a warning shown here. The
// failure itself is not shown; the last error tells why the stop failed.
BOOL StopSpooler(CWnd* pOwner, LPENUM_SERVICE_STATUSA* ppServices, DWORD* pnServices);
// Starts the spooler and the stopped dependents, last to first, and frees the list. FALSE when
// the spooler itself cannot be started or does not come up in time; the dependents are still
// started when it is only slow. Dependents that do not start are named here, in one warning.
BOOL RestartSpooler(CWnd* pOwner, LPENUM_SERVICE_STATUSA pServices, DWORD nServices);
