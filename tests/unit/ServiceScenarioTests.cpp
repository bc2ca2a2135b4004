// Generated service scenarios: the spooler in each of its states with up to four dependents in
// chains up to three deep, pending times beyond the wizard's bounds, refusals and failed starts
// anywhere; on each, the upgrade's stop, copy and restart, or the spooler check answered Yes or
// No, and one invariant checked afterwards. A scenario reads and prints as one line:
//
//   upgrade copy=failed; Spooler running stop=3q; A<Spooler running stop=forever; B<A stopped
//
// The flow (upgrade, ensure-yes, ensure-no) with copy=failed, cancelled or too-long, meanwhile=NAME
// (another party starts it, at the copy or at the question) and fail=CALL:ERROR (a platform
// call fails, "/" for its blanks); then each service: its name, what it depends on after "<",
// its state, left= (a pending state's time left), start=, stop= (times: 0, 3q for queries,
// 2500ms, 3q/2500ms, forever), disabled, start-fails=ERROR, stop-refused (1052),
// stop-unanswered (1053), stop-unanswered-then-stops, exit=ERROR.
#include <doctest.h>
#include "base/Messages.h"
#include "base/ProgramEnd.h"
#include "base/ShellCopy.h"
#include "monitor/MonitorInstall.h"
#include "monitor/SpoolerService.h"
#include "tests/harness/Files.h"
#include "tests/harness/MessageBoxes.h"
#include "tests/harness/ScriptedPlatform.h"
#include "tests/harness/Texts.h"
#include <stdlib.h>
#include <algorithm>
#include <map>
#include <sstream>
#include <string>
#include <vector>

using harness::kCaption;
using harness::kStartSpooler;
using harness::ScriptedPlatform;
typedef ScriptedPlatform::Service Service;

namespace {

const int kForever = ScriptedPlatform::kForever;
enum Kind { START_FAILED, STOP_FAILED, RESTART_FAILED, NOT_RESTARTED, QUESTION, COPY_REFUSED, UNKNOWN };
const char* const* const kPrefixes = harness::kSpoolerPrefixes;
const int kStringIDs[] = { 2041, 2046, 2047, 2048, 2040, 2038 };
const DWORD kErrors[] = { 5, 1051, 1052, 1053, 1056, 1058, 1061, 1062, 1067, 1068, 1069, 8 };

// ---- Scenarios as text

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
    std::istringstream stream(text);
    for (std::string part; std::getline(stream, part, cSeparator);) {
        size_t nFirst = part.find_first_not_of(' ');
        if (nFirst != std::string::npos)
            parts.push_back(part.substr(nFirst, part.find_last_not_of(' ') - nFirst + 1));
    }
    return parts;
}

std::string Replaced(std::string text, char cOld, char cNew)
{
    std::replace(text.begin(), text.end(), cOld, cNew);
    return text;
}

std::string TimeText(int nQueries, DWORD dwMs)
{
    if (nQueries == kForever)
        return "forever";
    std::string text = nQueries ? std::to_string(nQueries) + "q" : "";
    return text + (nQueries && dwMs ? "/" : "") + (dwMs || !nQueries ? std::to_string(dwMs) + (dwMs ? "ms" : "") : "");
}

void ReadTime(const std::string& text, int& nQueries, DWORD& dwMs)
{
    size_t nQ = text.find('q');
    nQueries = text == "forever" ? kForever : nQ != std::string::npos ? atoi(text.c_str()) : 0;
    dwMs = text.find("ms") != std::string::npos ? atol(text.c_str() + (nQ != std::string::npos ? nQ + 2 : 0)) : 0;
}

