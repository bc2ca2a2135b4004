// Starting, stopping and restarting the spooler, against scripted services and with the
// pauses recorded instead of waited.
#include <doctest.h>
#include "base/Buffers.h"
#include "monitor/Pause.h"
#include "monitor/SpoolerService.h"
#include "platform/Platform.h"
#include "tests/harness/Children.h"
#include "tests/harness/MessageBoxes.h"
#include "tests/harness/ScriptedPlatform.h"
#include <algorithm>
#include <string>
#include <vector>

using harness::MessageBoxRecorder;
using harness::ScriptedPlatform;
typedef std::vector<std::string> Calls;

namespace {

DWORD g_dwPaused = 0;

// The scripted services move on while the wizard pauses, as real ones would.
void RecordPause(DWORD dwMilliseconds)
{
    g_dwPaused += dwMilliseconds;
    ScriptedPlatform::ElapseInPlace(dwMilliseconds);
}

// Pauses are added up instead of waited for the object's lifetime.
struct RecordedPauses {
    PauseFunction pfnPrevious;
    RecordedPauses() : pfnPrevious(SetPauseFunction(&RecordPause)) { g_dwPaused = 0; }
    ~RecordedPauses() { SetPauseFunction(pfnPrevious); }
    DWORD Total() const { return g_dwPaused; }
};

// Services that take nQueries status queries (or pauses) to stop and again to start.
void AddDependents(ScriptedPlatform& platform, std::initializer_list<const char*> names, int nQueries = 0)
{
    for (const char* pszName : names) {
        platform.services[pszName] = ScriptedPlatform::Service();
        platform.services[pszName].dependsOn = { "Spooler" };
        platform.services[pszName].nStartQueries = platform.services[pszName].nStopQueries = nQueries;
    }
}

// Every one of the services runs: none was left stopped, or still stopping or starting.
void CheckRunning(ScriptedPlatform& platform, std::initializer_list<const char*> names)
{
    for (std::string name : names) {
        CAPTURE(name);
        CHECK(platform.ServiceNamed(name).dwState == SERVICE_RUNNING);
    }
}

// The names a warning about dependents gives, one a line after its first line: the string's
// prefix and the system's text.
std::string NamedIn(const harness::MessageBoxRecord& box)
{
    CHECK(box.text.find("Some services that are dependent on the spooler service might not have successfully "
                        "restarted: ") == 0);
    CHECK(box.type == (MB_OK | MB_ICONEXCLAMATION));
    size_t nLineEnd = box.text.find("\r\n");
    return nLineEnd != std::string::npos ? box.text.substr(nLineEnd + 2) : std::string();
}

// A spooler with running dependents A, B and C, all stopped by StopSpooler; each of the four
// takes three queries to stop and three to start.
struct StoppedWithDependents {
    ScriptedPlatform platform;
    RecordedPauses pauses;
    MessageBoxRecorder boxes;
    LPENUM_SERVICE_STATUSA pServices = NULL;
    DWORD nServices = 0;
    BOOL bStopped;

    StoppedWithDependents()
    {
        AddDependents(platform, { "A", "B", "C" }, 3);
        platform.ServiceNamed("Spooler").nStartQueries = platform.ServiceNamed("Spooler").nStopQueries = 3;
        bStopped = StopSpooler(NULL, &pServices, &nServices);
    }
};

const char kStartQuestion[] = "To install a printer driver, the spooler service must be running. The spooler is "
                              "currently stopped.\n\nDo you want to start this service?";

} // namespace

TEST_CASE("a running spooler needs no question")
{
    ScriptedPlatform platform;
    MessageBoxRecorder boxes;
    CHECK(EnsureSpoolerRunning(NULL));
    CHECK(boxes.boxes.empty());
    CHECK(platform.CallsTo("StartServiceA").empty());
    CHECK(platform.CallsTo("CloseServiceHandle") == Calls{ "Spooler", "manager" });
}

