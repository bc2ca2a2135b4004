// The scripted service manager answers as the system's does. Where Wine's manager keeps a rule
// of the service control documentation, the same steps run against both, on real services of
// this program's own (it registers itself, started as "--child NAME"), and the answers are
// compared. The rules Wine's manager lacks are checked against the scripted one alone (in
// unit/ServiceScenarioTests.cpp): Wine starts no dependencies (so no 1068), never refuses a stop
// with 1051, lists no dependents, passes a stop to a service that is still starting (Windows:
// 1061), writes a zeroed status on 1052 instead of the service's, gives up on a control after
// its own 10 s pipe timeout rather than the documented 30 s, and answers a start that fails
// inside the service with 1053 at once.
#include <doctest.h>
#include "monitor/Pause.h"
#include "platform/Platform.h"
#include "tests/harness/Children.h"
#include "tests/harness/ScriptedPlatform.h"
#include <string>
#include <vector>

using harness::ScriptedPlatform;

namespace {

// ---- The real services: this program, run by the service manager

struct ServiceBehaviour {
    DWORD dwStartMs;
    DWORD dwStopMs;
    bool bAcceptsStop;
    bool bFailsToStart;
};

ServiceBehaviour g_behaviour;
SERVICE_STATUS_HANDLE g_hStatus;
HANDLE g_hStopAsked;

void Report(DWORD dwState, DWORD dwExitCode = NO_ERROR)
{
    SERVICE_STATUS status = {};
    status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
    status.dwCurrentState = dwState;
    status.dwControlsAccepted = dwState == SERVICE_RUNNING && g_behaviour.bAcceptsStop ? SERVICE_ACCEPT_STOP : 0;
    status.dwWin32ExitCode = dwExitCode;
    status.dwWaitHint = 5000;
    ::SetServiceStatus(g_hStatus, &status);
}

// The stop is answered at once; the service then takes its time to stop.
void WINAPI OnControl(DWORD dwControl)
{
    if (dwControl == SERVICE_CONTROL_STOP) {
        Report(SERVICE_STOP_PENDING);
        ::SetEvent(g_hStopAsked);
    }
}

void WINAPI ServiceMain(DWORD, LPSTR*)
{
    g_hStatus = ::RegisterServiceCtrlHandlerA("", &OnControl);
    if (g_behaviour.bFailsToStart) {
        Report(SERVICE_STOPPED, ERROR_SERVICE_LOGON_FAILED);
        return;
    }
    if (g_behaviour.dwStartMs > 0) {
        Report(SERVICE_START_PENDING);
        ::Sleep(g_behaviour.dwStartMs);
    }
    Report(SERVICE_RUNNING);
    ::WaitForSingleObject(g_hStopAsked, INFINITE);
    ::Sleep(g_behaviour.dwStopMs);
    Report(SERVICE_STOPPED);
}

int RunService(const ServiceBehaviour& behaviour)
{
    g_behaviour = behaviour;
    g_hStopAsked = ::CreateEventA(NULL, TRUE, FALSE, NULL);
    SERVICE_TABLE_ENTRYA table[] = { { const_cast<LPSTR>(""), &ServiceMain }, { NULL, NULL } };
    return ::StartServiceCtrlDispatcherA(table) ? 0 : 1;
}

const DWORD kPendingMs = 700;

TEST_CHILD(service_stops_slowly) { return RunService({ 0, kPendingMs, true, false }); }
TEST_CHILD(service_starts_slowly) { return RunService({ kPendingMs, kPendingMs, true, false }); }
TEST_CHILD(service_takes_no_stop) { return RunService({ 0, 0, false, false }); }
TEST_CHILD(service_fails_to_start) { return RunService({ 0, 0, true, true }); }

// ---- Steps and what they answer

enum Operation { START, STOP, WAIT_RUNNING, WAIT_STOPPED };

// What a step answered: the error (0: the call succeeded, a wait saw its state come), then the
// state the status record was filled with, if it was (1 stopped, 3 stop pending, 4 running):
// "1061 filled 3".
std::string Run(Platform& platform, SC_HANDLE hService, Operation operation)
{
    SERVICE_STATUS status;
    memset(&status, 0xCC, sizeof(status));
    ::SetLastError(0xdeadbeef);
    BOOL bDone = FALSE;
    if (operation == WAIT_RUNNING || operation == WAIT_STOPPED) {
        DWORD dwWanted = operation == WAIT_RUNNING ? SERVICE_RUNNING : SERVICE_STOPPED;
        for (int nPolls = 0; nPolls < 200 && platform.QueryServiceStatus(hService, &status); ++nPolls) {
            if (status.dwCurrentState == dwWanted)
                return "0";
            Pause(50);
        }
        return std::to_string(ERROR_SERVICE_REQUEST_TIMEOUT);
    }
    bDone = operation == START ? platform.StartServiceA(hService)
                               : platform.ControlService(hService, SERVICE_CONTROL_STOP, &status);
    std::string answer = std::to_string(bDone ? 0 : ::GetLastError());
    return status.dwCurrentState == 0xCCCCCCCC ? answer : answer + " filled " + std::to_string(status.dwCurrentState);
}

struct Step {
    Operation operation;
    const char* pszAnswer;           // as the documentation has it
    bool bWineZeroesStatus = false;  // Wine writes a zeroed status with this answer: its error alone is compared
};

struct Sequence {
    const char* pszChild;  // the real service's behaviour; NULL: a disabled service, never run
    void (*script)(ScriptedPlatform::Service&);
    std::vector<Step> steps;
};

const Sequence kSequences[] = {
    { "service_stops_slowly", [](ScriptedPlatform::Service& service) { service.dwStopMs = kPendingMs; },
      { { START, "0" },
        { WAIT_RUNNING, "0" },
        { START, "1056" },
        { STOP, "0 filled 3" },
        { STOP, "1061 filled 3" },
        { START, "1056" },
        { WAIT_STOPPED, "0" },
        { STOP, "1062 filled 1" },
        { START, "0" },
        { WAIT_RUNNING, "0" } } },
    { "service_starts_slowly",
      [](ScriptedPlatform::Service& service) { service.dwStartMs = service.dwStopMs = kPendingMs; },
      { { START, "0" }, { START, "1056" }, { WAIT_RUNNING, "0" }, { STOP, "0 filled 3" } } },
    { "service_takes_no_stop",
      [](ScriptedPlatform::Service& service) { service.stopAnswer = ScriptedPlatform::STOP_NOT_ACCEPTED; },
      { { START, "0" }, { WAIT_RUNNING, "0" }, { STOP, "1052 filled 4", true } } },
    { "service_fails_to_start",
      [](ScriptedPlatform::Service& service) { service.dwStartError = ERROR_SERVICE_REQUEST_TIMEOUT; },
      { { START, "1053" }, { STOP, "1062 filled 1" } } },
    { NULL, [](ScriptedPlatform::Service& service) { service.bDisabled = true; }, { { START, "1058" } } },
};

// One of this program's behaviours registered as a service, stopped, and deleted with its
// process when the object goes.
class RealService {
public:
    RealService(SC_HANDLE hManager, const Sequence& sequence) : m_hService(NULL), m_hProcess(NULL)
    {
        std::string name = std::string("ZuvRule_") + (sequence.pszChild ? sequence.pszChild : "disabled");
        if (SC_HANDLE hOld = ::OpenServiceA(hManager, name.c_str(), SERVICE_ALL_ACCESS)) {
            ::DeleteService(hOld);
            ::CloseServiceHandle(hOld);
        }
        char szSelf[MAX_PATH];
        ::GetModuleFileNameA(NULL, szSelf, MAX_PATH);
        std::string command = std::string("\"") + szSelf + "\" --child " +
                              (sequence.pszChild ? sequence.pszChild : "service_stops_slowly");
        m_hService = ::CreateServiceA(hManager, name.c_str(), name.c_str(), SERVICE_ALL_ACCESS,
                                      SERVICE_WIN32_OWN_PROCESS,
                                      sequence.pszChild ? SERVICE_DEMAND_START : SERVICE_DISABLED,
                                      SERVICE_ERROR_IGNORE, command.c_str(), NULL, NULL, NULL, NULL, NULL);
    }
    ~RealService()
    {
        if (m_hService == NULL)
            return;
        KeepProcess();
        if (m_hProcess != NULL) {
            ::TerminateProcess(m_hProcess, 0);
            ::WaitForSingleObject(m_hProcess, 5000);
            ::CloseHandle(m_hProcess);
        }
        ::DeleteService(m_hService);
        ::CloseServiceHandle(m_hService);
    }
    SC_HANDLE Handle() const { return m_hService; }