std::string Text(const Scenario& scenario)
{
    std::string text = scenario.flow + (scenario.copy != "ok" ? " copy=" + scenario.copy : "");
    for (const std::string& name : scenario.meanwhile)
        text += " meanwhile=" + name;
    for (const auto& failure : scenario.failures)
        text += " fail=" + Replaced(failure.first, ' ', '/') + ":" + std::to_string(failure.second);
    for (const auto& entry : scenario.services) {
        const Service& s = entry.second;
        text += "; " + entry.first;
        for (size_t i = 0; i < s.dependsOn.size(); ++i)
            text += (i == 0 ? "<" : ",") + s.dependsOn[i];
        text += std::string(" ") + ScriptedPlatform::kStateNames[s.dwState];
        if (s.dwState == SERVICE_START_PENDING || s.dwState == SERVICE_STOP_PENDING)
            text += " left=" + TimeText(s.nPendingQueries, s.dwPendingMs);
        if (s.nStartQueries || s.dwStartMs)
            text += " start=" + TimeText(s.nStartQueries, s.dwStartMs);
        if (s.nStopQueries || s.dwStopMs)
            text += " stop=" + TimeText(s.nStopQueries, s.dwStopMs);
        text += s.bDisabled ? " disabled" : "";
        text += s.dwStartError ? " start-fails=" + std::to_string(s.dwStartError) : "";
        if (s.stopAnswer != ScriptedPlatform::STOP_TAKEN)
            text += s.stopAnswer == ScriptedPlatform::STOP_NOT_ACCEPTED ? " stop-refused"
                    : s.bStopsAfterAll                                   ? " stop-unanswered-then-stops"
                                                                         : " stop-unanswered";
        text += s.dwExitCode ? " exit=" + std::to_string(s.dwExitCode) : "";
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
        else if (word.compare(0, 5, "fail=") == 0)
            scenario.failures.push_back({ Replaced(value.substr(0, value.rfind(':')), '/', ' '),
                                          (DWORD)atol(value.c_str() + value.rfind(':') + 1) });
        else
            scenario.flow = word;
    }
    for (size_t i = 1; i < parts.size(); ++i) {
        std::vector<std::string> words = Split(parts[i], ' ');
        Service s;
        size_t nLess = words[0].find('<');
        if (nLess != std::string::npos)
            s.dependsOn = Split(words[0].substr(nLess + 1), ',');
        const char* const* kStates = ScriptedPlatform::kStateNames;
        s.dwState = (DWORD)(std::find(kStates, kStates + 5, words[1]) - kStates);
        for (size_t j = 2; j < words.size(); ++j) {
            const std::string& w = words[j];
            std::string value = w.substr(w.find('=') + 1);
            if (w.compare(0, 5, "left=") == 0)
                ReadTime(value, s.nPendingQueries, s.dwPendingMs);
            else if (w.compare(0, 6, "start=") == 0)
                ReadTime(value, s.nStartQueries, s.dwStartMs);
            else if (w.compare(0, 5, "stop=") == 0)
                ReadTime(value, s.nStopQueries, s.dwStopMs);
            else if (w.compare(0, 12, "start-fails=") == 0)
                s.dwStartError = atol(value.c_str());
            else if (w.compare(0, 5, "exit=") == 0)
                s.dwExitCode = atol(value.c_str());
            else if (w.compare(0, 4, "stop") == 0)
                s.stopAnswer = w == "stop-refused" ? ScriptedPlatform::STOP_NOT_ACCEPTED : ScriptedPlatform::STOP_UNANSWERED,
                s.bStopsAfterAll = w == "stop-unanswered-then-stops";
            else
                s.bDisabled = w == "disabled";
        }
        scenario.services.push_back({ words[0].substr(0, nLess), s });
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
    void Time(int& nQueries, DWORD& dwMs)
    {
        unsigned nKind = Next(10);
        nQueries = nKind == 9 ? kForever : nKind == 3 || nKind == 4 || nKind == 7 ? (int)Next(6) + 1 : 0;
        dwMs = nKind == 5 || nKind == 6 || nKind == 7 ? 200 + 100 * Next(50)
               : nKind == 8                          ? 61000 + 1000 * Next(140)  // past any wait of the wizard
                                                     : 0;
    }
};

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
    unsigned nServices = 2 + random.Next(5);
    for (unsigned i = 0; i < nServices; ++i) {
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
        const DWORD kSome[] = { 4, 4, 4, 1, 2, 3 };
        s.dwState = !bCanRun ? SERVICE_STOPPED : i == 0 ? SERVICE_STOPPED + random.Next(4) : kSome[random.Next(6)];
        random.Time(s.nPendingQueries, s.dwPendingMs);
        if (s.dwState != SERVICE_START_PENDING && s.dwState != SERVICE_STOP_PENDING)
            s.nPendingQueries = 0, s.dwPendingMs = 0;
        random.Time(s.nStartQueries, s.dwStartMs);
        random.Time(s.nStopQueries, s.dwStopMs);
        s.bDisabled = random.Chance(5);
        s.dwStartError = random.Chance(8) ? (random.Chance(50) ? ERROR_SERVICE_REQUEST_TIMEOUT : ERROR_SERVICE_LOGON_FAILED) : 0;
        if (random.Chance(10)) {
            s.stopAnswer = random.Chance(40) ? ScriptedPlatform::STOP_NOT_ACCEPTED : ScriptedPlatform::STOP_UNANSWERED;
            bool bAfterAll = random.Chance(50);
            s.bStopsAfterAll = s.stopAnswer == ScriptedPlatform::STOP_UNANSWERED && bAfterAll;
        }
        s.dwExitCode = random.Chance(3) ? ERROR_PROCESS_ABORTED : 0;
        scenario.services.push_back({ kNames[i], s });
    }
    if (random.Chance(5))
        scenario.meanwhile.push_back(scenario.services[random.Next((unsigned)scenario.services.size())].first);
    return scenario;
}

