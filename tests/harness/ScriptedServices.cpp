// The scripted platform's service control manager: services that depend on others, pending
// states that last a number of queries or a time of the scripted clock, and the refusals that
// the service control documentation gives, each with the status filled only where it says so.
#include "tests/harness/ScriptedPlatform.h"
#include <algorithm>
#include <string.h>

namespace harness {

namespace {

const SC_HANDLE kManager = reinterpret_cast<SC_HANDLE>(0x1000);
const UINT_PTR kFirstService = 0x2000;
// A service that depends on itself through others would have the manager start for ever.
const int kDeepestDependency = 16;

bool IsPending(DWORD dwState)
{
    return dwState == SERVICE_START_PENDING || dwState == SERVICE_STOP_PENDING;
}

void FillStatus(const ScriptedPlatform::Service& service, LPSERVICE_STATUS lpStatus)
{
    ZeroMemory(lpStatus, sizeof(*lpStatus));
    lpStatus->dwServiceType = SERVICE_WIN32_OWN_PROCESS;
    lpStatus->dwCurrentState = service.dwState;
    if (service.dwState == SERVICE_RUNNING && service.stopAnswer != ScriptedPlatform::STOP_NOT_ACCEPTED)
        lpStatus->dwControlsAccepted = SERVICE_ACCEPT_STOP;
    lpStatus->dwWin32ExitCode = service.dwExitCode;
}

} // namespace

ScriptedPlatform::Service& ScriptedPlatform::ServiceNamed(const std::string& name)
{
    for (auto& entry : services) {
        if (SameName(entry.first, name))
            return entry.second;
    }
    return services[name];
}

std::vector<std::string> ScriptedPlatform::DependentsOf(const std::string& name) const
{
    std::vector<std::string> dependents;
    for (const auto& entry : services) {
        for (const std::string& dependency : entry.second.dependsOn) {
            if (SameName(dependency, name)) {
                dependents.push_back(entry.first);
                break;
            }
        }
    }
    return dependents;
}

void ScriptedPlatform::ElapseInPlace(DWORD dwMilliseconds)
{
    if (ScriptedPlatform* pPlatform = dynamic_cast<ScriptedPlatform*>(&ThePlatform()))
        pPlatform->Elapse(dwMilliseconds);
}

void ScriptedPlatform::Elapse(DWORD dwMilliseconds)
{
    Advance(dwMilliseconds);
    for (auto& entry : services) {
        if (IsPending(entry.second.dwState))
            Answered(entry.second);
    }
}

void ScriptedPlatform::Advance(ULONGLONG qwMilliseconds)
{
    StartPendingClocks();
    clockMs += qwMilliseconds;
    for (auto& entry : services) {
        Service& service = entry.second;
        if (IsPending(service.dwState) && service.qwPendingEnd != 0 && clockMs >= service.qwPendingEnd)
            EndPending(service);
    }
}

void ScriptedPlatform::Answered(Service& service)
{
    if (!IsPending(service.dwState) || service.nPendingQueries == kForever)
        return;
    // A pending state timed by nothing at all ends at the first query.
    if (service.nPendingQueries > 0 ? --service.nPendingQueries == 0 : service.qwPendingEnd == 0)
        EndPending(service);
}

// A test may put a service in a pending state with the milliseconds it has left: they count
// from the clock's time at the next call.
void ScriptedPlatform::StartPendingClocks()
{
    for (auto& entry : services) {
        Service& service = entry.second;
        if (IsPending(service.dwState) && service.dwPendingMs != 0) {
            service.qwPendingEnd = clockMs + service.dwPendingMs;
            service.dwPendingMs = 0;
        }
    }
}

void ScriptedPlatform::BeginPending(Service& service, DWORD dwPendingState, int nQueries, DWORD dwMs)
{
    // A time set for this one start or stop goes before the service's own.
    if (service.nPendingQueries != 0 || service.dwPendingMs != 0) {
        nQueries = service.nPendingQueries;
        dwMs = service.dwPendingMs;
    }
    service.nPendingQueries = nQueries;
    service.dwPendingMs = 0;
    service.qwPendingEnd = dwMs > 0 ? clockMs + dwMs : 0;
    service.dwState = dwPendingState;
    if (nQueries == 0 && dwMs == 0)
        EndPending(service);
}

void ScriptedPlatform::EndPending(Service& service)
{
    service.dwState = service.dwState == SERVICE_START_PENDING ? SERVICE_RUNNING : SERVICE_STOPPED;
    service.nPendingQueries = 0;
    service.qwPendingEnd = 0;
}

SC_HANDLE ScriptedPlatform::OpenSCManagerA(DWORD dwDesiredAccess)
{
    if (Call("OpenSCManagerA", std::to_string(dwDesiredAccess)))
        return NULL;
    ++m_nOpenHandles;
    return kManager;
}

SC_HANDLE ScriptedPlatform::OpenServiceA(SC_HANDLE, LPCSTR lpServiceName, DWORD dwDesiredAccess)
{
    if (Call("OpenServiceA", Text(lpServiceName) + " " + std::to_string(dwDesiredAccess)))
        return NULL;
    bool bKnown = false;
    for (auto& entry : services)
        bKnown = bKnown || SameName(entry.first, Text(lpServiceName));
    if (!bKnown) {
        ::SetLastError(ERROR_SERVICE_DOES_NOT_EXIST);
        return NULL;
    }
    ++m_nOpenHandles;
    m_openServices.push_back(lpServiceName);
    return reinterpret_cast<SC_HANDLE>(kFirstService + m_openServices.size() - 1);
}

std::string ScriptedPlatform::ServiceOf(SC_HANDLE hService) const
{
    UINT_PTR index = reinterpret_cast<UINT_PTR>(hService) - kFirstService;
    return index < m_openServices.size() ? m_openServices[index] : std::string("?");
}

BOOL ScriptedPlatform::QueryServiceStatus(SC_HANDLE hService, LPSERVICE_STATUS lpStatus)
{
    std::string name = ServiceOf(hService);
    if (Call("QueryServiceStatus", name))
        return FALSE;
    StartPendingClocks();
    Service& service = ServiceNamed(name);
    FillStatus(service, lpStatus);
    Answered(service);
    return TRUE;
}

DWORD ScriptedPlatform::Start(const std::string& name, ULONGLONG qwGiveUp, bool bAsDependency, int nDepth)
{
    Service& service = ServiceNamed(name);
    if (service.bDisabled)
        return ERROR_SERVICE_DISABLED;
    if (service.dwState != SERVICE_STOPPED)
        return ERROR_SERVICE_ALREADY_RUNNING;

    // What the service depends on runs first: the manager starts each one that is stopped and
    // waits, asking it every second, until it runs, within the one call's time.
    for (const std::string& dependency : service.dependsOn) {
        Service& needed = ServiceNamed(dependency);
        if (needed.dwState == SERVICE_STOPPED &&
            (nDepth >= kDeepestDependency || Start(dependency, qwGiveUp, true, nDepth + 1) != ERROR_SUCCESS))
            return ERROR_SERVICE_DEPENDENCY_FAIL;
        while (needed.dwState == SERVICE_START_PENDING && clockMs < qwGiveUp) {
            Advance(1000);
            Answered(needed);
        }
        if (needed.dwState != SERVICE_RUNNING)
            return ERROR_SERVICE_DEPENDENCY_FAIL;
    }

    if (service.dwStartError != ERROR_SUCCESS) {
        // A service process that never reports to the manager is given up after its timeout.
        if (service.dwStartError == ERROR_SERVICE_REQUEST_TIMEOUT && clockMs < qwGiveUp)
            Advance(qwGiveUp - clockMs);
        return service.dwStartError;
    }
    if (!bAsDependency)
        ++service.nStartedByCall;
    BeginPending(service, SERVICE_START_PENDING, service.nStartQueries, service.dwStartMs);
    return ERROR_SUCCESS;
}

BOOL ScriptedPlatform::StartServiceA(SC_HANDLE hService)
{
    std::string name = ServiceOf(hService);
    if (Call("StartServiceA", name))
        return FALSE;
    StartPendingClocks();
    DWORD dwError = Start(name, clockMs + kManagerTimeoutMs, false, 0);
    if (dwError != ERROR_SUCCESS) {
        ::SetLastError(dwError);
        return FALSE;
    }
    return TRUE;
}

BOOL ScriptedPlatform::ControlService(SC_HANDLE hService, DWORD dwControl, LPSERVICE_STATUS lpStatus)
{
    std::string name = ServiceOf(hService);
    if (Call("ControlService", name + " " + std::to_string(dwControl)))
        return FALSE;
    StartPendingClocks();
    Service& service = ServiceNamed(name);
    DWORD dwError = ERROR_SUCCESS;
    if (dwControl == SERVICE_CONTROL_STOP) {
        for (const std::string& dependent : DependentsOf(name)) {
            if (ServiceNamed(dependent).dwState != SERVICE_STOPPED) {
                ::SetLastError(ERROR_DEPENDENT_SERVICES_RUNNING);
                return FALSE;
            }
        }
    }
    if (service.dwState == SERVICE_STOPPED)
        dwError = ERROR_SERVICE_NOT_ACTIVE;
    else if (IsPending(service.dwState))
        dwError = ERROR_SERVICE_CANNOT_ACCEPT_CTRL;
    else if (dwControl == SERVICE_CONTROL_STOP && service.stopAnswer == STOP_NOT_ACCEPTED)
        dwError = ERROR_INVALID_SERVICE_CONTROL;
    if (dwError != ERROR_SUCCESS) {
        FillStatus(service, lpStatus);
        Answered(service);
        ::SetLastError(dwError);
        return FALSE;
    }

    if (dwControl == SERVICE_CONTROL_STOP) {
        if (service.stopAnswer == STOP_UNANSWERED) {
            Advance(kManagerTimeoutMs);
            if (service.bStopsAfterAll && service.dwState == SERVICE_RUNNING)
                BeginPending(service, SERVICE_STOP_PENDING, service.nStopQueries, service.dwStopMs);
            ::SetLastError(ERROR_SERVICE_REQUEST_TIMEOUT);
            return FALSE;
        }
        BeginPending(service, SERVICE_STOP_PENDING, service.nStopQueries, service.dwStopMs);
    }
    FillStatus(service, lpStatus);
    return TRUE;
}

// Each dependent after those that depend on it: the order in which they can be stopped.
void ScriptedPlatform::CollectActiveDependents(const std::string& name, std::vector<std::string>& active) const
{
    for (const std::string& dependent : DependentsOf(name)) {
        bool bListed = false;
        for (const std::string& listed : active)
            bListed = bListed || SameName(listed, dependent);
        if (bListed)
            continue;
        CollectActiveDependents(dependent, active);
        if (services.find(dependent)->second.dwState != SERVICE_STOPPED)
            active.push_back(dependent);
    }
}

BOOL ScriptedPlatform::EnumDependentServicesA(SC_HANDLE hService, DWORD dwServiceState,
                                              LPENUM_SERVICE_STATUSA lpServices, DWORD cbBufSize,
                                              LPDWORD pcbBytesNeeded, LPDWORD lpServicesReturned)
{
    std::string name = ServiceOf(hService);
    if (Call("EnumDependentServicesA", name + " " + std::to_string(dwServiceState) + " " + std::to_string(cbBufSize)))
        return FALSE;
    StartPendingClocks();
    // Only the active ones are listed, the only ones the wizard asks for.
    std::vector<std::string> dependents;
    CollectActiveDependents(name, dependents);

    // The records first, their names after them, as the manager lays them out.
    DWORD cbNeeded = (DWORD)(dependents.size() * sizeof(ENUM_SERVICE_STATUSA));
    for (const std::string& dependent : dependents)
        cbNeeded += 2 * (DWORD)(dependent.size() + 1);
    *pcbBytesNeeded = cbNeeded;
    *lpServicesReturned = 0;
    if (cbBufSize < cbNeeded) {
        ::SetLastError(ERROR_MORE_DATA);
        return FALSE;
    }
    LPSTR pText = reinterpret_cast<LPSTR>(lpServices + dependents.size());
    auto copy = [&](const std::string& text) {
        LPSTR pCopy = pText;
        memcpy(pCopy, text.c_str(), text.size() + 1);
        pText += text.size() + 1;
        return pCopy;
    };
    for (size_t i = 0; i < dependents.size(); ++i) {
        const Service& service = services.find(dependents[i])->second;
        lpServices[i].lpServiceName = copy(dependents[i]);
        lpServices[i].lpDisplayName = copy(dependents[i]);
        FillStatus(service, &lpServices[i].ServiceStatus);
    }
    *lpServicesReturned = (DWORD)dependents.size();
    return TRUE;
}

BOOL ScriptedPlatform::CloseServiceHandle(SC_HANDLE hService)
{
    if (Call("CloseServiceHandle", hService == kManager ? std::string("manager") : ServiceOf(hService)))
        return FALSE;
    --m_nOpenHandles;
    return TRUE;
}

std::vector<std::string> ScriptedPlatform::ServiceViolations(const std::map<std::string, Service>& before,
                                                            const std::vector<std::string>& boxTexts,
                                                            const char* pszAsked,
                                                            const std::map<std::string, int>& startedByOthers)
{
    const std::string kDependents = "Some services that are dependent on the spooler service might not have "
                                    "successfully restarted: ";
    std::vector<std::string> named;
    for (const std::string& text : boxTexts) {
        if (text.compare(0, 37, "Unable to start the spooler service: ") == 0 ||
            text.compare(0, 27, "Unable to restart spooler: ") == 0)
            named.push_back("Spooler");
        // The warning's first line is its words and the system's; a name a line after it.
        if (text.compare(0, kDependents.size(), kDependents) != 0)
            continue;
        for (size_t nLine = text.find("\r\n"); nLine != std::string::npos;) {
            size_t nNext = text.find("\r\n", nLine + 2);
            named.push_back(text.substr(nLine + 2, nNext == std::string::npos ? nNext : nNext - nLine - 2));
            nLine = nNext;
        }
    }

    auto ending = [this] {
        return std::any_of(services.begin(), services.end(), [](const std::pair<const std::string, Service>& entry) {
            const Service& s = entry.second;
            return IsPending(s.dwState) && (s.nPendingQueries != kForever || s.qwPendingEnd != 0);
        });
    };
    for (int i = 0; i < 1000 && ending(); ++i)
        Elapse(1000);

    std::vector<std::string> wrong;
    for (const auto& entry : before) {
        const std::string& name = entry.first;
        DWORD dwBefore = entry.second.dwState;
        const Service& after = ServiceNamed(name);
        bool bRan = dwBefore == SERVICE_RUNNING || dwBefore == SERVICE_START_PENDING;
        bool bStillStarting = dwBefore == SERVICE_START_PENDING && after.dwState == SERVICE_START_PENDING;
        bool bNamed = std::find(named.begin(), named.end(), name) != named.end();
        if (bRan && after.dwState != SERVICE_RUNNING && !bStillStarting && !bNamed)
            wrong.push_back("nothing left stopped unnamed: " + name + " ran before and is " +
                            kStateNames[after.dwState <= SERVICE_RUNNING ? after.dwState : 0] + " after");
        auto others = startedByOthers.find(name);
        int nStarts = after.nStartedByCall - entry.second.nStartedByCall -
                      (others != startedByOthers.end() ? others->second : 0);
        if (!bRan && nStarts > 0 && (pszAsked == NULL || name != pszAsked))
            wrong.push_back("nothing started unasked: " + name + " was " +
                            kStateNames[dwBefore <= SERVICE_RUNNING ? dwBefore : 0] + " before and was started");
    }
    return wrong;
}

namespace {

void SkipPause(DWORD dwMilliseconds)
{
    ScriptedPlatform::ElapseInPlace(dwMilliseconds);
}

} // namespace

SkippedPauses::SkippedPauses() : pfnPrevious(SetPauseFunction(&SkipPause))
{
}

SkippedPauses::~SkippedPauses()
{
    SetPauseFunction(pfnPrevious);
}

} // namespace harness