    // Holds the service's process while it runs, so that a stop can wait for it to end: Wine
    // answers a start with 1056 while the process of the stopped service is still there.
    void KeepProcess()
    {
        SERVICE_STATUS_PROCESS status = {};
        DWORD cbNeeded = 0;
        if (m_hProcess == NULL &&
            ::QueryServiceStatusEx(m_hService, SC_STATUS_PROCESS_INFO, (LPBYTE)&status, sizeof(status), &cbNeeded) &&
            status.dwProcessId != 0)
            m_hProcess = ::OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, status.dwProcessId);
    }
    void WaitForProcessEnd()
    {
        if (m_hProcess != NULL) {
            ::WaitForSingleObject(m_hProcess, 10000);
            ::CloseHandle(m_hProcess);
            m_hProcess = NULL;
        }
    }

private:
    SC_HANDLE m_hService;
    HANDLE m_hProcess;
};

} // namespace

TEST_CASE("the scripted service manager answers as Wine's where Wine keeps the rule")
{
    Platform& system = SystemPlatform();
    SC_HANDLE hManager = system.OpenSCManagerA(SC_MANAGER_ALL_ACCESS);
    REQUIRE(hManager != NULL);
    for (const Sequence& sequence : kSequences) {
        std::string behaviour = sequence.pszChild ? sequence.pszChild : "disabled";
        CAPTURE(behaviour);
        std::vector<std::string> scripted;
        {
            ScriptedPlatform platform;
            harness::SkippedPauses pauses;
            ScriptedPlatform::Service& service = platform.services["Rule"];
            service.dwState = SERVICE_STOPPED;
            sequence.script(service);
            SC_HANDLE hService = ThePlatform().OpenServiceA(ThePlatform().OpenSCManagerA(SC_MANAGER_ALL_ACCESS),
                                                            "Rule", SERVICE_ALL_ACCESS);
            for (const Step& step : sequence.steps)
                scripted.push_back(Run(ThePlatform(), hService, step.operation));
        }

        RealService real(hManager, sequence);
        REQUIRE(real.Handle() != NULL);
        for (size_t i = 0; i < sequence.steps.size(); ++i) {
            const Step& step = sequence.steps[i];
            CAPTURE(i);
            std::string answer = Run(system, real.Handle(), step.operation);
            if (step.operation == WAIT_RUNNING)
                real.KeepProcess();
            if (step.operation == WAIT_STOPPED)
                real.WaitForProcessEnd();
            CHECK(scripted[i] == step.pszAnswer);
            if (step.bWineZeroesStatus)
                CHECK(answer.substr(0, answer.find(' ')) == scripted[i].substr(0, scripted[i].find(' ')));
            else
                CHECK(answer == scripted[i]);
        }
    }
    system.CloseServiceHandle(hManager);
}

