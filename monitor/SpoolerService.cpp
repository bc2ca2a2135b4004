#include "monitor/SpoolerService.h"
#include "base/Buffers.h"
#include "base/Messages.h"
#include "base/ProgramEnd.h"
#include "base/SystemVersion.h"
#include "monitor/Pause.h"
#include "platform/Platform.h"
#include "res/resource.h"

namespace {

const char kSpooler[] = "Spooler";

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

// Starts one service and waits until it runs. One that answers the start with 1056 is not
// taken at its word, since a service still stopping answers so too: it is asked for its
// state, and one that is stopping is waited for until it has stopped and then started.
BOOL StartAndWait(SC_HANDLE hService)
{
    Platform& platform = ThePlatform();
    SERVICE_STATUS status;
    if (!platform.StartServiceA(hService)) {
        if (::GetLastError() != ERROR_SERVICE_ALREADY_RUNNING || !platform.QueryServiceStatus(hService, &status))
            return FALSE;
        if (status.dwCurrentState == SERVICE_STOP_PENDING &&
            !WaitForState(hService, SERVICE_STOPPED, SERVICE_POLL_MS, &status))
            return FALSE;
        if (status.dwCurrentState == SERVICE_STOPPED && !platform.StartServiceA(hService))
            return FALSE;
    }
    return WaitForState(hService, SERVICE_RUNNING, SERVICE_POLL_MS, &status);
}

// The services that did not start again, named in one warning with the first failure's error.
class NotStarted {
public:
    NotStarted() : m_dwError(ERROR_SUCCESS) {}