// ---- A run of the wizard on a scenario: its pauses, boxes, copy and program end scripted

struct ProgramEnded {};
struct Runaway {};

typedef harness::MessageBoxRecord Box;

struct Run {
    const Scenario* pScenario;
    ScriptedPlatform* pPlatform;
    std::vector<Box> boxes;
    std::string result;  // TRUE, FALSE, ended
    int nCopies = 0;
    bool bCopiedWhileRunning = false;
    bool bShellLoadedFirst = false;  // the shell's library loaded before the spooler was stopped
    DWORD dwSpoolerAtEnd = 0;
    std::map<std::string, int> startsByOthers;
    ULONGLONG qwOthersMs = 0;
    ULONGLONG WizardMs() const { return pPlatform->clockMs - qwOthersMs; }
};

Run* g_pRun = NULL;

void ScriptedPause(DWORD dwMilliseconds)
{
    g_pRun->pPlatform->Elapse(dwMilliseconds);
    if (g_pRun->pPlatform->clockMs > 3600 * 1000)
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
    g_pRun->boxes.push_back(Box{ pszText, pszCaption, uType, 0 });
    if ((uType & MB_TYPEMASK) != MB_YESNO)
        return IDOK;
    Meanwhile();
    return g_pRun->pScenario->flow == "ensure-no" ? IDNO : IDYES;
}

BOOL ScriptedLoad(LPCSTR)
{
    g_pRun->bShellLoadedFirst |= g_pRun->pPlatform->CallsTo("ControlService").empty();
    return TRUE;
}

int WINAPI ScriptedCopy(LPSHFILEOPSTRUCTA pOperation)
{
    ++g_pRun->nCopies;
    g_pRun->bCopiedWhileRunning |= g_pRun->pPlatform->ServiceNamed("Spooler").dwState != SERVICE_STOPPED;
    Meanwhile();
    pOperation->fAnyOperationsAborted = g_pRun->pScenario->copy == "cancelled";
    return g_pRun->pScenario->copy == "failed" ? ERROR_ACCESS_DENIED
           : g_pRun->pScenario->copy == "too-long" ? ERROR_FILENAME_EXCED_RANGE
                                                  : 0;
}

void ScriptedEnd(UINT nExitCode)
{
    if (nExitCode == 0)
        throw ProgramEnded();
}

void SetUp(ScriptedPlatform& platform, const Scenario& scenario)
{
    for (const auto& entry : scenario.services)
        platform.services[entry.first] = entry.second;
    for (const auto& failure : scenario.failures)
        platform.Fail(failure.first, failure.second);
}