TEST_CASE("a stopped spooler is started when the user agrees")
{
    ScriptedPlatform platform;
    RecordedPauses pauses;
    MessageBoxRecorder boxes;
    platform.ServiceNamed("Spooler").dwState = SERVICE_STOPPED;

    SUBCASE("it starts") {
        platform.ServiceNamed("Spooler").nPendingQueries = 3;
        boxes.Answer(IDYES);
        CHECK(EnsureSpoolerRunning(NULL));
        REQUIRE(boxes.boxes.size() == 1);
        CHECK(boxes.boxes[0].text == kStartQuestion);
        CHECK(boxes.boxes[0].caption == "ZUV Izov Printer Software Wizard");
        CHECK(boxes.boxes[0].type == (MB_YESNO | MB_ICONQUESTION));
        CHECK(platform.ServiceNamed("Spooler").dwState == SERVICE_RUNNING);
        CHECK(pauses.Total() > 0);
    }
    SUBCASE("another party started it first") {
        boxes.Answer(IDYES);
        platform.Fail("StartServiceA", ERROR_SERVICE_ALREADY_RUNNING);
        CHECK(EnsureSpoolerRunning(NULL));
        CHECK(boxes.boxes.size() == 1);
    }
    SUBCASE("it cannot be started") {
        boxes.Answer(IDYES);
        platform.Fail("StartServiceA", ERROR_SERVICE_DISABLED);
        CHECK_FALSE(EnsureSpoolerRunning(NULL));
        REQUIRE(boxes.boxes.size() == 2);
        CHECK(boxes.boxes[1].text.find("Unable to start the spooler service: ") == 0);
        CHECK(boxes.boxes[1].text.size() > strlen("Unable to start the spooler service: "));
        CHECK(boxes.boxes[1].type == (MB_OK | MB_ICONERROR));
    }
    SUBCASE("it starts but never comes up: the wait ends at its bound") {
        boxes.Answer(IDYES);
        platform.ServiceNamed("Spooler").nPendingQueries = 1000000;
        CHECK_FALSE(EnsureSpoolerRunning(NULL));
        CHECK(pauses.Total() >= SERVICE_WAIT_LIMIT_MS);
        CHECK(pauses.Total() < SERVICE_WAIT_LIMIT_MS + 1000);
        CHECK(boxes.boxes.size() == 2);
    }
}

TEST_CASE("the spooler's state cannot be read: FALSE without a word")
{
    ScriptedPlatform platform;
    MessageBoxRecorder boxes;
    SUBCASE("manager") { platform.Fail("OpenSCManagerA", ERROR_ACCESS_DENIED); }
    SUBCASE("service") { platform.Fail("OpenServiceA", ERROR_SERVICE_DOES_NOT_EXIST); }
    SUBCASE("status") { platform.Fail("QueryServiceStatus", ERROR_ACCESS_DENIED); }
    CHECK_FALSE(EnsureSpoolerRunning(NULL));
    CHECK(boxes.boxes.empty());
}

TEST_CHILD(decline_spooler_start)
{
    ScriptedPlatform platform;
    MessageBoxRecorder boxes;
    platform.ServiceNamed("Spooler").dwState = SERVICE_STOPPED;
    boxes.Answer(IDNO);
    EnsureSpoolerRunning(NULL);
    return 7;  // not reached: the program ends with exit code 0
}

TEST_CASE("declining to start the spooler ends the program with exit code 0")
{
    CHECK(harness::RunChildProcess("decline_spooler_start") == 0);
}

TEST_CASE_FIXTURE(StoppedWithDependents, "dependents stop first to last and restart last to first")
{
    REQUIRE(bStopped);
    REQUIRE(nServices == 3);
    CHECK(std::string(pServices[0].lpServiceName) == "A");
    // The spooler refuses while its dependents are still stopping, and is asked again.
    Calls stops = platform.CallsTo("ControlService");
    REQUIRE(stops.size() > 4);
    CHECK(Calls(stops.begin(), stops.begin() + 3) == Calls{ "A 1", "B 1", "C 1" });
    CHECK(std::count(stops.begin() + 3, stops.end(), "Spooler 1") == (long)stops.size() - 3);
    for (const char* pszName : { "Spooler", "A", "B", "C" })
        CHECK(platform.ServiceNamed(pszName).dwState == SERVICE_STOPPED);

    CHECK(RestartSpooler(NULL, pServices, nServices));
    CHECK(platform.CallsTo("StartServiceA") == Calls{ "Spooler", "C", "B", "A" });
    CheckRunning(platform, { "Spooler", "A", "B", "C" });
    CHECK(boxes.boxes.empty());
}

