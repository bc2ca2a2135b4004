// The real spooler's state, read and prepared by an end-to-end test in its own Wine prefix.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

namespace harness {

struct InstalledMonitorInfo {
    std::string name;
    std::string dll;
};

// What the spooler lists. A spooler that does not answer, or whose list lacks what every
// spooler lists (its own monitor, print processor and file port), fails the test: "not listed"
// never stands for "not asked".

// Starts the spooler service, if it is not running, and waits until it runs.
bool StartSpoolerService();
// The process the spooler service runs in: a new one after every restart; 0 when stopped.
DWORD SpoolerProcessId();
std::vector<InstalledMonitorInfo> InstalledMonitors();
bool IsMonitorInstalled(const std::string& name);
// The environments ("Windows NT x86", "Windows x64") the spooler lists the driver under, of all
// it knows (not only the caller's own); installed is under any of them.
std::vector<std::string> DriverEnvironments(const std::string& name);
bool IsDriverInstalled(const std::string& name);
// The file names of the driver's record for this machine's environment: its driver,
// configuration, data and help files, then its dependent files, sorted; none for no driver.
std::vector<std::string> DriverFiles(const std::string& name);
bool IsPrintProcessorInstalled(const std::string& name);
std::vector<std::string> SpoolerPorts();
// The ports the monitor keeps under its registry key, sorted.
std::vector<std::string> MonitorPortKeys(const std::string& monitor);

// Installs the package's monitor as an earlier setup would have: its files copied into the
// system directory and the monitor registered under the name.
bool InstallPackageMonitor(const std::string& packageDirectory, const std::string& name);
// A monitor's registry key as the spooler writes it, its DLL as "Driver" and, when given, its
// "Version", for as long as the object lives: the spooler need not know the monitor.
struct RegisteredMonitor {
    RegisteredMonitor(const std::string& name, const char* pszDll, const char* pszVersion);
    ~RegisteredMonitor();
    std::string key;
};
// The monitor's "Version" value, and setting it; an empty text for none.
std::string MonitorVersion(const std::string& name);
bool SetMonitorVersion(const std::string& name, const std::string& version);

// Gives a port of the monitor its registry key, as the monitor keeps its ports, with the data
// as its "TYPE" value (no value when pData is NULL); a monitor the spooler has loaded lists it
// from then on. Removing the key removes the port.
bool WriteMonitorPort(const std::string& monitor, const std::string& port, const void* pData, DWORD cbData,
                      DWORD dwType = REG_DWORD);
bool RemoveMonitorPort(const std::string& monitor, const std::string& port);

// What the spooler holds of a printer; bFound is false when the spooler says no printer has
// the name.
struct PrinterFacts {
    bool bFound = false;
    std::string port;
    std::string driver;
    std::string processor;
    std::string share;
    DWORD dwAttributes = 0;
};
PrinterFacts Printer(const char* pszName);

std::string SystemDirectoryFile(const char* pszName);

} // namespace harness