void RunScenario(const Scenario& scenario, ScriptedPlatform& platform, Run& run)
{
    run.pScenario = &scenario;
    run.pPlatform = &platform;
    SetUp(platform, scenario);
    g_pRun = &run;
    PauseFunction pfnPause = SetPauseFunction(&ScriptedPause);
    MessageBoxFunction pfnBox = SetMessageBoxFunction(&ScriptedBox);
    ShellFileOperation pfnCopy = SetShellFileOperation(&ScriptedCopy);
    LibraryLoader pfnLoad = SetLibraryLoader(&ScriptedLoad);
    ProgramEndFunction pfnEnd = SetProgramEndFunction(&ScriptedEnd);
    try {
        // The upgrade takes its files from the current directory, which holds them.
        static struct Monitor : harness::TempDirectory {
            Monitor() : TempDirectory("scenario-monitor")
            {
                harness::WriteTextFile(path + "\\SCENARIO.DLL", "monitor");
                harness::WriteTextFile(path + "\\SCENARIO.HLP", "help");
            }
        } monitor;
        harness::InDirectory in(monitor.path);
        BOOL bResult = scenario.flow == "upgrade" ? ReplaceMonitorFiles(NULL, "SCENARIO.DLL\0SCENARIO.HLP\0")
                                                  : EnsureSpoolerRunning(NULL);
        run.result = bResult ? "TRUE" : "FALSE";
    } catch (const ProgramEnded&) {
        run.result = "ended";
    } catch (const Runaway&) {
        run.result = "no end within an hour of scripted time";
    }
    run.dwSpoolerAtEnd = platform.ServiceNamed("Spooler").dwState;
    SetPauseFunction(pfnPause);
    SetMessageBoxFunction(pfnBox);
    SetShellFileOperation(pfnCopy);
    SetLibraryLoader(pfnLoad);
    SetProgramEndFunction(pfnEnd);
    g_pRun = NULL;
}

// ---- The invariant

// The box's kind, and the services named in a 2048 warning; UNKNOWN for a box of no known form.
int KindOf(const Box& box, std::vector<std::string>& names)
{
    static std::map<DWORD, std::string> systemTexts;
    if (box.text == kStartSpooler)
        return box.type == (MB_YESNO | MB_ICONQUESTION) && box.caption == kCaption ? QUESTION : UNKNOWN;
    if (box.caption == harness::kErrorCaption)
        return box.type == (MB_OK | MB_ICONERROR) && box.text == harness::SystemErrorText(ERROR_FILENAME_EXCED_RANGE)
                   ? COPY_REFUSED
                   : UNKNOWN;
    for (int nKind = START_FAILED; nKind <= NOT_RESTARTED; ++nKind) {
        for (DWORD dwError : kErrors) {
            if (systemTexts[dwError].empty())
                systemTexts[dwError] = harness::SystemErrorText(dwError);
            std::string text = kPrefixes[nKind] + systemTexts[dwError];
            if (box.text.compare(0, text.size(), text) != 0 || box.caption != kCaption ||
                box.type != (MB_OK | (nKind == NOT_RESTARTED ? MB_ICONEXCLAMATION : MB_ICONERROR)))
                continue;
            names = Split(Replaced(box.text.substr(text.size()), '\r', '\n'), '\n');
            if ((nKind == NOT_RESTARTED) == !names.empty())
                return nKind;
        }
    }
    names.clear();
    return UNKNOWN;
}

bool Pending(const Service& s)
{
    return s.dwState == SERVICE_START_PENDING || s.dwState == SERVICE_STOP_PENDING;
}

