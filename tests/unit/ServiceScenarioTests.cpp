// Generated service scenarios: the spooler in each of its states with up to four dependents in
// chains up to three deep, pending times beyond the wizard's bounds, refusals and failed starts
// anywhere; on each, the upgrade's stop, copy and restart, or the spooler check answered Yes or
// No, and one invariant checked afterwards. A scenario reads and prints as one line of text:
//
//   upgrade copy=failed; Spooler running stop=3q; A<Spooler running stop=forever; B<A stopped
//
// The flow (upgrade, ensure-yes, ensure-no), then each service: its name, what it depends on
// after "<", its state, and what it does: left= (the pending state's time left), start=, stop=
// (times: 0, 3q for queries, 2500ms, 3q/2500ms, forever), disabled, start-fails=ERROR,
// stop-refused (1052), stop-unanswered (1053), stop-unanswered-then-stops, exit=ERROR. The flow
// takes copy=failed or copy=cancelled, meanwhile=NAME (another party starts it, at the copy or
// at the question), and fail=CALL:ERROR (a call of the platform fails, "/" for its blanks).
#include <doctest.h>
#include "base/Messages.h"
#include "base/ProgramEnd.h"
#include "base/ShellCopy.h"
#include "monitor/MonitorInstall.h"
#include "monitor/SpoolerService.h"
#include "tests/harness/Children.h"
#include "tests/harness/MessageBoxes.h"
#include "tests/harness/ScriptedPlatform.h"
#include <stdlib.h>
#include <algorithm>
#include <map>
#include <sstream>
#include <string>
#include <vector>

using harness::ScriptedPlatform;
typedef ScriptedPlatform::Service Service;

