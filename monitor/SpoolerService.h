// The spooler service: made to run before anything is installed, and stopped with the
// services that depend on it and restarted when the port monitor's DLL is replaced.
#pragma once
#include "framework/Wnd.h"

// The waits, in milliseconds. A wait for a service's state asks every SERVICE_POLL_MS and
// counts as failed after SERVICE_WAIT_LIMIT_MS. The spooler's stop is sent again every
// SPOOLER_STOP_RETRY_MS while dependents hold it, SPOOLER_STOP_ATTEMPTS times at most; its
// stopping is watched every SPOOLER_STOP_POLL_MS, SPOOLER_STOP_POLLS times at most; a stop and
// a restart each end with SPOOLER_SETTLE_MS of rest and a wait asking every
// SPOOLER_FINAL_POLL_MS.
const DWORD SERVICE_POLL_MS = 250;
const DWORD SERVICE_WAIT_LIMIT_MS = 60000;
const int SPOOLER_STOP_ATTEMPTS = 30;
const DWORD SPOOLER_STOP_RETRY_MS = 1000;
const DWORD SPOOLER_STOP_POLL_MS = 500;
const int SPOOLER_STOP_POLLS = 101;
const DWORD SPOOLER_SETTLE_MS = 3000;
const DWORD SPOOLER_FINAL_POLL_MS = 1000;
// Not the wizard's: the longest the service manager takes over a start, or over a control that
// reaches a service, before it gives up with ERROR_SERVICE_REQUEST_TIMEOUT.
const DWORD SERVICE_MANAGER_TIMEOUT_MS = 30000;

// The longest starting one service takes: when it answers that it runs while it is still
// stopping, a wait for its stop; its start, and a wait for it to run.
const DWORD SERVICE_START_LIMIT_MS = SERVICE_MANAGER_TIMEOUT_MS + 2 * SERVICE_WAIT_LIMIT_MS;
// The longest EnsureSpoolerRunning takes after the user's Yes.
const DWORD SPOOLER_START_LIMIT_MS = SERVICE_START_LIMIT_MS;
// The longest StopSpooler and RestartSpooler take together for a spooler with nDependents
// running dependents (StopSpooler alone, when it fails, takes no longer): each dependent stopped
// and waited for, one still starting waited for first; the spooler's stop attempts, its stop
// and final waits; a start of every service, and the restart's settling rest and final wait.
inline DWORD SpoolerUpgradeLimitMs(DWORD nDependents)
{
    return nDependents * (SERVICE_MANAGER_TIMEOUT_MS + 2 * SERVICE_WAIT_LIMIT_MS) + SERVICE_MANAGER_TIMEOUT_MS +
           (SPOOLER_STOP_ATTEMPTS - 1) * SPOOLER_STOP_RETRY_MS + SPOOLER_STOP_POLLS * SPOOLER_STOP_POLL_MS +
           2 * (SPOOLER_SETTLE_MS + SERVICE_WAIT_LIMIT_MS) + (nDependents + 1) * SERVICE_START_LIMIT_MS;
}

// TRUE when the spooler runs or was started; FALSE when its state cannot be read or the start
// fails (after telling the user). When the user declines to start a stopped spooler, the
// program ends here with exit code 0.
BOOL EnsureSpoolerRunning(CWnd* pOwner);
// The same for the monitor's steps, which need nothing of a system that is not Windows NT;
// their program ends on FALSE, so a state that cannot be read is told here.
BOOL EnsureSpoolerRunningForMonitor(CWnd* pOwner);

// Stops the spooler's running dependents, first to last, and then the spooler. On TRUE the
// spooler is stopped and *ppServices (freed by RestartSpooler) lists the stopped dependents;
// on FALSE the list is empty and what had been stopped was started again, the spooler
// included; a service that would not start again is named in a warning shown here. The
// failure itself is not shown; the last error tells why the stop failed.
BOOL StopSpooler(CWnd* pOwner, LPENUM_SERVICE_STATUSA* ppServices, DWORD* pnServices);
// Starts the spooler and the stopped dependents, last to first, and frees the list. FALSE when
// the spooler itself cannot be started or does not come up in time; the dependents are still
// started when it is only slow. Dependents that do not start, or are not tried because the
// spooler refused to start, are named here, in one warning.
BOOL RestartSpooler(CWnd* pOwner, LPENUM_SERVICE_STATUSA pServices, DWORD nServices);