// What gives the wizard cause to fail: a time beyond its bounds, a refusal, a failed start.
bool Long(int nQueries, DWORD dwMs)
{
    return nQueries == kForever || dwMs > 50000;
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

const Service& Named(const Scenario& scenario, const std::string& name)
{
    for (const auto& entry : scenario.services)
        if (entry.first == name)
            return entry.second;
    static const Service none;
    return none;
}

// The service is the other one, or depends on it, directly or not.
bool DependsOn(const Scenario& scenario, const std::string& name, const std::string& other)
{
    bool bDepends = name == other;
    for (const std::string& dependency : Named(scenario, name).dependsOn)
        bDepends = bDepends || DependsOn(scenario, dependency, other);
    return bDepends;
}

// The service or any it depends on, directly or not, is troubled.
bool Troubled(const Scenario& scenario, const std::string& name)
{
    bool bTroubled = StartTrouble(Named(scenario, name)) || StopTrouble(Named(scenario, name));
    for (const std::string& dependency : Named(scenario, name).dependsOn)
        bTroubled = bTroubled || Troubled(scenario, dependency);
    return bTroubled;
}

std::vector<std::string> Violations(const Scenario& scenario, ScriptedPlatform& platform, const Run& run)
{
    std::vector<std::string> wrong;
    auto check = [&](bool bHolds, const std::string& what) {
        if (!bHolds)
            wrong.push_back(what);
    };
    bool bUpgrade = scenario.flow == "upgrade";
    bool bInjected = !scenario.failures.empty();
    const Service& spooler = scenario.services[0].second;
    DWORD nDependents = 0;
    bool bStopCause = bInjected || spooler.dwState != SERVICE_RUNNING;
    for (const auto& entry : scenario.services) {
        bool bActiveDependent = entry.second.dwState != SERVICE_STOPPED && DependsOn(scenario, entry.first, "Spooler");
        nDependents += bActiveDependent && entry.first != "Spooler";
        bStopCause = bStopCause || (bActiveDependent && StopTrouble(entry.second));
    }
    ULONGLONG qwBound = bUpgrade ? SpoolerUpgradeLimitMs(nDependents) : SPOOLER_START_LIMIT_MS;
    check(run.WizardMs() <= qwBound, "bounded: took " + std::to_string(run.WizardMs()) + " ms, over " +
                                         std::to_string(qwBound));
    check(platform.OpenServiceHandles() == 0, "a service handle is left open");

    int nKind = UNKNOWN, nCounts[UNKNOWN + 1] = {};
    for (const Box& box : run.boxes) {
        std::vector<std::string> names;
        nKind = KindOf(box, names);
        check(nKind == QUESTION || nKind == NOT_RESTARTED || nKind == (bUpgrade ? STOP_FAILED : START_FAILED) ||
                  (bUpgrade && (nKind == RESTART_FAILED || nKind == COPY_REFUSED)),
              "a box of no known form: \"" + box.text + "\"");
        ++nCounts[nKind];
        for (const std::string& name : names)
            check(bInjected || Troubled(scenario, name) || Troubled(scenario, "Spooler"), "named without a cause: " + name);
    }
    if (bUpgrade) {
        check((run.result == "ended") == (nKind == RESTART_FAILED), "the program ends if and only if 2047 came last");
        check(!run.bCopiedWhileRunning, "the monitor's files copied while the spooler was not stopped");
        check(run.nCopies == 0 || run.bShellLoadedFirst, "the shell's library was not loaded before the stop");
        check(run.result != "TRUE" || (run.nCopies > 0 && scenario.copy == "ok"),
              "the upgrade counts as done, but its files were not copied");
        check(run.result != "FALSE" || nCounts[STOP_FAILED] || scenario.copy != "ok", "the upgrade failed without a word");
        check(nCounts[COPY_REFUSED] == (scenario.copy == "too-long" && run.nCopies > 0 && run.result != "ended"),
              "a copy refused for a path that would not fit is said, once, and nothing else is");
        check(!nCounts[STOP_FAILED] || bStopCause, "the stop refused without a cause");
        check(!nCounts[RESTART_FAILED] || StartTrouble(spooler), "the restart refused without a cause");
    } else {
        check((run.result == "ended") == (scenario.flow == "ensure-no" && nCounts[QUESTION] == 1),
              "the program ends only on the answer No");
        check(bInjected || nCounts[QUESTION] == (spooler.dwState != SERVICE_RUNNING),
              "the question comes when the spooler does not run");
        check(run.result != "TRUE" || run.dwSpoolerAtEnd == SERVICE_RUNNING,
              std::string("a running spooler: TRUE, but the spooler is ") +
                  ScriptedPlatform::kStateNames[run.dwSpoolerAtEnd]);
        check(run.result != "FALSE" || bInjected || nCounts[START_FAILED], "a spooler not made to run, without a word");
        check(!nCounts[START_FAILED] || bInjected || StartTrouble(spooler), "the start refused without a cause");
    }

    // Pending states that end are let end; then what ran runs, or the user was told, and
    // nothing else was started.
    std::vector<std::string> texts;
    for (const Box& box : run.boxes)
        texts.push_back(box.text);
    bool bAsked = scenario.flow == "ensure-yes" && nCounts[QUESTION] == 1;
    std::map<std::string, Service> before(scenario.services.begin(), scenario.services.end());
    for (const std::string& violation :
         platform.ServiceViolations(before, texts, bAsked ? "Spooler" : NULL, run.startsByOthers))
        wrong.push_back(violation);
    return wrong;
}

std::string Described(const Scenario& scenario, const Run& run, const std::vector<std::string>& wrong)
{
    std::string text = "scenario: " + Text(scenario) + "\nresult: " + run.result + ", " +
                       std::to_string(run.WizardMs()) + " ms of scripted time\n";
    for (const Box& box : run.boxes)
        text += "box: \"" + box.text + "\"\n";
    for (const std::string& call : run.pPlatform->calls)
        if (call.compare(0, 15, "ControlService ") == 0 || call.compare(0, 14, "StartServiceA ") == 0)
            text += "call: " + call + "\n";
    for (const std::string& violation : wrong)
        text += "fails: " + violation + "\n";
    return text;
}

// The services one operation was called for, in order: "A B+" for A once and B two to 29 times
// in a row, "Spooler*30" for thirty times.
std::string Targets(const ScriptedPlatform& platform, const std::string& operation)
{
    std::vector<std::string> targets;
    for (const std::string& arguments : platform.CallsTo(operation))
        targets.push_back(arguments.substr(0, arguments.find(' ')));
    std::string text;
    for (size_t i = 0, j = 0; i < targets.size(); i = j) {
        while (j < targets.size() && targets[j] == targets[i])
            ++j;
        text += (text.empty() ? "" : " ") + targets[i] + (j - i >= 30 ? "*" + std::to_string(j - i) : j - i > 1 ? "+" : "");
    }
    return text;
}

// The boxes of a fixed case, "2040 2046:5 2048:1068:C,B,A" (string, error, names), as texts.
std::string BoxTexts(const std::string& expected)
{
    std::string texts;
    for (const std::string& box : Split(expected, ' ')) {
        std::vector<std::string> fields = Split(box, ':');
        int nKind = (int)(std::find(kStringIDs, kStringIDs + UNKNOWN, atoi(fields[0].c_str())) - kStringIDs);
        std::string system = fields.size() > 1 ? harness::SystemErrorText(atol(fields[1].c_str())) : "";
        std::string text = nKind == QUESTION ? kStartSpooler : nKind == COPY_REFUSED ? system : kPrefixes[nKind] + system;
        for (const std::string& name : fields.size() > 2 ? Split(fields[2], ',') : std::vector<std::string>())
            text += (text.back() == '\n' ? "" : "\r\n") + name;
        texts += text + "|";
    }
    return texts;
}

// What a fixed case expects beyond the invariant; NULL: anything.
struct Fixed {
    std::string scenario;
    const char* pszResult;
    const char* pszBoxes;
    const char* pszStops;   // the services sent a stop
    const char* pszStarts;  // the services started
    ULONGLONG qwAtLeastMs;
};

} // namespace