namespace {

const char kCaption[] = "ZUV Izov Printer Software Wizard";
const char kStartQuestion[] = "To install a printer driver, the spooler service must be running. The spooler is "
                              "currently stopped.\n\nDo you want to start this service?";
const char* const kPrefixes[] = { "Unable to start the spooler service: ", "Unable to stop spooler: ",
                                  "Unable to restart spooler: ",
                                  "Some services that are dependent on the spooler service might not have "
                                  "successfully restarted: " };
enum Prefix { START_FAILED, STOP_FAILED, RESTART_FAILED, NOT_RESTARTED, QUESTION };
const int kPrefixIDs[] = { 2041, 2046, 2047, 2048, 2040 };
const DWORD kKnownErrors[] = { ERROR_ACCESS_DENIED, ERROR_DEPENDENT_SERVICES_RUNNING, ERROR_INVALID_SERVICE_CONTROL,
                               ERROR_SERVICE_REQUEST_TIMEOUT, ERROR_SERVICE_ALREADY_RUNNING, ERROR_SERVICE_DISABLED,
                               ERROR_SERVICE_CANNOT_ACCEPT_CTRL, ERROR_SERVICE_NOT_ACTIVE, ERROR_PROCESS_ABORTED,
                               ERROR_SERVICE_DEPENDENCY_FAIL, ERROR_SERVICE_LOGON_FAILED, ERROR_NOT_ENOUGH_MEMORY };

// ---- Scenarios as text

struct Time {
    int nQueries;
    DWORD dwMs;
};

const char* const kStates[] = { "?", "stopped", "start-pending", "stop-pending", "running" };

std::string TimeText(const Time& time)
{
    if (time.nQueries == ScriptedPlatform::kForever)
        return "forever";
    if (time.nQueries == 0 && time.dwMs == 0)
        return "0";
    std::string text = time.nQueries ? std::to_string(time.nQueries) + "q" : "";
    return text + (time.nQueries && time.dwMs ? "/" : "") + (time.dwMs ? std::to_string(time.dwMs) + "ms" : "");
}

Time ReadTime(const std::string& text)
{
    Time time = { 0, 0 };
    if (text == "forever")
        time.nQueries = ScriptedPlatform::kForever;
    size_t nQ = text.find('q');
    if (nQ != std::string::npos)
        time.nQueries = atoi(text.c_str());
    size_t nMs = text.find("ms");
    if (nMs != std::string::npos)
        time.dwMs = (DWORD)atol(text.c_str() + (nQ != std::string::npos ? nQ + 2 : 0));
    return time;
}

struct Scenario {
    std::string flow;
    std::string copy = "ok";
    std::vector<std::string> meanwhile;
    std::vector<std::pair<std::string, DWORD>> failures;
    std::vector<std::pair<std::string, Service>> services;  // the spooler first
};

std::vector<std::string> Split(const std::string& text, char cSeparator)
{
    std::vector<std::string> parts;
    std::string part;
    std::istringstream stream(text);
    while (std::getline(stream, part, cSeparator)) {
        size_t nFirst = part.find_first_not_of(' ');
        if (nFirst != std::string::npos)
            parts.push_back(part.substr(nFirst, part.find_last_not_of(' ') - nFirst + 1));
    }
    return parts;
}

std::string Text(const Scenario& scenario)
{
    std::string text = scenario.flow;
    if (scenario.copy != "ok")
        text += " copy=" + scenario.copy;
    for (const std::string& name : scenario.meanwhile)
        text += " meanwhile=" + name;
    for (const auto& failure : scenario.failures) {
        std::string call = failure.first;
        for (char& c : call)
            c = c == ' ' ? '/' : c;
        text += " fail=" + call + ":" + std::to_string(failure.second);
    }
    for (const auto& entry : scenario.services) {
        const Service& s = entry.second;
        text += "; " + entry.first;
        for (size_t i = 0; i < s.dependsOn.size(); ++i)
            text += (i == 0 ? "<" : ",") + s.dependsOn[i];
        text += std::string(" ") + kStates[s.dwState];
        if (s.dwState == SERVICE_START_PENDING || s.dwState == SERVICE_STOP_PENDING)
            text += " left=" + TimeText({ s.nPendingQueries, s.dwPendingMs });
        if (s.nStartQueries || s.dwStartMs)
            text += " start=" + TimeText({ s.nStartQueries, s.dwStartMs });
        if (s.nStopQueries || s.dwStopMs)
            text += " stop=" + TimeText({ s.nStopQueries, s.dwStopMs });
        if (s.bDisabled)
            text += " disabled";
        if (s.dwStartError)
            text += " start-fails=" + std::to_string(s.dwStartError);
        if (s.stopAnswer != ScriptedPlatform::STOP_TAKEN)
            text += s.stopAnswer == ScriptedPlatform::STOP_NOT_ACCEPTED ? " stop-refused"
                    : s.bStopsAfterAll                                   ? " stop-unanswered-then-stops"
                                                                         : " stop-unanswered";
        if (s.dwExitCode)
            text += " exit=" + std::to_string(s.dwExitCode);
    }
    return text;
}

Scenario Read(const std::string& text)
{
    Scenario scenario;
    std::vector<std::string> parts = Split(text, ';');
    for (const std::string& word : Split(parts[0], ' ')) {
        std::string value = word.substr(word.find('=') + 1);
        if (word.compare(0, 5, "copy=") == 0)
            scenario.copy = value;
        else if (word.compare(0, 10, "meanwhile=") == 0)
            scenario.meanwhile.push_back(value);
        else if (word.compare(0, 5, "fail=") == 0) {
            std::string call = value.substr(0, value.rfind(':'));
            for (char& c : call)
                c = c == '/' ? ' ' : c;
            scenario.failures.push_back({ call, (DWORD)atol(value.c_str() + value.rfind(':') + 1) });
        } else
            scenario.flow = word;
    }
    for (size_t i = 1; i < parts.size(); ++i) {
        std::vector<std::string> words = Split(parts[i], ' ');
        Service s;
        std::string name = words[0].substr(0, words[0].find('<'));
        if (words[0].find('<') != std::string::npos)
            s.dependsOn = Split(words[0].substr(words[0].find('<') + 1), ',');
        for (DWORD dwState = SERVICE_STOPPED; dwState <= SERVICE_RUNNING; ++dwState)
            s.dwState = words[1] == kStates[dwState] ? dwState : s.dwState;
        for (size_t j = 2; j < words.size(); ++j) {
            const std::string& w = words[j];
            std::string value = w.substr(w.find('=') + 1);
            Time time = ReadTime(value);
            if (w.compare(0, 5, "left=") == 0)
                s.nPendingQueries = time.nQueries, s.dwPendingMs = time.dwMs;
            else if (w.compare(0, 6, "start=") == 0)
                s.nStartQueries = time.nQueries, s.dwStartMs = time.dwMs;
            else if (w.compare(0, 5, "stop=") == 0)
                s.nStopQueries = time.nQueries, s.dwStopMs = time.dwMs;
            else if (w == "disabled")
                s.bDisabled = true;
            else if (w.compare(0, 12, "start-fails=") == 0)
                s.dwStartError = (DWORD)atol(value.c_str());
            else if (w == "stop-refused")
                s.stopAnswer = ScriptedPlatform::STOP_NOT_ACCEPTED;
            else if (w.compare(0, 15, "stop-unanswered") == 0)
                s.stopAnswer = ScriptedPlatform::STOP_UNANSWERED, s.bStopsAfterAll = w != "stop-unanswered";
            else if (w.compare(0, 5, "exit=") == 0)
                s.dwExitCode = (DWORD)atol(value.c_str());
        }
        scenario.services.push_back({ name, s });
    }
    return scenario;
}

// ---- Scenarios made from a seed

struct Random {
    unsigned long long state;
    explicit Random(unsigned long long seed) : state(seed * 0x9E3779B97F4A7C15ULL + 1) {}
    unsigned Next(unsigned n)  // 0 to n - 1
    {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return (unsigned)((state >> 11) % n);
    }
    bool Chance(unsigned nPercent) { return Next(100) < nPercent; }
};

Time RandomTime(Random& random)
{
    switch (random.Next(10)) {
    case 0:
    case 1:
    case 2: return { 0, 0 };
    case 3:
    case 4: return { (int)random.Next(6) + 1, 0 };
    case 5:
    case 6: return { 0, 200 + 100 * random.Next(50) };
    case 7: return { (int)random.Next(6) + 1, 200 + 100 * random.Next(50) };
    case 8: return { 0, 61000 + 1000 * random.Next(140) };  // past any wait of the wizard
    default: return { ScriptedPlatform::kForever, 0 };
    }
}

Scenario Generate(unsigned long long seed)
{
    Random random(seed);
    Scenario scenario;
    const char* const kFlows[] = { "upgrade", "upgrade", "upgrade", "ensure-yes", "ensure-no" };
    scenario.flow = kFlows[random.Next(5)];
    if (scenario.flow == "upgrade" && random.Chance(10))
        scenario.copy = random.Chance(50) ? "failed" : "cancelled";
    bool bOther = random.Chance(20);
    const char* const kNames[] = { "Spooler", "Other", "A", "B", "C", "D" };
    std::map<std::string, int> depth;
    unsigned nDependents = random.Next(5);
    for (unsigned i = 0; i < 2 + nDependents; ++i) {
        if (i == 1 && !bOther)
            continue;
        Service s;
        if (i >= 2) {
            // A parent no deeper than two, so that chains are three deep at most.
            std::vector<std::string> parents = { "Spooler" };
            for (unsigned j = 2; j < i; ++j)
                if (depth[kNames[j]] < 3)
                    parents.push_back(kNames[j]);
            s.dependsOn = { parents[random.Next((unsigned)parents.size())] };
            depth[kNames[i]] = depth[s.dependsOn[0]] + 1;
            if (bOther && random.Chance(30))
                s.dependsOn.push_back("Other");
        }
        // Only a service whose dependencies all run can be anything but stopped.
        bool bCanRun = true;
        for (const std::string& dependency : s.dependsOn)
            for (const auto& entry : scenario.services)
                bCanRun = bCanRun && (entry.first != dependency || entry.second.dwState == SERVICE_RUNNING);
        const DWORD kSome[] = { SERVICE_RUNNING, SERVICE_RUNNING, SERVICE_RUNNING, SERVICE_STOPPED,
                                SERVICE_START_PENDING, SERVICE_STOP_PENDING };
        s.dwState = !bCanRun ? SERVICE_STOPPED : i == 0 ? SERVICE_STOPPED + random.Next(4) : kSome[random.Next(6)];
        Time left = RandomTime(random), start = RandomTime(random), stop = RandomTime(random);
        if (s.dwState == SERVICE_START_PENDING || s.dwState == SERVICE_STOP_PENDING)
            s.nPendingQueries = left.nQueries, s.dwPendingMs = left.dwMs;
        s.nStartQueries = start.nQueries, s.dwStartMs = start.dwMs;
        s.nStopQueries = stop.nQueries, s.dwStopMs = stop.dwMs;
        s.bDisabled = random.Chance(5);
        s.dwStartError = random.Chance(8) ? (random.Chance(50) ? ERROR_SERVICE_REQUEST_TIMEOUT : ERROR_SERVICE_LOGON_FAILED) : 0;
        if (random.Chance(10)) {
            s.stopAnswer = random.Chance(40) ? ScriptedPlatform::STOP_NOT_ACCEPTED : ScriptedPlatform::STOP_UNANSWERED;
            s.bStopsAfterAll = random.Chance(50);
        }
        s.dwExitCode = random.Chance(3) ? ERROR_PROCESS_ABORTED : 0;
        scenario.services.push_back({ kNames[i], s });
    }
    if (random.Chance(5))
        scenario.meanwhile.push_back(scenario.services[random.Next((unsigned)scenario.services.size())].first);
    return scenario;
}

// ---- A run of the wizard on a scenario

struct ProgramEnded {
    UINT nExitCode;
};
struct Runaway {};

struct Box {
    std::string text;
    std::string caption;
    UINT type;
};

struct Run {
    const Scenario* pScenario;
    ScriptedPlatform* pPlatform;
    std::vector<Box> boxes;
    bool bEnded = false;
    BOOL bResult = FALSE;
    int nCopies = 0;
    bool bCopiedWhileRunning = false;
    DWORD dwSpoolerAfterCall = 0;
    std::map<std::string, int> startsByOthers;
    ULONGLONG qwOthersMs = 0;
};

Run* g_pRun = NULL;
const ULONGLONG kRunawayMs = 3600 * 1000;

void ScriptedPause(DWORD dwMilliseconds)
{
    g_pRun->pPlatform->Elapse(dwMilliseconds);
    if (g_pRun->pPlatform->clockMs > kRunawayMs)
        throw Runaway();
}

// Another party starts services through the manager, at the one moment the scenario allows.
void Meanwhile()
{
    ScriptedPlatform& platform = *g_pRun->pPlatform;
    ULONGLONG qwBefore = platform.clockMs;
    for (const std::string& name : g_pRun->pScenario->meanwhile) {
        int nBefore = platform.ServiceNamed(name).nStartedByCall;
        SC_HANDLE hService = platform.OpenServiceA(NULL, name.c_str(), SERVICE_ALL_ACCESS);
        platform.StartServiceA(hService);
        platform.CloseServiceHandle(hService);
        g_pRun->startsByOthers[name] += platform.ServiceNamed(name).nStartedByCall - nBefore;
    }
    g_pRun->qwOthersMs += platform.clockMs - qwBefore;
}

int WINAPI ScriptedBox(HWND, LPCSTR pszText, LPCSTR pszCaption, UINT uType)
{
    g_pRun->boxes.push_back(Box{ pszText, pszCaption, uType });
    if ((uType & MB_TYPEMASK) != MB_YESNO)
        return IDOK;
    Meanwhile();
    return g_pRun->pScenario->flow == "ensure-no" ? IDNO : IDYES;
}

int WINAPI ScriptedCopy(LPSHFILEOPSTRUCTA pOperation)
{
    ++g_pRun->nCopies;
    g_pRun->bCopiedWhileRunning |= g_pRun->pPlatform->ServiceNamed("Spooler").dwState != SERVICE_STOPPED;
    Meanwhile();
    pOperation->fAnyOperationsAborted = g_pRun->pScenario->copy == "cancelled";
    return g_pRun->pScenario->copy == "failed" ? ERROR_ACCESS_DENIED : 0;
}

void ScriptedEnd(UINT nExitCode)
{
    throw ProgramEnded{ nExitCode };
}

const char kMonitorFiles[] = "ZADAZARE.DLL\0ZADAZARE.HLP\0";

void RunScenario(const Scenario& scenario, ScriptedPlatform& platform, Run& run)
{
    run.pScenario = &scenario;
    run.pPlatform = &platform;
    for (const auto& entry : scenario.services)
        platform.services[entry.first] = entry.second;
    for (const auto& failure : scenario.failures)
        platform.Fail(failure.first, failure.second);
    g_pRun = &run;
    PauseFunction pfnPause = SetPauseFunction(&ScriptedPause);
    MessageBoxFunction pfnBox = SetMessageBoxFunction(&ScriptedBox);
    ShellFileOperation pfnCopy = SetShellFileOperation(&ScriptedCopy);
    ProgramEndFunction pfnEnd = SetProgramEndFunction(&ScriptedEnd);
    try {
        run.bResult = scenario.flow == "upgrade" ? ReplaceMonitorFiles(NULL, kMonitorFiles) : EnsureSpoolerRunning(NULL);
    } catch (const ProgramEnded& ended) {
        run.bEnded = ended.nExitCode == 0;
    } catch (const Runaway&) {
        run.boxes.push_back(Box{ "(no end within an hour of scripted time)", "", 0 });
    }
    run.dwSpoolerAfterCall = platform.ServiceNamed("Spooler").dwState;
    SetPauseFunction(pfnPause);
    SetMessageBoxFunction(pfnBox);
    SetShellFileOperation(pfnCopy);
    SetProgramEndFunction(pfnEnd);
    g_pRun = NULL;
}

// ---- The invariant

// The box's kind, and the services named in a 2048 warning; -1 for a box of no known form.
int Kind(const Box& box, std::vector<std::string>& names)
{
    static std::map<DWORD, std::string> systemTexts;
    if (box.text == kStartQuestion)
        return box.type == (MB_YESNO | MB_ICONQUESTION) && box.caption == kCaption ? QUESTION : -1;
    for (int kind = START_FAILED; kind <= NOT_RESTARTED; ++kind) {
        UINT uType = MB_OK | (kind == NOT_RESTARTED ? MB_ICONEXCLAMATION : MB_ICONERROR);
        for (DWORD dwError : kKnownErrors) {
            std::string& system = systemTexts[dwError];
            if (system.empty())
                system = harness::SystemErrorText(dwError);
            std::string text = kPrefixes[kind] + system;
            if (box.text.compare(0, text.size(), text) != 0 || box.type != uType || box.caption != kCaption)
                continue;
            names = Split(box.text.substr(text.size()), '\n');
            for (std::string& name : names)
                name = name.substr(0, name.find('\r'));
            if (kind == NOT_RESTARTED ? !names.empty() : names.empty())
                return kind;
        }
    }
    return -1;
}

bool Pending(const Service& s)
{
    return s.dwState == SERVICE_START_PENDING || s.dwState == SERVICE_STOP_PENDING;
}

// What gives the wizard cause to fail: a time beyond its bounds, a refusal, a failed start.
bool Long(int nQueries, DWORD dwMs)
{
    return nQueries == ScriptedPlatform::kForever || dwMs > 50000;
}
bool StopTrouble(const Service& s)
{
    return s.stopAnswer != ScriptedPlatform::STOP_TAKEN || Long(s.nStopQueries, s.dwStopMs) || s.dwExitCode ||
           (Pending(s) && Long(s.nPendingQueries, s.dwPendingMs));
}
bool StartTrouble(const Service& s)
{
    return s.bDisabled || s.dwStartError || Long(s.nStartQueries, s.dwStartMs) ||
           (Pending(s) && Long(s.nPendingQueries, s.dwPendingMs));
}
// The service is the other one, or depends on it, directly or not.
bool DependsOn(const Scenario& scenario, const std::string& name, const std::string& other)
{
    if (name == other)
        return true;
    for (const auto& entry : scenario.services)
        if (entry.first == name)
            for (const std::string& dependency : entry.second.dependsOn)
                if (DependsOn(scenario, dependency, other))
                    return true;
    return false;
}

// The service or any it depends on, directly or not, is troubled.
bool Troubled(const Scenario& scenario, const std::string& name, bool (*trouble)(const Service&))
{
    for (const auto& entry : scenario.services) {
        if (entry.first != name)
            continue;
        if (trouble(entry.second))
            return true;
        for (const std::string& dependency : entry.second.dependsOn)
            if (Troubled(scenario, dependency, trouble))
                return true;
    }
    return false;
}

std::vector<std::string> Violations(const Scenario& scenario, ScriptedPlatform& platform, const Run& run)
{
    std::vector<std::string> wrong;
    auto check = [&](bool bHolds, const std::string& what) {
        if (!bHolds)
            wrong.push_back(what);
    };
    bool bUpgrade = scenario.flow == "upgrade";
    const Service& spoolerBefore = scenario.services[0].second;
    bool bInjected = !scenario.failures.empty();

    DWORD nDependents = 0;
    for (const auto& entry : scenario.services)
        nDependents += entry.first != "Spooler" && entry.second.dwState != SERVICE_STOPPED &&
                       DependsOn(scenario, entry.first, "Spooler");
    ULONGLONG qwBound = bUpgrade ? SpoolerUpgradeLimitMs(nDependents) : SPOOLER_START_LIMIT_MS;
    check(platform.clockMs - run.qwOthersMs <= qwBound,
          "bounded: ran " + std::to_string(platform.clockMs) + " ms of scripted time, over " + std::to_string(qwBound));
    check(platform.OpenServiceHandles() == 0, "a service handle is left open");

    std::vector<std::string> named;
    bool bSpoolerNamed = false;
    int nLastKind = -1, nQuestions = 0, nStopFailed = 0, nStartFailed = 0;
    for (const Box& box : run.boxes) {
        std::vector<std::string> names;
        nLastKind = Kind(box, names);
        check(nLastKind >= 0 && (nLastKind == QUESTION || nLastKind == NOT_RESTARTED ||
                                 nLastKind == (bUpgrade ? STOP_FAILED : START_FAILED) || (bUpgrade && nLastKind == RESTART_FAILED)),
              "a box of no known form: \"" + box.text + "\"");
        named.insert(named.end(), names.begin(), names.end());
        // "Unable to stop spooler" tells the user that it still runs: it names a spooler
        // that does not run afterwards no more than silence would.
        bSpoolerNamed = bSpoolerNamed || nLastKind == RESTART_FAILED || nLastKind == START_FAILED;
        nQuestions += nLastKind == QUESTION;
        nStopFailed += nLastKind == STOP_FAILED;
        nStartFailed += nLastKind == START_FAILED;
    }
    for (const std::string& name : named) {
        bSpoolerNamed = bSpoolerNamed || name == "Spooler";
        check(bInjected || Troubled(scenario, name, StartTrouble) || Troubled(scenario, name, StopTrouble),
              "named without a cause: " + name);
    }
    // A refused stop has a cause in the spooler or a dependent that was active; a refused
    // start, in the spooler.
    bool bStopCause = bInjected || spoolerBefore.dwState != SERVICE_RUNNING;
    for (const auto& entry : scenario.services)
        bStopCause = bStopCause || (entry.second.dwState != SERVICE_STOPPED && StopTrouble(entry.second) &&
                                    DependsOn(scenario, entry.first, "Spooler"));
    check(nStopFailed == 0 || bStopCause, "the stop refused without a cause");
    check(nStartFailed == 0 || bInjected || StartTrouble(spoolerBefore), "the start refused without a cause");
    check(nLastKind != RESTART_FAILED || StartTrouble(spoolerBefore), "the restart refused without a cause");

    // The program ends only where the user said No or after 2047.
    if (bUpgrade)
        check(run.bEnded == (nLastKind == RESTART_FAILED), "the program ends if and only if 2047 was shown last");
    else
        check(run.bEnded == (scenario.flow == "ensure-no" && nQuestions == 1), "the program ends only on the answer No");
    if (!bUpgrade && !bInjected)
        check(nQuestions == (spoolerBefore.dwState != SERVICE_RUNNING), "the question comes when the spooler does not run");
    if (!bUpgrade && run.bResult)
        check(run.dwSpoolerAfterCall == SERVICE_RUNNING, "a running spooler: TRUE, but the spooler is " +
                                                             std::string(kStates[run.dwSpoolerAfterCall]));
    if (!bUpgrade && !run.bResult && !run.bEnded && !bInjected)
        check(nStartFailed == 1, "a spooler that is not made to run is said so (2041)");
    if (bUpgrade) {
        check(!run.bCopiedWhileRunning, "the monitor's files copied while the spooler was not stopped");
        check(!run.bResult || (run.nCopies > 0 && scenario.copy == "ok"), "the upgrade counts as done, but its files were not copied");
        check(run.bResult || run.bEnded || nStopFailed == 1 || scenario.copy != "ok", "the upgrade failed without a word");
    }

    // Pending states that end are let end; then what ran runs, or the user was told.
    for (int i = 0; i < 1000; ++i) {
        bool bEnding = false;
        for (const auto& entry : platform.services)
            bEnding = bEnding || (Pending(entry.second) &&
                                  (entry.second.nPendingQueries != ScriptedPlatform::kForever || entry.second.qwPendingEnd));
        if (!bEnding)
            break;
        platform.Elapse(1000);
    }
    for (const auto& entry : scenario.services) {
        const std::string& name = entry.first;
        const Service& before = entry.second;
        const Service& after = platform.ServiceNamed(name);
        bool bNamed = name == "Spooler" ? bSpoolerNamed : std::find(named.begin(), named.end(), name) != named.end();
        bool bRan = before.dwState == SERVICE_RUNNING || before.dwState == SERVICE_START_PENDING;
        bool bStillStarting = before.dwState == SERVICE_START_PENDING && after.dwState == SERVICE_START_PENDING;
        check(!bRan || after.dwState == SERVICE_RUNNING || bStillStarting || bNamed,
              "nothing left stopped unnamed: " + name + " ran before and is " + kStates[after.dwState] + " after");
        bool bAsked = name == "Spooler" && scenario.flow == "ensure-yes" && nQuestions == 1;
        int nStarts = after.nStartedByCall - (run.startsByOthers.count(name) ? run.startsByOthers.at(name) : 0);
        check(bRan || bAsked || nStarts == 0, "nothing started unasked: " + name + " was " + kStates[before.dwState] +
                                                  " before and was started by the wizard");
    }
    return wrong;
}

std::string Described(const Scenario& scenario, const ScriptedPlatform& platform, const Run& run,
                      const std::vector<std::string>& wrong)
{
    std::string text = "scenario: " + Text(scenario) + "\nresult: " + (run.bEnded ? "program ended" : run.bResult ? "TRUE" : "FALSE") +
                       ", " + std::to_string(platform.clockMs) + " ms of scripted time\n";
    for (const Box& box : run.boxes)
        text += "box: \"" + box.text + "\"\n";
    for (const std::string& call : platform.calls) {
        if (call.compare(0, 15, "ControlService ") == 0 || call.compare(0, 14, "StartServiceA ") == 0)
            text += "call: " + call + "\n";
    }
    for (const std::string& violation : wrong)
        text += "fails: " + violation + "\n";
    return text;
}

// The targets of the calls to one operation, one word each: "A A B Spooler".
std::string Targets(const ScriptedPlatform& platform, const std::string& operation)
{
    std::string targets;
    for (const std::string& arguments : platform.CallsTo(operation))
        targets += (targets.empty() ? "" : " ") + arguments.substr(0, arguments.find(' '));
    return targets;
}

// What a fixed case expects beyond the invariant: the result (TRUE, FALSE, ended), the boxes
// as "2040 2046:5 2048:1068:C,B,A" (string, error, names), the services that were sent a stop
// and those started, in order ("A B+" for A once and B two to 29 times in a row, "Spooler*30"
// thirty times), and at least this much scripted time.
struct Fixed {
    std::string scenario;
    const char* pszResult;
    const char* pszBoxes;
    const char* pszStops;
    const char* pszStarts;
    ULONGLONG qwAtLeastMs;
};

std::string ExpectedBoxes(const std::string& spec)
{
    std::string texts;
    for (const std::string& box : Split(spec, ' ')) {
        std::vector<std::string> fields = Split(box, ':');
        int nKind = 0;
        while (kPrefixIDs[nKind] != atoi(fields[0].c_str()))
            ++nKind;
        std::string text = nKind == QUESTION ? kStartQuestion : kPrefixes[nKind] + harness::SystemErrorText(atol(fields[1].c_str()));
        if (fields.size() > 2)
            for (const std::string& name : Split(fields[2], ','))
                text += (text.back() == '\n' ? "" : "\r\n") + name;
        texts += text + "|";
    }
    return texts;
}

std::string CollapsedStops(const ScriptedPlatform& platform)
{
    std::vector<std::string> targets = Split(Targets(platform, "ControlService"), ' ');
    std::string collapsed;
    for (size_t i = 0; i < targets.size();) {
        size_t j = i;
        while (j < targets.size() && targets[j] == targets[i])
            ++j;
        collapsed += (collapsed.empty() ? "" : " ") + targets[i] +
                     (j - i >= 30 ? "*" + std::to_string(j - i) : j - i > 1 ? "+" : "");
        i = j;
    }
    return collapsed;
}

} // namespace

