#include "tests/harness/Spooler.h"
#include "tests/harness/Report.h"
#include "tests/harness/Windows.h"
#include <winspool.h>
#include <shlwapi.h>
#include <algorithm>
#include <vector>

namespace harness {

namespace {

const char kMonitorsKey[] = "System\\CurrentControlSet\\Control\\Print\\Monitors\\";
// The monitor of the system's own ports, which every spooler has.
const char kSystemMonitor[] = "Local Port";

SERVICE_STATUS_PROCESS SpoolerStatus()
{
    SERVICE_STATUS_PROCESS status = {};
    SC_HANDLE hManager = ::OpenSCManagerA(NULL, NULL, SC_MANAGER_CONNECT);
    SC_HANDLE hSpooler = hManager ? ::OpenServiceA(hManager, "Spooler", SERVICE_QUERY_STATUS) : NULL;
    DWORD cbNeeded = 0;
    if (hSpooler != NULL)
        ::QueryServiceStatusEx(hSpooler, SC_STATUS_PROCESS_INFO, (BYTE*)&status, sizeof(status), &cbNeeded);
    if (hSpooler != NULL)
        ::CloseServiceHandle(hSpooler);
    if (hManager != NULL)
        ::CloseServiceHandle(hManager);
    return status;
}

} // namespace

bool StartSpoolerService()
{
    SC_HANDLE hManager = ::OpenSCManagerA(NULL, NULL, SC_MANAGER_CONNECT);
    SC_HANDLE hSpooler = hManager ? ::OpenServiceA(hManager, "Spooler", SERVICE_START | SERVICE_QUERY_STATUS) : NULL;
    if (hSpooler != NULL)
        ::StartServiceA(hSpooler, 0, NULL);
    if (hSpooler != NULL)
        ::CloseServiceHandle(hSpooler);
    if (hManager != NULL)
        ::CloseServiceHandle(hManager);
    return WaitFor([] { return SpoolerStatus().dwCurrentState == SERVICE_RUNNING; }, 30000);
}

DWORD SpoolerProcessId()
{
    SERVICE_STATUS_PROCESS status = SpoolerStatus();
    return status.dwCurrentState == SERVICE_RUNNING ? status.dwProcessId : 0;
}

namespace {

// A spooler enumeration's records in the buffer. A spooler that does not answer fails the test:
// "not listed" must never stand for "not asked".
template <typename Call>
bool Enumerate(Call call, const char* pszWhat, std::vector<BYTE>& buffer, DWORD& nRecords)
{
    DWORD cbNeeded = 0;
    nRecords = 0;
    if (!call(NULL, 0, &cbNeeded, &nRecords) && ::GetLastError() != ERROR_INSUFFICIENT_BUFFER)
        cbNeeded = 0;
    buffer.assign(cbNeeded + 1, 0);
    if (call(buffer.data(), cbNeeded, &cbNeeded, &nRecords))
        return true;
    Fail(Said() << "the spooler does not list its " << pszWhat << ": error " << ::GetLastError());
    nRecords = 0;
    return false;
}

// The names of a level-1 enumeration, whose records begin with the name. A name every spooler
// lists, when given, must be among them: the proof that the list is the spooler's.
template <typename Call>
std::vector<std::string> EnumeratedNames(Call call, const char* pszWhat, const char* pszAlwaysListed)
{
    std::vector<BYTE> buffer;
    DWORD nRecords = 0;
    bool bAnswered = Enumerate(call, pszWhat, buffer, nRecords);
    std::vector<std::string> names;
    const LPSTR* pRecords = reinterpret_cast<const LPSTR*>(buffer.data());
    bool bAlwaysListedSeen = pszAlwaysListed == NULL;
    for (DWORD i = 0; i < nRecords; ++i) {
        names.push_back(pRecords[i]);
        bAlwaysListedSeen = bAlwaysListedSeen || lstrcmpiA(pRecords[i], pszAlwaysListed) == 0;
    }
    if (bAnswered && !bAlwaysListedSeen)
        Fail(Said() << "the spooler's " << pszWhat << " lack \"" << pszAlwaysListed << "\": not the spooler's list");
    return names;
}

bool Contains(const std::vector<std::string>& names, const std::string& name)
{
    return std::find(names.begin(), names.end(), name) != names.end();
}

} // namespace

std::vector<InstalledMonitorInfo> InstalledMonitors()
{
    std::vector<BYTE> buffer;
    DWORD nMonitors = 0;
    bool bAnswered = Enumerate([](LPBYTE p, DWORD cb, LPDWORD pcb, LPDWORD pc) {
        return ::EnumMonitorsA(NULL, 2, p, cb, pcb, pc);
    }, "monitors", buffer, nMonitors);
    std::vector<InstalledMonitorInfo> monitors;
    const MONITOR_INFO_2A* pMonitors = reinterpret_cast<const MONITOR_INFO_2A*>(buffer.data());
    for (DWORD i = 0; i < nMonitors; ++i)
        monitors.push_back(InstalledMonitorInfo{ pMonitors[i].pName, pMonitors[i].pDLLName });
    if (bAnswered && std::none_of(monitors.begin(), monitors.end(), [](const InstalledMonitorInfo& monitor) {
            return monitor.name == kSystemMonitor;
        }))
        Fail(Said() << "the spooler's monitors lack its own \"" << kSystemMonitor << "\"");
    return monitors;
}

bool IsMonitorInstalled(const std::string& name)
{
    for (const InstalledMonitorInfo& monitor : InstalledMonitors()) {
        if (monitor.name == name)
            return true;
    }
    return false;
}


std::vector<std::string> DriverEnvironments(const std::string& name)
{
    std::vector<BYTE> buffer;
    DWORD nDrivers = 0;
    Enumerate([](LPBYTE p, DWORD cb, LPDWORD pcb, LPDWORD pc) {
        return ::EnumPrinterDriversA(NULL, const_cast<LPSTR>("all"), 2, p, cb, pcb, pc);
    }, "drivers", buffer, nDrivers);
    std::vector<std::string> environments;
    const DRIVER_INFO_2A* pDrivers = reinterpret_cast<const DRIVER_INFO_2A*>(buffer.data());
    for (DWORD i = 0; i < nDrivers; ++i) {
        if (name == pDrivers[i].pName)
            environments.push_back(pDrivers[i].pEnvironment ? pDrivers[i].pEnvironment : "");
    }
    return environments;
}

bool IsDriverInstalled(const std::string& name)
{
    return !DriverEnvironments(name).empty();
}

std::vector<std::string> DriverFiles(const std::string& name)
{
    std::vector<BYTE> buffer;
    DWORD nDrivers = 0;
    Enumerate([](LPBYTE p, DWORD cb, LPDWORD pcb, LPDWORD pc) {
        return ::EnumPrinterDriversA(NULL, NULL, 3, p, cb, pcb, pc);
    }, "drivers", buffer, nDrivers);
    std::vector<std::string> files;
    const DRIVER_INFO_3A* pDrivers = reinterpret_cast<const DRIVER_INFO_3A*>(buffer.data());
    for (DWORD i = 0; i < nDrivers && files.empty(); ++i) {
        if (name != pDrivers[i].pName)
            continue;
        for (LPCSTR pszPath : { pDrivers[i].pDriverPath, pDrivers[i].pConfigFile, pDrivers[i].pDataFile,
                                pDrivers[i].pHelpFile })
            files.push_back(pszPath != NULL ? ::PathFindFileNameA(pszPath) : "");
        std::vector<std::string> dependents;
        for (LPCSTR pszPath = pDrivers[i].pDependentFiles; pszPath != NULL && *pszPath != '\0';
             pszPath += strlen(pszPath) + 1)
            dependents.push_back(::PathFindFileNameA(pszPath));
        std::sort(dependents.begin(), dependents.end());
        files.insert(files.end(), dependents.begin(), dependents.end());
    }
    return files;
}

bool IsPrintProcessorInstalled(const std::string& name)
{
    return Contains(EnumeratedNames([](LPBYTE p, DWORD cb, LPDWORD pcb, LPDWORD pc) {
                        return ::EnumPrintProcessorsA(NULL, NULL, 1, p, cb, pcb, pc);
                    }, "print processors", "WinPrint"),
                    name);
}

std::vector<std::string> SpoolerPorts()
{
    return EnumeratedNames([](LPBYTE p, DWORD cb, LPDWORD pcb, LPDWORD pc) {
        return ::EnumPortsA(NULL, 1, p, cb, pcb, pc);
    }, "ports", "FILE:");
}

std::vector<std::string> MonitorPortKeys(const std::string& monitor)
{
    std::vector<std::string> ports;
    HKEY hKey;
    LONG nError = ::RegOpenKeyExA(HKEY_LOCAL_MACHINE, (kMonitorsKey + monitor + "\\Ports").c_str(), 0, KEY_READ,
                                  &hKey);
    if (nError == ERROR_FILE_NOT_FOUND)
        return ports;
    if (nError != ERROR_SUCCESS) {
        Fail(Said() << "cannot read the ports of monitor \"" << monitor << "\": error " << nError);
        return ports;
    }
    char szPort[MAX_PATH];
    for (DWORD i = 0; ::RegEnumKeyA(hKey, i, szPort, sizeof(szPort)) == ERROR_SUCCESS; ++i)
        ports.push_back(szPort);
    ::RegCloseKey(hKey);
    std::sort(ports.begin(), ports.end());
    return ports;
}

std::string SystemDirectoryFile(const char* pszName)
{
    char szSystem[MAX_PATH];
    ::GetSystemDirectoryA(szSystem, MAX_PATH);
    return std::string(szSystem) + "\\" + pszName;
}

bool InstallPackageMonitor(const std::string& packageDirectory, const std::string& name)
{
    for (const char* pszFile : { "ZADAZARE.DLL", "ZADAZARE.HLP" }) {
        std::string source = packageDirectory + "\\pxmonitor\\" + pszFile;
        if (!::CopyFileA(source.c_str(), SystemDirectoryFile(pszFile).c_str(), FALSE))
            return false;
    }
    MONITOR_INFO_2A info = { const_cast<LPSTR>(name.c_str()), NULL, const_cast<LPSTR>("ZADAZARE.DLL") };
    return ::AddMonitorA(NULL, 2, (LPBYTE)&info) != FALSE;
}

RegisteredMonitor::RegisteredMonitor(const std::string& name, const char* pszDll, const char* pszVersion)
    : key(kMonitorsKey + name)
{
    HKEY hKey;
    if (::RegCreateKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, NULL, 0, KEY_ALL_ACCESS, NULL, &hKey, NULL) != ERROR_SUCCESS) {
        Fail(Said() << "cannot write the key of monitor \"" << name << "\"");
        return;
    }
    ::RegSetValueExA(hKey, "Driver", 0, REG_SZ, (const BYTE*)pszDll, lstrlenA(pszDll) + 1);
    if (pszVersion != NULL)
        ::RegSetValueExA(hKey, "Version", 0, REG_SZ, (const BYTE*)pszVersion, lstrlenA(pszVersion) + 1);
    ::RegCloseKey(hKey);
}