TEST_CASE("service scenarios keep the invariant: fixed cases")
{
    const std::string three = "; A<Spooler running start=3q stop=3q; B<Spooler running start=3q stop=3q; "
                              "C<Spooler running start=3q stop=3q";
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
        { "ensure-yes; Spooler stop-pending left=200ms stop=5q", "TRUE", "2040", NULL, "Spooler+", 0 },
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
          "Spooler+ C B A", 0 },
        { "upgrade; Spooler running start=3q stop=forever" + three, "FALSE", "2048:1053:Spooler,C,B,A 2046:1053",
          NULL, NULL, SPOOLER_STOP_POLLS * SPOOLER_STOP_POLL_MS + SERVICE_WAIT_LIMIT_MS },
        // A restart starts every dependent it can, and names the others once.
        { "upgrade" + slowSpooler + three + " disabled", "TRUE", "2048:1058:C", NULL, "Spooler C B A", 0 },
        { "upgrade meanwhile=B" + slowSpooler + three, "TRUE", "", NULL, "B Spooler C B A", 0 },
        { "upgrade meanwhile=Spooler" + slowSpooler + three, "TRUE", "", NULL, "Spooler+ C B A", 0 },
        { "upgrade; Spooler running start=forever stop=3q" + three, "ended", "2048:1068:C,B,A 2047:1053", NULL,
          "Spooler C B A", 0 },
        // A spooler that will not start again left its dependents unnamed.
        { "upgrade; Spooler running stop=2q disabled; A<Spooler running start=3q stop=4q", "ended",
          "2048:1068:A 2047:1058", NULL, "Spooler", 0 },
        { "upgrade; Spooler running start-fails=1069; A<Spooler running start=5q; B<A stopped stop=89000ms disabled "
          "start-fails=1053; C<A stopped start=4600ms stop=2q",
          "ended", "2048:1068:A 2047:1069", NULL, NULL, 0 },
        // A chain: A was stopped while B, which depends on it, was still stopping (1051).
        { "upgrade copy=failed; Spooler running start=4000ms stop=5q/3200ms; A<Spooler running; B<A running "
          "stop=2q/2300ms",
          "FALSE", "", "B A Spooler+", "Spooler A B", 0 },
        // A spooler that stops after all after a stop it did not answer in time was left stopped.
        { "upgrade; Spooler running start=500ms stop-unanswered-then-stops", "FALSE", "2046:1053", NULL, NULL, 0 },
        // A dependent already stopping, or still starting, refused the stop with 1061.
        { "upgrade; Spooler running start=4600ms; A<Spooler running start=4q stop=4q; B<A stop-pending left=0 start=4q",
          "TRUE", "", "B A Spooler", "Spooler A", 0 },
        { "upgrade; Spooler running; A<Spooler start-pending left=2300ms start=forever stop=4q; B<Spooler running "
          "start=forever",
          NULL, NULL, NULL, NULL, 0 },
        { "upgrade copy=too-long; Spooler running; Fax<Spooler running", "FALSE", "2038:206", NULL, "Spooler Fax", 0 },
        // A failed copy counted as an upgrade done.
        { "upgrade copy=failed; Spooler running start=5q/1200ms stop=300ms; A<Spooler running stop=1100ms; B<Spooler "
          "running start=3q/3100ms stop=3q/1300ms",
          "FALSE", "", NULL, NULL, 0 },
        // A dependent that stops after all after a stop it did not answer in time was left stopped.
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
        std::string boxes;
        for (const Box& box : run.boxes)
            boxes += box.text + "|";
        if (f.pszResult != NULL && run.result != f.pszResult)
            wrong.push_back("the result is not " + std::string(f.pszResult));
        if (f.pszBoxes != NULL && boxes != BoxTexts(f.pszBoxes))
            wrong.push_back("the boxes are not " + std::string(f.pszBoxes));
        if (f.pszStops != NULL && Targets(platform, "ControlService") != f.pszStops)
            wrong.push_back("the stops are not " + std::string(f.pszStops));
        if (f.pszStarts != NULL && Targets(platform, "StartServiceA") != f.pszStarts)
            wrong.push_back("the starts are not " + std::string(f.pszStarts));
        if (platform.clockMs < f.qwAtLeastMs)
            wrong.push_back("it waited less than " + std::to_string(f.qwAtLeastMs) + " ms");
        CHECK_MESSAGE(wrong.empty(), Described(scenario, run, wrong));
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
        if (run.WizardMs() > qwLongest)
            qwLongest = run.WizardMs(), longest = Text(scenario);
        std::vector<std::string> wrong = Violations(scenario, platform, run);
        for (const std::string& violation : wrong)
            if (failures[violation.substr(0, violation.find(':'))]++ == 0)
                FAIL_CHECK("seed " << seed + i << "\n" << Described(scenario, run, wrong));
    }
    for (const auto& failure : failures)
        MESSAGE(failure.second << " scenarios fail: " << failure.first);
    MESSAGE("seed " << seed << ": " << nCount << " scenarios in " << ::GetTickCount() - dwStart
                    << " ms; the longest scripted wait " << qwLongest << " ms, in " << longest);
}

