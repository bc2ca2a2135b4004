#include "monitor/SpoolerService.h"
#include "base/Buffers.h"
#include "base/Messages.h"
#include "base/SystemVersion.h"
#include "monitor/Pause.h"
#include "platform/Platform.h"
#include "res/resource.h"

namespace {

const char kSpooler[] = "Spooler";
const DWORD kPollMs = 250;
const int kStopAttempts = 30;
const DWORD kStopRetryMs = 1000;
const DWORD kStopPollMs = 500;
const int kStopPolls = 101;
const DWORD kSettleMs = 3000;
const DWORD kFinalPollMs = 1000;

// The service control manager and one service, both closed when the object goes.
class ServiceHandles {
public:
    explicit ServiceHandles(LPCSTR pszService) : m_platform(ThePlatform()), m_hService(NULL)
    {
        m_hManager = m_platform.OpenSCManagerA(SC_MANAGER_ALL_ACCESS);
        if (m_hManager != NULL)
            m_hService = m_platform.OpenServiceA(m_hManager, pszService, SERVICE_ALL_ACCESS);
    }
    ~ServiceHandles() { Close(); }

    void Close()
    {
        DWORD dwError = ::GetLastError();
        if (m_hService != NULL)
            m_platform.CloseServiceHandle(m_hService);
        if (m_hManager != NULL)
            m_platform.CloseServiceHandle(m_hManager);
        m_hService = m_hManager = NULL;
        ::SetLastError(dwError);
    }
    bool IsOpen() const { return m_hService != NULL; }
    SC_HANDLE Manager() const { return m_hManager; }
    SC_HANDLE Service() const { return m_hService; }

private:
    Platform& m_platform;
    SC_HANDLE m_hManager;
    SC_HANDLE m_hService;
};

// Queries the service every dwPollMs until it reports dwState. FALSE when a query fails or the
// state has not come within SERVICE_WAIT_LIMIT_MS (last error ERROR_SERVICE_REQUEST_TIMEOUT).
BOOL WaitForState(SC_HANDLE hService, DWORD dwState, DWORD dwPollMs, SERVICE_STATUS* pStatus)
{
    Platform& platform = ThePlatform();
    for (DWORD dwWaited = 0;; dwWaited += dwPollMs) {
        if (!platform.QueryServiceStatus(hService, pStatus))
            return FALSE;
        if (pStatus->dwCurrentState == dwState)
            return TRUE;
        if (dwWaited >= SERVICE_WAIT_LIMIT_MS) {
            ::SetLastError(ERROR_SERVICE_REQUEST_TIMEOUT);
            return FALSE;
        }
        Pause(dwPollMs);
    }
}

// Starts one service and waits until it runs; one that already runs counts as started.
BOOL StartAndWait(SC_HANDLE hManager, LPCSTR pszService)
{
    Platform& platform = ThePlatform();
    SC_HANDLE hService = platform.OpenServiceA(hManager, pszService, SERVICE_ALL_ACCESS);
    if (hService == NULL)
        return FALSE;
    SERVICE_STATUS status;
    BOOL bStarted = platform.StartServiceA(hService)
                        ? WaitForState(hService, SERVICE_RUNNING, kPollMs, &status)
                        : ::GetLastError() == ERROR_SERVICE_ALREADY_RUNNING;
    DWORD dwError = ::GetLastError();
    platform.CloseServiceHandle(hService);
    ::SetLastError(dwError);
    return bStarted;
}

// Starts the services of the list from the last to the first, each even when an earlier one
// failed; FALSE when any failed, with the first failure's error as the last error.
BOOL StartServices(SC_HANDLE hManager, LPENUM_SERVICE_STATUSA pServices, DWORD nServices)
{
    DWORD dwFirstError = ERROR_SUCCESS;
    for (DWORD i = nServices; i > 0; --i) {
        if (!StartAndWait(hManager, pServices[i - 1].lpServiceName) && dwFirstError == ERROR_SUCCESS)
            dwFirstError = ::GetLastError();
    }
    ::SetLastError(dwFirstError);
    return dwFirstError == ERROR_SUCCESS;
}

// Sends the stop control to each service of the list, first to last; on a failure the ones
// already stopped are started again. FALSE, with the failure's error, when any failed.
BOOL StopServices(SC_HANDLE hManager, LPENUM_SERVICE_STATUSA pServices, DWORD nServices)
{
    Platform& platform = ThePlatform();
    for (DWORD i = 0; i < nServices; ++i) {
        SC_HANDLE hService = platform.OpenServiceA(hManager, pServices[i].lpServiceName, SERVICE_ALL_ACCESS);
        SERVICE_STATUS status;
        BOOL bStopped = hService != NULL && platform.ControlService(hService, SERVICE_CONTROL_STOP, &status);
        DWORD dwError = ::GetLastError();
        if (hService != NULL)
            platform.CloseServiceHandle(hService);
        if (!bStopped) {
            StartServices(hManager, pServices, i);
            ::SetLastError(dwError);
            return FALSE;
        }
    }
    return TRUE;
}

// Sends the stop control to the spooler, again while dependents still hold it.
BOOL SendStop(SC_HANDLE hSpooler, SERVICE_STATUS* pStatus)
{
    for (int nAttempt = 1;; ++nAttempt) {
        if (ThePlatform().ControlService(hSpooler, SERVICE_CONTROL_STOP, pStatus))
            return TRUE;
        if (::GetLastError() != ERROR_DEPENDENT_SERVICES_RUNNING || nAttempt == kStopAttempts)
            return FALSE;
        Pause(kStopRetryMs);
    }
}

// Waits until the spooler has stopped, asking it again to stop while it has not.
BOOL WaitForStop(SC_HANDLE hSpooler, SERVICE_STATUS* pStatus)
{
    Platform& platform = ThePlatform();
    for (int nPolls = 0; pStatus->dwCurrentState != SERVICE_STOPPED; ++nPolls) {
        platform.ControlService(hSpooler, SERVICE_CONTROL_STOP, pStatus);
        if (pStatus->dwWin32ExitCode != NO_ERROR) {
            ::SetLastError(pStatus->dwWin32ExitCode);
            return FALSE;
        }
        if (pStatus->dwCurrentState == SERVICE_STOPPED)
            break;
        if (nPolls == kStopPolls) {
            ::SetLastError(ERROR_SERVICE_REQUEST_TIMEOUT);
            return FALSE;
        }
        Pause(kStopPollMs);
    }
    Pause(kSettleMs);
    return WaitForState(hSpooler, SERVICE_STOPPED, kFinalPollMs, pStatus);
}

} // namespace