TEST_CASE("service scenarios keep the invariant: fixed cases")
{
    const char* const kThreeOnSpooler = "; A<Spooler running start=3q stop=3q; B<Spooler running start=3q stop=3q; "
                                        "C<Spooler running start=3q stop=3q";
    const std::string three = kThreeOnSpooler;
    const std::string slowSpooler = "; Spooler running start=3q stop=3q";
    const Fixed fixed[] = {
        // The spooler check.
        { "ensure-yes; Spooler running", "TRUE", "", NULL, "", 0 },
        { "ensure-yes; Spooler stopped start=3q", "TRUE", "2040", NULL, "Spooler", SERVICE_POLL_MS },
        { "ensure-yes meanwhile=Spooler; Spooler stopped", "TRUE", "2040", NULL, NULL, 0 },
        { "ensure-yes; Spooler stopped disabled", "FALSE", "2040 2041:1058", NULL, "Spooler", 0 },
        { "ensure-yes; Spooler stopped start=forever", "FALSE", "2040 2041:1053", NULL, NULL, SERVICE_WAIT_LIMIT_MS },
        { "ensure-yes fail=OpenSCManagerA:5; Spooler stopped", "FALSE", "", NULL, "", 0 },
        { "ensure-yes fail=OpenServiceA/Spooler/983551:1060; Spooler stopped", "FALSE", "", NULL, "", 0 },
        { "ensure-yes fail=QueryServiceStatus:5; Spooler stopped", "FALSE", "", NULL, "", 0 },
        { "ensure-no; Spooler stopped", "ended", "2040", NULL, "", 0 },
        // A spooler still stopping, or still starting, answered the start with 1056 and was
        // taken to run.
        { "ensure-yes; Spooler stop-pending left=200ms stop=5q", "TRUE", "2040", NULL, "Spooler Spooler", 0 },
        { "ensure-yes; Spooler start-pending left=3300ms stop=forever; A<Spooler stopped", "TRUE", "2040", NULL,
          "Spooler", 0 },

        // The upgrade: dependents stop first to last, each before the next, and restart last to first.
        { "upgrade; Spooler running", "TRUE", "", "Spooler", "Spooler", 0 },
        { "upgrade; Spooler running; Fax<Spooler running", "TRUE", "", "Fax Spooler", "Spooler Fax", 0 },
        { "upgrade" + slowSpooler + three, "TRUE", "", "A B C Spooler+", "Spooler C B A", 0 },
        // A stop refused half-way puts back what it stopped, and says why.
        { "upgrade fail=ControlService/Spooler/1:5; Spooler running; Fax<Spooler running", "FALSE", "2046:5",
          "Fax Spooler", "Fax", 0 },
        { "upgrade" + slowSpooler + three + " stop-refused", "FALSE", "2046:1052", "A B C", "B A", 0 },
        { "upgrade fail=ControlService/Spooler/1:1051" + slowSpooler + three, "FALSE", "2046:1051",
          "A B C Spooler*30", "C B A", 29 * SPOOLER_STOP_RETRY_MS },
        { "upgrade; Spooler running start=3q stop=3q exit=1067" + three, "FALSE", "2046:1067", NULL,
          "Spooler Spooler C B A", 0 },
        { "upgrade; Spooler running start=3q stop=forever" + three, "FALSE",
          "2048:1053:Spooler,C,B,A 2046:1053", NULL, NULL, SPOOLER_STOP_POLLS * SPOOLER_STOP_POLL_MS + SERVICE_WAIT_LIMIT_MS },
        // A restart starts every dependent it can, and names the others once.
        { "upgrade" + slowSpooler + three + " disabled", "TRUE", "2048:1058:C", NULL, "Spooler C B A", 0 },
        { "upgrade meanwhile=B" + slowSpooler + three, "TRUE", "", NULL, "B Spooler C B A", 0 },
        { "upgrade meanwhile=Spooler" + slowSpooler + three, "TRUE", "", NULL, "Spooler Spooler C B A", 0 },
        { "upgrade; Spooler running start=forever stop=3q" + three, "ended", "2048:1068:C,B,A 2047:1053", NULL,
          "Spooler C B A", 0 },
        // A spooler that will not start again: its dependents were left unnamed.
        { "upgrade; Spooler running stop=2q disabled; A<Spooler running start=3q stop=4q", "ended",
          "2048:1068:A 2047:1058", NULL, "Spooler", 0 },
        { "upgrade; Spooler running start-fails=1069; A<Spooler running start=5q; B<A stopped stop=89000ms disabled "
          "start-fails=1053; C<A stopped start=4600ms stop=2q",
          "ended", "2048:1068:A 2047:1069", NULL, NULL, 0 },
        // A chain: A was stopped while B, which depends on it, was still stopping.
        { "upgrade copy=failed; Spooler running start=4000ms stop=5q/3200ms; A<Spooler running; B<A running "
          "stop=2q/2300ms",
          "FALSE", "", "B A Spooler+", "Spooler A B", 0 },
        // A spooler that stops after all after a stop it did not answer in time.
        { "upgrade; Spooler running start=500ms stop-unanswered-then-stops", "FALSE", "2046:1053", NULL, NULL, 0 },
        // A dependent already stopping, or still starting, refused the stop with 1061.
        { "upgrade; Spooler running start=4600ms; A<Spooler running start=4q stop=4q; B<A stop-pending left=0 start=4q",
          "TRUE", "", "B A Spooler", "Spooler A", 0 },
        { "upgrade; Spooler running; A<Spooler start-pending left=2300ms start=forever stop=4q; B<Spooler running "
          "start=forever",
          NULL, NULL, NULL, NULL, 0 },
        // A failed copy counted as an upgrade done.
        { "upgrade copy=failed; Spooler running start=5q/1200ms stop=300ms; A<Spooler running stop=1100ms; B<Spooler "
          "running start=3q/3100ms stop=3q/1300ms",
          "FALSE", "", NULL, NULL, 0 },
        // A dependent that stops after all after a stop it did not answer in time.
        { "upgrade; Spooler running stop=1700ms; A<Spooler running start=176000ms stop=forever disabled "
          "stop-unanswered-then-stops",
          NULL, NULL, NULL, NULL, 0 },
    };
    for (const Fixed& f : fixed) {
        Scenario scenario = Read(f.scenario);
        REQUIRE(Text(scenario) == f.scenario);
        ScriptedPlatform platform;
        Run run;
        RunScenario(scenario, platform, run);
        std::vector<std::string> wrong = Violations(scenario, platform, run);
        std::string result = run.bEnded ? "ended" : run.bResult ? "TRUE" : "FALSE";
        if (f.pszResult != NULL && result != f.pszResult)
            wrong.push_back("the result is not " + std::string(f.pszResult));
        std::string boxes;
        for (const Box& box : run.boxes)
            boxes += box.text + "|";
        if (f.pszBoxes != NULL && boxes != ExpectedBoxes(f.pszBoxes))
            wrong.push_back("the boxes are not " + std::string(f.pszBoxes));
        if (f.pszStops != NULL && CollapsedStops(platform) != f.pszStops)
            wrong.push_back("the stops are not " + std::string(f.pszStops));
        if (f.pszStarts != NULL && Targets(platform, "StartServiceA") != f.pszStarts)
            wrong.push_back("the starts are not " + std::string(f.pszStarts));
        if (platform.clockMs < f.qwAtLeastMs)
            wrong.push_back("it waited less than " + std::to_string(f.qwAtLeastMs) + " ms");
        CHECK_MESSAGE(wrong.empty(), Described(scenario, platform, run, wrong));
    }
}