TEST_CASE("the scripted service manager keeps the rules that Wine's lacks")
{
    // Set up as a scenario; one start or stop of a service; its answer (the status's state when
    // it was filled), and afterwards a service's state and the clock.
    struct Rule {
        const char* pszServices;
        const char* pszService;
        bool bStart;
        DWORD dwError;
        DWORD dwFilledState;
        const char* pszAfter;
        DWORD dwStateAfter;
        ULONGLONG qwClockMs;
    };
    const Rule rules[] = {
        // What a service depends on is started first, and waited for; when it cannot start: 1068.
        { "; Spooler stopped start=2000ms; Fax<Spooler stopped", "Fax", true, 0, 0, "Spooler", SERVICE_RUNNING, 2000 },
        { "; Spooler stopped disabled; Fax<Spooler stopped", "Fax", true, 1068, 0, "Fax", SERVICE_STOPPED, 0 },
        { "; Spooler start-pending left=forever; Fax<Spooler stopped", "Fax", true, 1068, 0, "Fax", SERVICE_STOPPED, 30000 },
        // An active dependent, a stopping one too, keeps its dependency from stopping: no status.
        { "; Spooler running; Fax<Spooler stop-pending left=forever", "Spooler", false, 1051, 0, "Spooler",
          SERVICE_RUNNING, 0 },
        { "; Spooler start-pending left=forever", "Spooler", false, 1061, SERVICE_START_PENDING, "Spooler",
          SERVICE_START_PENDING, 0 },
        // An unanswered stop takes the manager's 30 s, and the service may stop after all.
        { "; Spooler running stop=1000ms stop-unanswered-then-stops", "Spooler", false, 1053, 0, "Spooler",
          SERVICE_STOP_PENDING, 30000 },
        { "; Spooler stopped start-fails=1069", "Spooler", true, 1069, 0, "Spooler", SERVICE_STOPPED, 0 },
        { "; Spooler stopped start-fails=1053", "Spooler", true, 1053, 0, "Spooler", SERVICE_STOPPED, 30000 },
    };
    for (const Rule& rule : rules) {
        CAPTURE(rule.pszServices);
        ScriptedPlatform platform;
        SetUp(platform, Read(std::string("upgrade") + rule.pszServices));
        SC_HANDLE hService = platform.OpenServiceA(NULL, rule.pszService, SERVICE_ALL_ACCESS);
        SERVICE_STATUS status = {};
        ::SetLastError(0xdeadbeef);
        BOOL bDone = rule.bStart ? platform.StartServiceA(hService)
                                 : platform.ControlService(hService, SERVICE_CONTROL_STOP, &status);
        CHECK((bDone ? 0 : ::GetLastError()) == rule.dwError);
        CHECK(status.dwCurrentState == rule.dwFilledState);
        CHECK(platform.ServiceNamed(rule.pszAfter).dwState == rule.dwStateAfter);
        CHECK(platform.clockMs == rule.qwClockMs);
    }

    // The active dependents, direct and indirect, each after those that depend on it.
    ScriptedPlatform platform;
    SetUp(platform, Read("upgrade; A<Spooler running; B<A running; C<Spooler running; D<A,C running; E<Spooler stopped"));
    SC_HANDLE hSpooler = platform.OpenServiceA(NULL, "Spooler", SERVICE_ALL_ACCESS);
    DWORD cbNeeded = 0, nServices = 99;
    ::SetLastError(0xdeadbeef);
    CHECK_FALSE(platform.EnumDependentServicesA(hSpooler, SERVICE_ACTIVE, NULL, 0, &cbNeeded, &nServices));
    CHECK(::GetLastError() == ERROR_MORE_DATA);
    std::vector<BYTE> buffer(cbNeeded);
    LPENUM_SERVICE_STATUSA pServices = reinterpret_cast<LPENUM_SERVICE_STATUSA>(buffer.data());
    CHECK_FALSE(platform.EnumDependentServicesA(hSpooler, SERVICE_ACTIVE, pServices, cbNeeded - 1, &cbNeeded, &nServices));
    REQUIRE(platform.EnumDependentServicesA(hSpooler, SERVICE_ACTIVE, pServices, cbNeeded, &cbNeeded, &nServices));
    std::string order;
    for (DWORD i = 0; i < nServices; ++i)
        order += pServices[i].lpServiceName;
    CHECK(order == "BDAC");
}
