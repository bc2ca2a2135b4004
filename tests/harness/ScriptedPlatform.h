// A platform whose spooler and services are a model the test sets up, that fails any call
// the test chooses with the error it chooses, and that records every call. INF parser calls
// go to the system's parser (through the shipped boundary) unless a failure is set for them.
#pragma once
#include "monitor/Pause.h"
#include "platform/Platform.h"
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace harness {

class ScriptedPlatform : public Platform {
public:
    // Takes the platform's place for the object's lifetime.
    ScriptedPlatform();
    ~ScriptedPlatform();

    // The named call fails with the error: every time, or only the next nTimes calls. The name
    // is an operation ("ControlService") or a whole call as recorded ("ControlService Spooler 1"),
    // which wins over its operation's.
    void Fail(const std::string& call, DWORD dwError, int nTimes = -1);

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

    // The service control manager. With nPendingQueries set, the service's next start or
    // stop reports the pending state to that many status queries before it is done; with
    // nStartQueries or nStopQueries, every start or stop does. A status query is a
    // QueryServiceStatus or a stop control sent while the stop is pending; a pause of the
    // wizard (Elapse) brings every pending service one query closer, as time would.
    struct Service {
        DWORD dwState = SERVICE_RUNNING;
        std::vector<std::string> dependents;  // services that depend on this one, in order
        int nPendingQueries = 0;
        int nStartQueries = 0;
        int nStopQueries = 0;
        DWORD dwExitCode = 0;
    };
    std::map<std::string, Service> services;  // "Spooler" runs from the start
    Service& ServiceNamed(const std::string& name);
    // Time passes: every service in a pending state comes one query closer to its end.
    void Elapse();
    // The same for the scripted platform in place, when one is: what a test's pause function
    // calls instead of waiting.
    static void ElapseInPlace();

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
    DWORD SetupGetFieldCount(PINFCONTEXT pContext) override;
    BOOL SetupGetStringFieldA(PINFCONTEXT pContext, DWORD dwFieldIndex, PSTR pszBuffer, DWORD cchBuffer,
                              PDWORD pcchRequired) override;
    LONG SetupGetLineCountA(HINF hInf, PCSTR pszSection) override;
    BOOL SetupGetLineTextA(PINFCONTEXT pContext, HINF hInf, PCSTR pszSection, PCSTR pszKey, PSTR pszBuffer,
                           DWORD cchBuffer, PDWORD pcchRequired) override;
    BOOL SetupCopyOEMInfA(PCSTR pszSourceInfFileName, PCSTR pszMediaLocation, DWORD dwMediaType, DWORD dwCopyStyle,
                          PSTR pszDestinationInfFileName, DWORD cchDestination, PDWORD pcchRequired,
                          PSTR* ppszDestinationComponent) override;

private:
    struct Failure {
        DWORD dwError;
        int nTimes;
    };

    // Records the call; TRUE when it is to fail, with the last error set.
    bool Call(const std::string& operation, const std::string& arguments = std::string());
    std::string ServiceOf(SC_HANDLE hService) const;
    void Settle(Service& service);

    Platform* m_pPrevious;
    std::map<std::string, Failure> m_failures;
    std::vector<std::string> m_openServices;
};

// While the object lives, the waits between service queries take no time.
struct SkippedPauses {
    SkippedPauses();
    ~SkippedPauses();
    SkippedPauses(const SkippedPauses&) = delete;
    SkippedPauses& operator=(const SkippedPauses&) = delete;

    PauseFunction pfnPrevious;
};

} // namespace harness