    // pszName NULL: a failure that concerns no service of its own.
    void Add(LPCSTR pszName, DWORD dwError)
    {
        if (m_dwError == ERROR_SUCCESS)
            m_dwError = dwError != ERROR_SUCCESS ? dwError : ERROR_SERVICE_NOT_ACTIVE;
        if (pszName == NULL)
            return;
        if (!m_names.IsEmpty())
            m_names += "\r\n";
        m_names += pszName;
    }
    // Shows the warning when anything failed; the last error is kept.
    void Warn(CWnd* pOwner) const
    {
        if (m_dwError == ERROR_SUCCESS)
            return;
        DWORD dwError = ::GetLastError();
        ShowErrorWithPrefix(OwnerWindow(pOwner), IDS_DEPENDENTS_NOT_STARTED, m_dwError, MB_OK | MB_ICONEXCLAMATION,
                            m_names);
        ::SetLastError(dwError);
    }

private:
    DWORD m_dwError;
    CString m_names;
};

// The name the user knows a listed service by.
LPCSTR ShownName(const ENUM_SERVICE_STATUSA& service)
{
    LPCSTR pszDisplayName = service.lpDisplayName;
    return pszDisplayName != NULL && pszDisplayName[0] != '\0' ? pszDisplayName : service.lpServiceName;
}

// Starts one service of the list by name; one that does not start is added to notStarted.
void StartListed(SC_HANDLE hManager, const ENUM_SERVICE_STATUSA& service, NotStarted& notStarted)
{
    Platform& platform = ThePlatform();
    SC_HANDLE hService = platform.OpenServiceA(hManager, service.lpServiceName, SERVICE_ALL_ACCESS);
    BOOL bStarted = hService != NULL && StartAndWait(hService);
    DWORD dwError = ::GetLastError();
    if (hService != NULL)
        platform.CloseServiceHandle(hService);
    if (!bStarted)
        notStarted.Add(ShownName(service), dwError);
}

// A service listed while it was stopping already was not stopped by the wizard, which leaves
// it stopped.
bool WasStopping(const ENUM_SERVICE_STATUSA& service)
{
    return service.ServiceStatus.dwCurrentState == SERVICE_STOP_PENDING;
}

// Starts the services of the list from the last to the first, each even when an earlier one
// failed.
void StartServices(SC_HANDLE hManager, LPENUM_SERVICE_STATUSA pServices, DWORD nServices, NotStarted& notStarted)
{
    for (DWORD i = nServices; i > 0; --i) {
        if (!WasStopping(pServices[i - 1]))
            StartListed(hManager, pServices[i - 1], notStarted);
    }
}

// Puts back what a stop that failed half-way had stopped: the spooler, when hSpooler is given,
// then the dependents, last to first; those that do not start are named in a warning. The
// last error stays the stop's.
void StartAgain(CWnd* pOwner, SC_HANDLE hManager, SC_HANDLE hSpooler, LPENUM_SERVICE_STATUSA pServices,
                DWORD nServices)
{
    DWORD dwError = ::GetLastError();
    NotStarted notStarted;
    if (hSpooler != NULL && !StartAndWait(hSpooler))
        notStarted.Add(kSpooler, ::GetLastError());
    StartServices(hManager, pServices, nServices, notStarted);
    notStarted.Warn(pOwner);
    ::SetLastError(dwError);
}

// Stops one dependent and waits until it has stopped, so that the next one, which it may
// depend on, is not refused with 1051 meanwhile. One that is stopping already is only waited
// for, one still starting is waited for until it runs and then stopped. *pbReached tells
// whether the stop reached the service, which may then stop after all although the control
// failed (unanswered in time).
BOOL StopAndWait(SC_HANDLE hService, bool* pbReached)
{
    Platform& platform = ThePlatform();
    SERVICE_STATUS status;
    ZeroMemory(&status, sizeof(status));
    *pbReached = false;
    BOOL bSent = platform.ControlService(hService, SERVICE_CONTROL_STOP, &status);
    if (!bSent && ::GetLastError() == ERROR_SERVICE_CANNOT_ACCEPT_CTRL &&
        status.dwCurrentState == SERVICE_START_PENDING) {
        if (!WaitForState(hService, SERVICE_RUNNING, SERVICE_POLL_MS, &status))
            return FALSE;
        bSent = platform.ControlService(hService, SERVICE_CONTROL_STOP, &status);
    }
    DWORD dwError = ::GetLastError();
    *pbReached = bSent || dwError == ERROR_SERVICE_REQUEST_TIMEOUT;
    if (!bSent && dwError == ERROR_SERVICE_NOT_ACTIVE)
        return TRUE;
    if (!bSent && !(dwError == ERROR_SERVICE_CANNOT_ACCEPT_CTRL && status.dwCurrentState == SERVICE_STOP_PENDING)) {
        ::SetLastError(dwError);
        return FALSE;
    }
    return WaitForState(hService, SERVICE_STOPPED, SERVICE_POLL_MS, &status);
}

// Stops the services of the list, first to last, each before the next; on a failure the ones
// already stopped are started again, and the failing one too when the stop reached it. FALSE,
// with the failure's error, when any failed.
BOOL StopServices(CWnd* pOwner, SC_HANDLE hManager, LPENUM_SERVICE_STATUSA pServices, DWORD nServices)
{
    Platform& platform = ThePlatform();
    for (DWORD i = 0; i < nServices; ++i) {
        SC_HANDLE hService = platform.OpenServiceA(hManager, pServices[i].lpServiceName, SERVICE_ALL_ACCESS);
        bool bReached = false;
        BOOL bStopped = hService != NULL && StopAndWait(hService, &bReached);
        DWORD dwError = ::GetLastError();
        if (hService != NULL)
            platform.CloseServiceHandle(hService);
        if (!bStopped) {
            ::SetLastError(dwError);
            StartAgain(pOwner, hManager, NULL, pServices, bReached ? i + 1 : i);
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
        if (::GetLastError() != ERROR_DEPENDENT_SERVICES_RUNNING || nAttempt == SPOOLER_STOP_ATTEMPTS)
            return FALSE;
        Pause(SPOOLER_STOP_RETRY_MS);
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
        if (nPolls == SPOOLER_STOP_POLLS) {
            ::SetLastError(ERROR_SERVICE_REQUEST_TIMEOUT);
            return FALSE;
        }
        Pause(SPOOLER_STOP_POLL_MS);
    }
    Pause(SPOOLER_SETTLE_MS);
    return WaitForState(hSpooler, SERVICE_STOPPED, SPOOLER_FINAL_POLL_MS, pStatus);
}

} // namespace

namespace {

BOOL EnsureRunning(CWnd* pOwner, BOOL bTellUnread)
{
    ServiceHandles spooler(kSpooler);
    SERVICE_STATUS status;
    if (!spooler.IsOpen() || !ThePlatform().QueryServiceStatus(spooler.Service(), &status)) {
        if (bTellUnread)
            ShowSystemError(OwnerWindow(pOwner), ::GetLastError());
        return FALSE;
    }
    if (status.dwCurrentState == SERVICE_RUNNING)
        return TRUE;

    HWND hOwner = OwnerWindow(pOwner);
    int nAnswer = ShowTableMessage(hOwner, IDS_START_SPOOLER, IDS_CAPTION, MB_YESNO | MB_ICONQUESTION,
                                   QUESTION_BUFFER_SIZE);
    if (nAnswer == IDNO) {
        spooler.Close();
        EndProgram(0);
    }
    if (nAnswer != IDYES)
        return FALSE;

    // A spooler still starting or stopping answers the start as a running one does.
    if (StartAndWait(spooler.Service()))
        return TRUE;
    ShowErrorWithPrefix(hOwner, IDS_SPOOLER_START_FAILED, ::GetLastError(), MB_OK | MB_ICONERROR);
    return FALSE;
}

} // namespace

BOOL EnsureSpoolerRunning(CWnd* pOwner)
{
    return EnsureRunning(pOwner, FALSE);
}

BOOL EnsureSpoolerRunningForMonitor(CWnd* pOwner)
{
    if (SystemVersion().dwPlatformId != VER_PLATFORM_WIN32_NT)
        return TRUE;
    // The program ends when the spooler does not run: a state that cannot be read is said.
    return EnsureRunning(pOwner, TRUE);
}

BOOL StopSpooler(CWnd* pOwner, LPENUM_SERVICE_STATUSA* ppServices, DWORD* pnServices)
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
            !StopServices(pOwner, spooler.Manager(), pServices, nServices)) {
            DWORD dwError = ::GetLastError();
            FreeBuffer(pServices);
            ::SetLastError(dwError);
            return FALSE;
        }
    }

    // No service the wizard stopped may stay stopped: a spooler that refused the stop still
    // runs and gets its dependents back; one that the stop reached is started again first,
    // whether it took the stop and did not finish stopping, or did not answer it in time and
    // may stop after all. One that refused because it was stopped or stopping already was
    // not stopped by the wizard and is left so.
    SERVICE_STATUS status;
    BOOL bStopSent = SendStop(spooler.Service(), &status);
    bool bReached = bStopSent || ::GetLastError() == ERROR_SERVICE_REQUEST_TIMEOUT;
    if (!bStopSent || !WaitForStop(spooler.Service(), &status)) {
        DWORD dwError = ::GetLastError();
        StartAgain(pOwner, spooler.Manager(), bReached ? spooler.Service() : NULL, pServices, nServices);
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
    BOOL bRunning = spooler.IsOpen() && StartAndWait(spooler.Service());
    DWORD dwError = ::GetLastError();
    // A spooler that is only slow to come up still gets its dependents; one that refused to
    // start leaves them nothing to run on, and they are named without being tried.
    NotStarted notStarted;
    if (bRunning || dwError == ERROR_SERVICE_REQUEST_TIMEOUT) {
        StartServices(spooler.Manager(), pServices, nServices, notStarted);
    } else {
        for (DWORD i = nServices; i > 0; --i) {
            if (!WasStopping(pServices[i - 1]))
                notStarted.Add(ShownName(pServices[i - 1]), ERROR_SERVICE_DEPENDENCY_FAIL);
        }
    }
    if (bRunning) {
        Pause(SPOOLER_SETTLE_MS);
        SERVICE_STATUS status;
        bRunning = WaitForState(spooler.Service(), SERVICE_RUNNING, SPOOLER_FINAL_POLL_MS, &status);
        dwError = ::GetLastError();
        if (!bRunning)
            notStarted.Add(NULL, dwError);
    }
    FreeBuffer(pServices);
    spooler.Close();

    notStarted.Warn(pOwner);
    ::SetLastError(dwError);
    return bRunning;
}
