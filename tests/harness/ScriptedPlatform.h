// A platform whose spooler and services are a model the test sets up, that fails any call
// the test chooses with the error it chooses, and that records every call. INF parser calls
// go to the system's parser (through the shipped boundary) unless a failure is set for them.
#pragma once
#include "monitor/Pause.h"
#include "platform/Platform.h"
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace harness {

class ScriptedPlatform : public Platform {
public:
    // Takes the platform's place for the object's lifetime.
    ScriptedPlatform();
    ~ScriptedPlatform();

    // The named call fails with the error, every time. The name is an operation
    // ("ControlService") or a whole call as recorded ("ControlService Spooler 1"), which wins over
    // its operation's.
    void Fail(const std::string& call, DWORD dwError);
    // Call k from now (0: the next one), whatever it is, fails with the error.
    void FailCall(size_t k, DWORD dwError);

    // Every call as "Operation arguments", such as "OpenServiceA Spooler" or
    // "ControlService Spooler 1".
    std::vector<std::string> calls;
    // The arguments of each call of one operation, in order.
    std::vector<std::string> CallsTo(const std::string& operation) const;

    // The spooler.
    struct Port {
        std::string name;
        std::string monitor;
        std::string description;
    };
    struct Monitor {
        std::string name;
        std::string environment;
        std::string dll;
    };
    struct Printer {
        std::string name;
        std::string port;
        std::string driver;
        std::string printProcessor;
        std::string share;
    };
    struct Driver {
        std::string name;
        std::string driverPath;
        std::string dataFile;
        std::string configFile;
        std::string helpFile;
        std::vector<std::string> dependentFiles;
        std::string defaultDataType;
        DWORD dwCopyFlags;
    };
    std::vector<Port> ports;
    std::vector<Monitor> monitors;
    std::vector<std::string> printProcessors;
    std::vector<Printer> printers;
    std::vector<Driver> drivers;
    std::string driverDirectory = "C:\\windows\\system32\\spool\\drivers\\w32x86";
    std::string processorDirectory = "C:\\windows\\system32\\spool\\prtprocs\\w32x86";
    // The port the monitor's dialog makes when AddPortA is called; empty: the user cancels.
    std::string portToAdd;
    // Called with the owner window while the monitor's dialog would be up.
    std::function<void(HWND hOwner)> whileAddingPort;
    // Printer handles given (OpenPrinterA, AddPrinterA) and not closed; whether a handle never
    // given, or closed already, was closed.
    size_t OpenPrinterHandles() const { return m_openPrinters.size(); }
    bool ClosedUnknownPrinter() const { return m_bClosedUnknownPrinter; }

    // The service control manager (ScriptedServices.cpp), keeping the rules that the service
    // control documentation gives for ControlService, StartService, EnumDependentServices and
    // QueryServiceStatus; "Spooler" runs from the start.
    //
    // Time is a scripted clock. A start or a stop stays pending for a number of status queries
    // (QueryServiceStatus, or a control answered with the status), or for milliseconds of the
    // clock, whichever ends first where both are set; kForever queries and no milliseconds: it
    // never ends. A pause of the wizard (Elapse) moves the clock and counts as one query of every
    // pending service; a call that the manager gives up on takes its 30 s of the clock. A state
    // pending with no queries and no time left set ends at the first query.
    static const int kForever = -1;
    static const DWORD kManagerTimeoutMs = 30000;
    enum StopAnswer {
        STOP_TAKEN,
        STOP_NOT_ACCEPTED,  // the service does not accept the control: 1052
        STOP_UNANSWERED,    // the service does not answer it in time: 1053
    };
    struct Service {
        DWORD dwState = SERVICE_RUNNING;
        std::vector<std::string> dependsOn;  // as the service's configuration names them
        // Every start and every stop pends this long.
        int nStartQueries = 0;
        DWORD dwStartMs = 0;
        int nStopQueries = 0;
        DWORD dwStopMs = 0;
        // What is left of the pending state now; on a service that is not pending, how long
        // its next start or stop pends instead of its own time.
        int nPendingQueries = 0;
        DWORD dwPendingMs = 0;
        bool bDisabled = false;      // a start answers 1058
        DWORD dwStartError = 0;      // every start fails with it: 1053 (after 30 s) or 1069
        StopAnswer stopAnswer = STOP_TAKEN;
        bool bStopsAfterAll = false;  // after an unanswered stop, the service goes on to stop
        DWORD dwExitCode = 0;        // reported in every status
        int nStartedByCall = 0;  // starts that took, not counting the manager's for a dependent
        ULONGLONG qwPendingEnd = 0;  // the clock's time at which the pending state ends; 0: none
    };
    std::map<std::string, Service> services;
    // The states by name, as tests write them: kStateNames[SERVICE_RUNNING] is "running".
    static constexpr const char* kStateNames[] = { "?", "stopped", "start-pending", "stop-pending", "running" };
    // The service of that name (any case); a new running one when there is none.
    Service& ServiceNamed(const std::string& name);
    // The services that depend on the named one directly, in the manager's order.
    std::vector<std::string> DependentsOf(const std::string& name) const;
    ULONGLONG clockMs = 0;
    // Time passes: the clock moves on by dwMilliseconds, and every pending service is asked
    // once, as the wizard's pause between two queries would let time pass.
    void Elapse(DWORD dwMilliseconds = 0);
    // The same for the scripted platform in place, when one is: what a test's pause function
    // calls instead of waiting.
    static void ElapseInPlace(DWORD dwMilliseconds = 0);
    // Handles of the manager and of services that were opened and not closed.
    int OpenServiceHandles() const { return m_nOpenHandles; }
    // What a run of the wizard must leave of the services, given as they were before it, with
    // the texts of the boxes the user saw. Once every pending state that ends has ended (the
    // clock moves on), each service that ran or was starting runs, or a box named it (the
    // dependents' warning lists it; the spooler also in a failed start or restart); and none
    // that did not run was started, but by the manager for a dependent, by another party
    // (startedByOthers) or as the user agreed (pszAsked). One line for each violation.
    std::vector<std::string> ServiceViolations(const std::map<std::string, Service>& before,
                                               const std::vector<std::string>& boxTexts, const char* pszAsked = NULL,
                                               const std::map<std::string, int>& startedByOthers = {});

    // Print spooler: each call takes the one level of records it keeps (the directories and print
    // processors 1, AddPrinterDriverExA 3, the others 2) and refuses another with
    // ERROR_INVALID_LEVEL.
    BOOL EnumPortsA(DWORD dwLevel, LPBYTE pPorts, DWORD cbBuf, LPDWORD pcbNeeded, LPDWORD pcReturned) override;
    BOOL EnumMonitorsA(DWORD dwLevel, LPBYTE pMonitors, DWORD cbBuf, LPDWORD pcbNeeded, LPDWORD pcReturned) override;
    BOOL AddMonitorA(DWORD dwLevel, LPBYTE pMonitor) override;
    BOOL AddPortA(HWND hWnd, LPSTR pMonitorName) override;
    BOOL OpenPrinterA(LPSTR pPrinterName, LPHANDLE phPrinter, LPPRINTER_DEFAULTSA pDefault) override;
    BOOL ClosePrinter(HANDLE hPrinter) override;
    BOOL GetPrinterDriverDirectoryA(LPSTR pEnvironment, DWORD dwLevel, LPBYTE pDirectory, DWORD cbBuf,
                                    LPDWORD pcbNeeded) override;
    BOOL AddPrinterDriverExA(DWORD dwLevel, LPBYTE pDriverInfo, DWORD dwFileCopyFlags) override;
    BOOL GetPrintProcessorDirectoryA(LPSTR pEnvironment, DWORD dwLevel, LPBYTE pDirectory, DWORD cbBuf,
                                     LPDWORD pcbNeeded) override;
    BOOL EnumPrintProcessorsA(LPSTR pEnvironment, DWORD dwLevel, LPBYTE pProcessors, DWORD cbBuf, LPDWORD pcbNeeded,
                              LPDWORD pcReturned) override;
    BOOL EnumPrintersA(DWORD dwFlags, DWORD dwLevel, LPBYTE pPrinters, DWORD cbBuf, LPDWORD pcbNeeded,
                       LPDWORD pcReturned) override;
    BOOL DeletePrintProcessorA(LPSTR pEnvironment, LPSTR pPrintProcessorName) override;
    BOOL AddPrintProcessorA(LPSTR pEnvironment, LPSTR pPathName, LPSTR pPrintProcessorName) override;
    HANDLE AddPrinterA(LPSTR pName, DWORD dwLevel, LPBYTE pPrinter) override;

    // Service control manager
    SC_HANDLE OpenSCManagerA(DWORD dwDesiredAccess) override;
    SC_HANDLE OpenServiceA(SC_HANDLE hManager, LPCSTR lpServiceName, DWORD dwDesiredAccess) override;
    BOOL QueryServiceStatus(SC_HANDLE hService, LPSERVICE_STATUS lpStatus) override;
    BOOL StartServiceA(SC_HANDLE hService) override;
    BOOL ControlService(SC_HANDLE hService, DWORD dwControl, LPSERVICE_STATUS lpStatus) override;
    BOOL EnumDependentServicesA(SC_HANDLE hService, DWORD dwServiceState, LPENUM_SERVICE_STATUSA lpServices,
                                DWORD cbBufSize, LPDWORD pcbBytesNeeded, LPDWORD lpServicesReturned) override;
    BOOL CloseServiceHandle(SC_HANDLE hService) override;

    // INF parser
    HINF SetupOpenInfFileA(PCSTR pszFileName, PCSTR pszInfClass, DWORD dwInfStyle, PUINT pErrorLine) override;
    BOOL SetupOpenAppendInfFileA(PCSTR pszFileName, HINF hInf, PUINT pErrorLine) override;
    void SetupCloseInfFile(HINF hInf) override;
    BOOL SetupFindFirstLineA(HINF hInf, PCSTR pszSection, PCSTR pszKey, PINFCONTEXT pContext) override;
    BOOL SetupFindNextLine(PINFCONTEXT pContextIn, PINFCONTEXT pContextOut) override;
    BOOL SetupFindNextMatchLineA(PINFCONTEXT pContextIn, PCSTR pszKey, PINFCONTEXT pContextOut) override;
    DWORD SetupGetFieldCount(PINFCONTEXT pContext) override;
    BOOL SetupGetStringFieldA(PINFCONTEXT pContext, DWORD dwFieldIndex, PSTR pszBuffer, DWORD cchBuffer,
                              PDWORD pcchRequired) override;
    LONG SetupGetLineCountA(HINF hInf, PCSTR pszSection) override;
    BOOL SetupGetLineTextA(PINFCONTEXT pContext, HINF hInf, PCSTR pszSection, PCSTR pszKey, PSTR pszBuffer,
                           DWORD cchBuffer, PDWORD pcchRequired) override;
    BOOL SetupCopyOEMInfA(PCSTR pszSourceInfFileName, PCSTR pszMediaLocation, DWORD dwMediaType, DWORD dwCopyStyle,
                          PSTR pszDestinationInfFileName, DWORD cchDestination, PDWORD pcchRequired,
                          PSTR* ppszDestinationComponent) override;
    // The registry is the system's, unless a call is failed.
    LONG RegOpenKeyExA(HKEY hKey, LPCSTR pszSubKey, REGSAM samDesired, PHKEY phkResult) override;
    LONG RegQueryInfoKeyA(HKEY hKey, LPDWORD pcSubKeys) override;
    LONG RegEnumKeyExA(HKEY hKey, DWORD dwIndex, LPSTR pszName, LPDWORD pcchName) override;
    LONG RegQueryValueExA(HKEY hKey, LPCSTR pszValueName, LPBYTE pData, LPDWORD pcbData) override;
    LONG RegCloseKey(HKEY hKey) override;

protected:
    std::multiset<HANDLE> m_openPrinters;

private:
    static std::string Text(LPCSTR psz) { return psz != NULL ? psz : "NULL"; }
    static bool SameName(const std::string& a, const std::string& b) { return lstrcmpiA(a.c_str(), b.c_str()) == 0; }
    // Records the call; TRUE when it is to fail, with the last error set.
    bool Call(const std::string& operation, const std::string& arguments = std::string());
    std::string ServiceOf(SC_HANDLE hService) const;
    // The clock moves on without the services being asked.
    void Advance(ULONGLONG qwMilliseconds);
    void StartPendingClocks();
    // One status query: a pending state whose queries are used up ends.
    void Answered(Service& service);
    void BeginPending(Service& service, DWORD dwPendingState, int nQueries, DWORD dwMs);
    void EndPending(Service& service);
    // A start of the service with the manager's checks, dependencies first; the error, or 0.
    DWORD Start(const std::string& name, ULONGLONG qwGiveUp, bool bAsDependency, int nDepth);
    void CollectActiveDependents(const std::string& name, std::vector<std::string>& active) const;

    Platform* m_pPrevious;
    std::map<std::string, DWORD> m_failures;
    size_t m_nFailedCall = (size_t)-1;  // the index in calls of the call FailCall chose
    DWORD m_dwFailedCallError = 0;
    std::vector<std::string> m_openServices;
    int m_nOpenHandles = 0;
    bool m_bClosedUnknownPrinter = false;
};

// While the object lives, the waits between service queries take no time: each is passed to
// the scripted platform in place as time that elapses.
struct SkippedPauses {
    SkippedPauses();
    ~SkippedPauses();
    SkippedPauses(const SkippedPauses&) = delete;
    SkippedPauses& operator=(const SkippedPauses&) = delete;

    PauseFunction pfnPrevious;
};

} // namespace harness
