// Starting, stopping and restarting the spooler, against scripted services and with the
// pauses recorded instead of waited.
#include <doctest.h>
#include "base/Buffers.h"
#include "monitor/Pause.h"
#include "monitor/SpoolerService.h"
#include "tests/harness/Children.h"
#include "tests/harness/MessageBoxes.h"
#include "tests/harness/ScriptedPlatform.h"
#include <string>
#include <vector>

using harness::MessageBoxRecorder;
using harness::ScriptedPlatform;
typedef std::vector<std::string> Calls;

namespace {

DWORD g_dwPaused = 0;

void RecordPause(DWORD dwMilliseconds)
{
    g_dwPaused += dwMilliseconds;
}

// Pauses are added up instead of waited for the object's lifetime.
struct RecordedPauses {
    PauseFunction pfnPrevious;
    RecordedPauses() : pfnPrevious(SetPauseFunction(&RecordPause)) { g_dwPaused = 0; }
    ~RecordedPauses() { SetPauseFunction(pfnPrevious); }
    DWORD Total() const { return g_dwPaused; }
};

void AddDependents(ScriptedPlatform& platform, std::initializer_list<const char*> names)
{
    for (const char* pszName : names) {
        platform.ServiceNamed("Spooler").dependents.push_back(pszName);
        platform.services[pszName] = ScriptedPlatform::Service();
    }
}

// A spooler with running dependents A, B and C, all stopped by StopSpooler.
struct StoppedWithDependents {
    ScriptedPlatform platform;
    RecordedPauses pauses;
    MessageBoxRecorder boxes;
    LPENUM_SERVICE_STATUSA pServices = NULL;
    DWORD nServices = 0;
    BOOL bStopped;

    StoppedWithDependents()
    {
        AddDependents(platform, { "A", "B", "C" });
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
    CHECK(platform.CallsTo("ControlService") == Calls{ "A 1", "B 1", "C 1", "Spooler 1" });
    CHECK(platform.ServiceNamed("Spooler").dwState == SERVICE_STOPPED);

    CHECK(RestartSpooler(NULL, pServices, nServices));
    CHECK(platform.CallsTo("StartServiceA") == Calls{ "Spooler", "C", "B", "A" });
    for (const char* pszName : { "Spooler", "A", "B", "C" })
        CHECK(platform.ServiceNamed(pszName).dwState == SERVICE_RUNNING);
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

TEST_CASE("a stop that fails after dependents were stopped starts them again")
{
    ScriptedPlatform platform;
    RecordedPauses pauses;
    AddDependents(platform, { "A", "B", "C" });
    LPENUM_SERVICE_STATUSA pServices = NULL;
    DWORD nServices = 0;

    SUBCASE("the spooler refuses thirty times while dependents run") {
        platform.Fail("ControlService Spooler 1", ERROR_DEPENDENT_SERVICES_RUNNING);
        ::SetLastError(0);
        CHECK_FALSE(StopSpooler(NULL, &pServices, &nServices));
        CHECK(::GetLastError() == ERROR_DEPENDENT_SERVICES_RUNNING);
        Calls stops = platform.CallsTo("ControlService");
        CHECK(stops.size() == 3 + 30);
        CHECK(stops.back() == "Spooler 1");
        CHECK(pauses.Total() == 29 * 1000);
        CHECK(platform.CallsTo("StartServiceA") == Calls{ "C", "B", "A" });
    }
    SUBCASE("a dependent cannot be stopped") {
        platform.Fail("ControlService B 1", ERROR_ACCESS_DENIED);
        CHECK_FALSE(StopSpooler(NULL, &pServices, &nServices));
        CHECK(::GetLastError() == ERROR_ACCESS_DENIED);
        CHECK(platform.CallsTo("StartServiceA") == Calls{ "A" });
    }
    SUBCASE("the spooler never finishes stopping: the wait ends at its bound") {
        platform.ServiceNamed("Spooler").nPendingQueries = 1000000;
        CHECK_FALSE(StopSpooler(NULL, &pServices, &nServices));
        CHECK(pauses.Total() <= SERVICE_WAIT_LIMIT_MS + 1000);
        CHECK(platform.CallsTo("StartServiceA") == Calls{ "C", "B", "A" });
    }
    CHECK(pServices == NULL);
    CHECK(nServices == 0);
    for (const char* pszName : { "A", "B", "C" })
        CHECK(platform.ServiceNamed(pszName).dwState == SERVICE_RUNNING);
}

TEST_CASE_FIXTURE(StoppedWithDependents, "a restart starts every dependent and warns once about those that failed")
{
    REQUIRE(bStopped);

    SUBCASE("one of them cannot start") {
        platform.Fail("StartServiceA B", ERROR_SERVICE_DISABLED);
        CHECK(RestartSpooler(NULL, pServices, nServices));
        CHECK(platform.CallsTo("StartServiceA") == Calls{ "Spooler", "C", "B", "A" });
        CHECK(platform.ServiceNamed("A").dwState == SERVICE_RUNNING);
        CHECK(platform.ServiceNamed("B").dwState == SERVICE_STOPPED);
        REQUIRE(boxes.boxes.size() == 1);
        CHECK(boxes.boxes[0].text.find("Some services that are dependent on the spooler service might not have "
                                       "successfully restarted: ") == 0);
        CHECK(boxes.boxes[0].type == (MB_OK | MB_ICONEXCLAMATION));
    }
    SUBCASE("one of them already runs") {
        platform.ServiceNamed("B").dwState = SERVICE_RUNNING;
        CHECK(RestartSpooler(NULL, pServices, nServices));
        CHECK(boxes.boxes.empty());
    }
    SUBCASE("the spooler already runs: its dependents are still started") {
        platform.ServiceNamed("Spooler").dwState = SERVICE_RUNNING;
        CHECK(RestartSpooler(NULL, pServices, nServices));
        CHECK(platform.CallsTo("StartServiceA") == Calls{ "Spooler", "C", "B", "A" });
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
    for (const char* pszName : { "A", "C" })
        CHECK(platform.ServiceNamed(pszName).dwState != SERVICE_STOP_PENDING);
}