TEST_CASE("service scenarios keep the invariant: generated")
{
    const char* pszSeed = getenv("WIZARD_SCENARIO_SEED");
    const char* pszCount = getenv("WIZARD_SCENARIO_COUNT");
    unsigned long long seed = pszSeed ? strtoull(pszSeed, NULL, 10) : ::GetTickCount();
    unsigned nCount = pszCount ? (unsigned)atoi(pszCount) : 10000;
    ULONGLONG qwLongest = 0;
    std::string longest;
    // Each kind of violation is shown once, with the first scenario that showed it.
    std::map<std::string, unsigned> failures;
    DWORD dwStart = ::GetTickCount();
    for (unsigned i = 0; i < nCount; ++i) {
        Scenario scenario = Generate(seed + i);
        ScriptedPlatform platform;
        Run run;
        RunScenario(scenario, platform, run);
        if (platform.clockMs - run.qwOthersMs > qwLongest) {
            qwLongest = platform.clockMs - run.qwOthersMs;
            longest = Text(scenario);
        }
        std::vector<std::string> wrong = Violations(scenario, platform, run);
        for (const std::string& violation : wrong) {
            if (failures[violation.substr(0, violation.find(':'))]++ == 0)
                FAIL_CHECK("seed " << seed + i << "\n" << Described(scenario, platform, run, wrong));
        }
    }
    for (const auto& failure : failures)
        MESSAGE(failure.second << " scenarios fail: " << failure.first);
    MESSAGE("seed " << seed << ": " << nCount << " scenarios in " << ::GetTickCount() - dwStart
                    << " ms; the longest scripted wait " << qwLongest << " ms, in " << longest);
}

TEST_CHILD(decline_spooler_start)
{
    ScriptedPlatform platform;
    harness::MessageBoxRecorder boxes;
    platform.ServiceNamed("Spooler").dwState = SERVICE_STOPPED;
    boxes.Answer(IDNO);
    EnsureSpoolerRunning(NULL);
    return 7;  // not reached: the program ends with exit code 0
}

TEST_CASE("declining to start the spooler ends the program with exit code 0")
{
    CHECK(harness::RunChildProcess("decline_spooler_start") == 0);
}