RegisteredMonitor::~RegisteredMonitor()
{
    ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, key.c_str());
}

std::string MonitorVersion(const std::string& name)
{
    char szVersion[MAX_PATH] = "";
    DWORD cbVersion = sizeof(szVersion) - 1;
    HKEY hKey;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, (kMonitorsKey + name).c_str(), 0, KEY_READ, &hKey) == ERROR_SUCCESS) {
        if (::RegQueryValueExA(hKey, "Version", NULL, NULL, (BYTE*)szVersion, &cbVersion) != ERROR_SUCCESS)
            szVersion[0] = '\0';
        ::RegCloseKey(hKey);
    }
    return szVersion;
}

bool SetMonitorVersion(const std::string& name, const std::string& version)
{
    HKEY hKey;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, (kMonitorsKey + name).c_str(), 0, KEY_SET_VALUE, &hKey) != ERROR_SUCCESS)
        return false;
    bool bSet = ::RegSetValueExA(hKey, "Version", 0, REG_SZ, (const BYTE*)version.c_str(),
                                 (DWORD)version.size() + 1) == ERROR_SUCCESS;
    ::RegCloseKey(hKey);
    return bSet;
}

bool WriteMonitorPort(const std::string& monitor, const std::string& port, const void* pData, DWORD cbData,
                      DWORD dwType)
{
    HKEY hKey;
    if (::RegCreateKeyExA(HKEY_LOCAL_MACHINE, (kMonitorsKey + monitor + "\\Ports\\" + port).c_str(), 0, NULL, 0,
                          KEY_ALL_ACCESS, NULL, &hKey, NULL) != ERROR_SUCCESS)
        return false;
    ::RegDeleteValueA(hKey, "TYPE");
    bool bWritten = pData == NULL ||
                    ::RegSetValueExA(hKey, "TYPE", 0, dwType, (const BYTE*)pData, cbData) == ERROR_SUCCESS;
    ::RegCloseKey(hKey);
    return bWritten;
}