TEST_CASE("a spooler without dependents gets one stop control and an empty list")
{
    ScriptedPlatform platform;
    RecordedPauses pauses;
    LPENUM_SERVICE_STATUSA pServices = reinterpret_cast<LPENUM_SERVICE_STATUSA>(1);
    DWORD nServices = 99;
    REQUIRE(StopSpooler(NULL, &pServices, &nServices));
    CHECK(pServices == NULL);
    CHECK(nServices == 0);
    CHECK(platform.CallsTo("ControlService") == Calls{ "Spooler 1" });
    CHECK(RestartSpooler(NULL, pServices, nServices));
}

TEST_CASE("a stop that fails half-way leaves no service stopped, not even one still stopping")
{
    // Every service takes four queries to stop and four to start, as real ones take time.
    ScriptedPlatform platform;
    RecordedPauses pauses;
    MessageBoxRecorder boxes;
    AddDependents(platform, { "A", "B", "C" }, 4);
    ScriptedPlatform::Service& spooler = platform.ServiceNamed("Spooler");
    spooler.nStartQueries = spooler.nStopQueries = 4;
    LPENUM_SERVICE_STATUSA pServices = NULL;
    DWORD nServices = 0;
    DWORD dwStopError = 0;
    DWORD dwError = 0;
    auto stop = [&] {
        BOOL bStopped = StopSpooler(NULL, &pServices, &nServices);
        dwError = ::GetLastError();
        return bStopped;
    };

    SUBCASE("a dependent refuses the stop while the one before it is still stopping") {
        platform.Fail("ControlService B 1", ERROR_INVALID_SERVICE_CONTROL);
        dwStopError = ERROR_INVALID_SERVICE_CONTROL;
        CHECK_FALSE(stop());
        // A still stopping answers its start with 1056; it is waited for, then started.
        CHECK(platform.CallsTo("StartServiceA") == Calls{ "A", "A" });
    }
    SUBCASE("a chain: B will not stop while A, which depends on it, is still stopping") {
        platform.ServiceNamed("A").dependsOn.push_back("B");
        dwStopError = ERROR_DEPENDENT_SERVICES_RUNNING;
        CHECK_FALSE(stop());
        CHECK(platform.CallsTo("StartServiceA") == Calls{ "A", "A" });
    }
    SUBCASE("the spooler refuses thirty times while dependents run") {
        platform.Fail("ControlService Spooler 1", ERROR_DEPENDENT_SERVICES_RUNNING);
        dwStopError = ERROR_DEPENDENT_SERVICES_RUNNING;
        CHECK_FALSE(stop());
        Calls stops = platform.CallsTo("ControlService");
        CHECK(stops.size() == 3 + 30);
        CHECK(stops.back() == "Spooler 1");
        CHECK(pauses.Total() >= 29 * 1000);
        CHECK(platform.CallsTo("StartServiceA") == Calls{ "C", "B", "A" });
    }
    SUBCASE("the spooler takes the stop, then fails with an exit code: it is started again") {
        spooler.dwExitCode = ERROR_PROCESS_ABORTED;
        dwStopError = ERROR_PROCESS_ABORTED;
        CHECK_FALSE(stop());
        // Still stopping, it answers the first start with 1056.
        CHECK(platform.CallsTo("StartServiceA") == Calls{ "Spooler", "Spooler", "C", "B", "A" });
    }
    SUBCASE("the spooler never finishes stopping: both waits end at their bounds, and it is named") {
        spooler.nPendingQueries = 1000000;
        dwStopError = ERROR_SERVICE_REQUEST_TIMEOUT;
        CHECK_FALSE(stop());
        // 101 pauses of 500 ms for the stop, then the bound of the wait to start it again.
        CHECK(pauses.Total() >= 101 * 500 + SERVICE_WAIT_LIMIT_MS);
        CHECK(pauses.Total() <= 101 * 500 + SERVICE_WAIT_LIMIT_MS + 10000);
        CHECK(boxes.boxes.size() == 1);
        // Its dependents cannot start on a spooler that is still stopping.
        if (!boxes.boxes.empty())
            CHECK(NamedIn(boxes.boxes[0]) == "Spooler\r\nC\r\nB\r\nA");
        CHECK(spooler.dwState == SERVICE_STOP_PENDING);
        for (const char* pszName : { "A", "B", "C" })
            platform.ServiceNamed(pszName).dwState = SERVICE_RUNNING;  // named; not for the check below
        spooler.dwState = SERVICE_RUNNING;
    }
    CHECK(dwError == dwStopError);
    CHECK(pServices == NULL);
    CHECK(nServices == 0);
    CheckRunning(platform, { "Spooler", "A", "B", "C" });
    if (dwStopError != ERROR_SERVICE_REQUEST_TIMEOUT)
        CHECK(boxes.boxes.empty());
}