BOOL EnsureSpoolerRunning(CWnd* pOwner)
{
    ServiceHandles spooler(kSpooler);
    SERVICE_STATUS status;
    if (!spooler.IsOpen() || !ThePlatform().QueryServiceStatus(spooler.Service(), &status))
        return FALSE;
    if (status.dwCurrentState == SERVICE_RUNNING)
        return TRUE;

    HWND hOwner = OwnerWindow(pOwner);
    int nAnswer = ShowTableMessage(hOwner, IDS_START_SPOOLER, IDS_CAPTION, MB_YESNO | MB_ICONQUESTION,
                                   QUESTION_BUFFER_SIZE);
    if (nAnswer == IDNO) {
        spooler.Close();
        ::ExitProcess(0);
    }
    if (nAnswer != IDYES)
        return FALSE;

    if (ThePlatform().StartServiceA(spooler.Service())) {
        if (WaitForState(spooler.Service(), SERVICE_RUNNING, kPollMs, &status))
            return TRUE;
    } else if (::GetLastError() == ERROR_SERVICE_ALREADY_RUNNING) {
        return TRUE;
    }
    ShowErrorWithPrefix(hOwner, IDS_SPOOLER_START_FAILED, ::GetLastError(), MB_OK | MB_ICONERROR);
    return FALSE;
}

BOOL EnsureSpoolerRunningForMonitor(CWnd* pOwner)
{
    if (SystemVersion().dwPlatformId != VER_PLATFORM_WIN32_NT)
        return TRUE;
    return EnsureSpoolerRunning(pOwner);
}

BOOL StopSpooler(CWnd*, LPENUM_SERVICE_STATUSA* ppServices, DWORD* pnServices)
{
    *ppServices = NULL;
    *pnServices = 0;
    Platform& platform = ThePlatform();
    ServiceHandles spooler(kSpooler);
    if (!spooler.IsOpen())
        return FALSE;

    // The running dependents, which must stop first.
    LPENUM_SERVICE_STATUSA pServices = NULL;
    DWORD nServices = 0;
    DWORD cbNeeded = 0;
    if (!platform.EnumDependentServicesA(spooler.Service(), SERVICE_ACTIVE, NULL, 0, &cbNeeded, &nServices)) {
        if (::GetLastError() != ERROR_MORE_DATA)
            return FALSE;
        pServices = reinterpret_cast<LPENUM_SERVICE_STATUSA>(AllocBuffer(cbNeeded));
        if (pServices == NULL) {
            ::SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return FALSE;
        }
        if (!platform.EnumDependentServicesA(spooler.Service(), SERVICE_ACTIVE, pServices, cbNeeded, &cbNeeded,
                                             &nServices) ||
            !StopServices(spooler.Manager(), pServices, nServices)) {
            DWORD dwError = ::GetLastError();
            FreeBuffer(pServices);
            ::SetLastError(dwError);
            return FALSE;
        }
    }

    SERVICE_STATUS status;
    if (!SendStop(spooler.Service(), &status) || !WaitForStop(spooler.Service(), &status)) {
        // The spooler still runs: its dependents must not stay stopped.
        DWORD dwError = ::GetLastError();
        StartServices(spooler.Manager(), pServices, nServices);
        FreeBuffer(pServices);
        ::SetLastError(dwError);
        return FALSE;
    }
    *ppServices = pServices;
    *pnServices = nServices;
    return TRUE;
}

BOOL RestartSpooler(CWnd* pOwner, LPENUM_SERVICE_STATUSA pServices, DWORD nServices)
{
    ServiceHandles spooler(kSpooler);
    SERVICE_STATUS status;
    BOOL bStarted = spooler.IsOpen() && (ThePlatform().StartServiceA(spooler.Service())
                                             ? WaitForState(spooler.Service(), SERVICE_RUNNING, kPollMs, &status)
                                             : ::GetLastError() == ERROR_SERVICE_ALREADY_RUNNING);
    if (!bStarted) {
        DWORD dwError = ::GetLastError();
        FreeBuffer(pServices);
        ::SetLastError(dwError);
        return FALSE;
    }

    DWORD dwWarning = ERROR_SUCCESS;
    if (!StartServices(spooler.Manager(), pServices, nServices))
        dwWarning = ::GetLastError();

    Pause(kSettleMs);
    BOOL bRunning = WaitForState(spooler.Service(), SERVICE_RUNNING, kFinalPollMs, &status);
    DWORD dwError = ::GetLastError();
    if (!bRunning && dwWarning == ERROR_SUCCESS)
        dwWarning = dwError;
    FreeBuffer(pServices);
    spooler.Close();

    if (dwWarning != ERROR_SUCCESS)
        ShowErrorWithPrefix(OwnerWindow(pOwner), IDS_DEPENDENTS_NOT_STARTED, dwWarning, MB_OK | MB_ICONEXCLAMATION);
    ::SetLastError(dwError);
    return bRunning;
}