bool RemoveMonitorPort(const std::string& monitor, const std::string& port)
{
    return ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, (kMonitorsKey + monitor + "\\Ports\\" + port).c_str()) ==
           ERROR_SUCCESS;
}

PrinterFacts Printer(const char* pszName)
{
    PrinterFacts facts;
    HANDLE hPrinter = NULL;
    if (!::OpenPrinterA(const_cast<LPSTR>(pszName), &hPrinter, NULL)) {
        // Only the spooler's own answer means "no such printer".
        if (::GetLastError() != ERROR_INVALID_PRINTER_NAME)
            Fail(Said() << "the spooler does not answer for printer \"" << pszName << "\": error " << ::GetLastError());
        return facts;
    }
    DWORD cbNeeded = 0;
    ::GetPrinterA(hPrinter, 2, NULL, 0, &cbNeeded);
    std::vector<BYTE> buffer(cbNeeded + 1);
    if (!::GetPrinterA(hPrinter, 2, buffer.data(), cbNeeded, &cbNeeded)) {
        Fail(Said() << "the spooler does not describe printer \"" << pszName << "\": error " << ::GetLastError());
    } else {
        const PRINTER_INFO_2A* pInfo = reinterpret_cast<const PRINTER_INFO_2A*>(buffer.data());
        facts.bFound = true;
        facts.port = pInfo->pPortName ? pInfo->pPortName : "";
        facts.driver = pInfo->pDriverName ? pInfo->pDriverName : "";
        facts.processor = pInfo->pPrintProcessor ? pInfo->pPrintProcessor : "";
        facts.share = pInfo->pShareName ? pInfo->pShareName : "";
        facts.dwAttributes = pInfo->Attributes;
    }
    ::ClosePrinter(hPrinter);
    return facts;
}

} // namespace harness