TEST_CASE_FIXTURE(StoppedWithDependents, "a restart starts every dependent and warns once about those that failed")
{
    REQUIRE(bStopped);

    SUBCASE("one of them cannot start") {
        platform.Fail("StartServiceA B", ERROR_SERVICE_DISABLED);
        CHECK(RestartSpooler(NULL, pServices, nServices));
        CHECK(platform.CallsTo("StartServiceA") == Calls{ "Spooler", "C", "B", "A" });
        CheckRunning(platform, { "Spooler", "A", "C" });
        CHECK(platform.ServiceNamed("B").dwState == SERVICE_STOPPED);
        REQUIRE(boxes.boxes.size() == 1);
        CHECK(NamedIn(boxes.boxes[0]) == "B");
    }
    SUBCASE("one of them already runs") {
        platform.ServiceNamed("B").dwState = SERVICE_RUNNING;
        CHECK(RestartSpooler(NULL, pServices, nServices));
        CheckRunning(platform, { "Spooler", "A", "B", "C" });
        CHECK(boxes.boxes.empty());
    }
    SUBCASE("the spooler already runs: its dependents are still started") {
        platform.ServiceNamed("Spooler").dwState = SERVICE_RUNNING;
        CHECK(RestartSpooler(NULL, pServices, nServices));
        CHECK(platform.CallsTo("StartServiceA") == Calls{ "Spooler", "C", "B", "A" });
        CheckRunning(platform, { "Spooler", "A", "B", "C" });
        CHECK(boxes.boxes.empty());
    }
    SUBCASE("the spooler cannot start: nothing else is started") {
        platform.Fail("StartServiceA Spooler", ERROR_SERVICE_DISABLED);
        ::SetLastError(0);
        CHECK_FALSE(RestartSpooler(NULL, pServices, nServices));
        CHECK(::GetLastError() == ERROR_SERVICE_DISABLED);
        CHECK(platform.CallsTo("StartServiceA") == Calls{ "Spooler" });
        CHECK(boxes.boxes.empty());
    }
    SUBCASE("the spooler is slow to come up: every dependent is still tried, and those not started named") {
        platform.ServiceNamed("Spooler").nPendingQueries = 1000000;
        ::SetLastError(0);
        CHECK_FALSE(RestartSpooler(NULL, pServices, nServices));
        CHECK(::GetLastError() == ERROR_SERVICE_REQUEST_TIMEOUT);
        CHECK(platform.CallsTo("StartServiceA") == Calls{ "Spooler", "C", "B", "A" });
        REQUIRE(boxes.boxes.size() == 1);
        // The manager does not start a service while what it depends on is still starting.
        CHECK(NamedIn(boxes.boxes[0]) == "C\r\nB\r\nA");
    }
}
