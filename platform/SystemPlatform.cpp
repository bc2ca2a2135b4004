// The shipped platform: the system's own calls, with the few answers corrected where a
// system (Wine among them) answers differently from what the program relies on.
#include "platform/Platform.h"
#include "base/Text.h"
#include <string.h>
#include <string>
#include <vector>

namespace {

// The printer class's GUID, for an INF that names its class only by GUID.
const char kPrinterClass[] = "Printer";
const char kPrinterClassGuid[] = "{4D36E979-E325-11CE-BFC1-08002BE10318}";

const char kRawDatatype[] = "RAW";
// Room for some hundred ports at the first try.
const DWORD kPortListBytes = 16384;

bool IsEmpty(LPCSTR psz)
{
    return psz == NULL || psz[0] == '\0';
}

bool IsOpenInf(HINF hInf)
{
    return hInf != NULL && hInf != INVALID_HANDLE_VALUE;
}

BOOL InvalidInfHandle()
{
    ::SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
}

// The value of a [Version] key, or an empty text.
void ReadVersionValue(HINF hInf, PCSTR pszKey, char* pszValue, DWORD cchValue)
{
    pszValue[0] = '\0';
    INFCONTEXT context;
    if (::SetupFindFirstLineA(hInf, "Version", pszKey, &context) &&
        !::SetupGetStringFieldA(&context, 1, pszValue, cchValue, NULL))
        pszValue[0] = '\0';
}

// Whether the open INF is of the class: its Class entry, or, without one, its class GUID.
bool IsOfClass(HINF hInf, PCSTR pszInfClass)
{
    char szValue[MAX_PATH];
    ReadVersionValue(hInf, "Class", szValue, sizeof(szValue));
    if (szValue[0] != '\0')
        return lstrcmpiA(szValue, pszInfClass) == 0;
    ReadVersionValue(hInf, "ClassGUID", szValue, sizeof(szValue));
    return lstrcmpiA(pszInfClass, kPrinterClass) == 0 && lstrcmpiA(szValue, kPrinterClassGuid) == 0;
}

bool FileExists(const std::string& path)
{
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Whether each file of the driver record is where the spooler takes it from: a bare name in
// the driver directory (or among the installed version-3 files), a path where it points.
bool AreDriverFilesPresent(const DRIVER_INFO_3A& info)
{
    char szDirectory[MAX_PATH] = "";
    DWORD cbNeeded = 0;
    if (!::GetPrinterDriverDirectoryA(NULL, NULL, 1, (LPBYTE)szDirectory, sizeof(szDirectory), &cbNeeded))
        return true;  // nothing to compare with: the spooler decides
    std::vector<LPCSTR> files = { info.pDriverPath, info.pDataFile, info.pConfigFile, info.pHelpFile };
    for (LPCSTR pszFile = info.pDependentFiles; pszFile != NULL && *pszFile != '\0'; pszFile += strlen(pszFile) + 1)
        files.push_back(pszFile);
    for (LPCSTR pszFile : files) {
        if (IsEmpty(pszFile))
            continue;
        bool bFound = FindChar(pszFile, '\\') != NULL
                          ? FileExists(pszFile)
                          : FileExists(std::string(szDirectory) + "\\" + pszFile) ||
                                FileExists(std::string(szDirectory) + "\\3\\" + pszFile);
        if (!bFound)
            return false;
    }
    return true;
}

// Whether every port of a printer's port list (names separated by commas) is one the spooler
// lists.
bool AreKnownPorts(LPCSTR pszPorts)
{
    if (IsEmpty(pszPorts))
        return false;
    // Every monitor lists its ports on each call: one call does for a list that fits the
    // first buffer, a second is made only for a longer one.
    DWORD cbNeeded = 0;
    DWORD nPorts = 0;
    std::vector<BYTE> buffer(kPortListBytes);
    if (!::EnumPortsA(NULL, 1, buffer.data(), (DWORD)buffer.size(), &cbNeeded, &nPorts)) {
        if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER)
            return false;
        buffer.resize(cbNeeded);
        if (!::EnumPortsA(NULL, 1, buffer.data(), cbNeeded, &cbNeeded, &nPorts))
            return false;
    }
    const PORT_INFO_1A* pPorts = reinterpret_cast<const PORT_INFO_1A*>(buffer.data());

    std::string ports = pszPorts;
    for (size_t nStart = 0; nStart <= ports.size();) {
        size_t nEnd = ports.find(',', nStart);
        if (nEnd == std::string::npos)
            nEnd = ports.size();
        std::string port = ports.substr(nStart, nEnd - nStart);
        port.erase(0, port.find_first_not_of(' '));
        port.erase(port.find_last_not_of(' ') + 1);
        bool bKnown = false;
        for (DWORD i = 0; i < nPorts && !bKnown; ++i)
            bKnown = pPorts[i].pName != NULL && lstrcmpiA(pPorts[i].pName, port.c_str()) == 0;
        if (!bKnown)
            return false;
        nStart = nEnd + 1;
    }
    return true;
}

class SystemCalls : public Platform {
public:
    BOOL EnumPortsA(DWORD dwLevel, LPBYTE pPorts, DWORD cbBuf, LPDWORD pcbNeeded, LPDWORD pcReturned) override
    {
        return ::EnumPortsA(NULL, dwLevel, pPorts, cbBuf, pcbNeeded, pcReturned);
    }
    BOOL EnumMonitorsA(DWORD dwLevel, LPBYTE pMonitors, DWORD cbBuf, LPDWORD pcbNeeded, LPDWORD pcReturned) override
    {
        return ::EnumMonitorsA(NULL, dwLevel, pMonitors, cbBuf, pcbNeeded, pcReturned);
    }
    BOOL AddMonitorA(DWORD dwLevel, LPBYTE pMonitor) override
    {
        return ::AddMonitorA(NULL, dwLevel, pMonitor);
    }
    BOOL AddPortA(HWND hWnd, LPSTR pMonitorName) override
    {
        return ::AddPortA(NULL, hWnd, pMonitorName);
    }
    BOOL OpenPrinterA(LPSTR pPrinterName, LPHANDLE phPrinter, LPPRINTER_DEFAULTSA pDefault) override
    {
        return ::OpenPrinterA(pPrinterName, phPrinter, pDefault);
    }
    BOOL ClosePrinter(HANDLE hPrinter) override
    {
        return ::ClosePrinter(hPrinter);
    }
    BOOL GetPrinterDriverDirectoryA(LPSTR pEnvironment, DWORD dwLevel, LPBYTE pDirectory, DWORD cbBuf,
                                    LPDWORD pcbNeeded) override
    {
        return ::GetPrinterDriverDirectoryA(NULL, pEnvironment, dwLevel, pDirectory, cbBuf, pcbNeeded);
    }
    BOOL AddPrinterDriverExA(DWORD dwLevel, LPBYTE pDriverInfo, DWORD dwFileCopyFlags) override
    {
        // A driver needs its name and its driver, data and configuration files; some spoolers
        // register a record without them.
        const DRIVER_INFO_2A* pInfo = reinterpret_cast<const DRIVER_INFO_2A*>(pDriverInfo);
        if (dwLevel >= 2 && pInfo != NULL &&
            (IsEmpty(pInfo->pName) || IsEmpty(pInfo->pDriverPath) || IsEmpty(pInfo->pDataFile) ||
             IsEmpty(pInfo->pConfigFile))) {
            ::SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
        // Windows refuses a driver whose files are not there to take; some spoolers register it.
        if (dwLevel == 3 && pInfo != NULL &&
            !AreDriverFilesPresent(*reinterpret_cast<const DRIVER_INFO_3A*>(pDriverInfo))) {
            ::SetLastError(ERROR_FILE_NOT_FOUND);
            return FALSE;
        }
        return ::AddPrinterDriverExA(NULL, dwLevel, pDriverInfo, dwFileCopyFlags);
    }
    BOOL GetPrintProcessorDirectoryA(LPSTR pEnvironment, DWORD dwLevel, LPBYTE pDirectory, DWORD cbBuf,
                                     LPDWORD pcbNeeded) override
    {
        return ::GetPrintProcessorDirectoryA(NULL, pEnvironment, dwLevel, pDirectory, cbBuf, pcbNeeded);
    }
    BOOL EnumPrintProcessorsA(LPSTR pEnvironment, DWORD dwLevel, LPBYTE pProcessors, DWORD cbBuf, LPDWORD pcbNeeded,
                              LPDWORD pcReturned) override
    {
        return ::EnumPrintProcessorsA(NULL, pEnvironment, dwLevel, pProcessors, cbBuf, pcbNeeded, pcReturned);
    }
    BOOL EnumPrintersA(DWORD dwFlags, DWORD dwLevel, LPBYTE pPrinters, DWORD cbBuf, LPDWORD pcbNeeded,
                       LPDWORD pcReturned) override
    {
        return ::EnumPrintersA(dwFlags, NULL, dwLevel, pPrinters, cbBuf, pcbNeeded, pcReturned);
    }
    BOOL DeletePrintProcessorA(LPSTR pEnvironment, LPSTR pPrintProcessorName) override
    {
        return ::DeletePrintProcessorA(NULL, pEnvironment, pPrintProcessorName);
    }
    BOOL AddPrintProcessorA(LPSTR pEnvironment, LPSTR pPathName, LPSTR pPrintProcessorName) override
    {
        return ::AddPrintProcessorA(NULL, pEnvironment, pPathName, pPrintProcessorName);
    }
    HANDLE AddPrinterA(LPSTR pName, DWORD dwLevel, LPBYTE pPrinter) override
    {
        // A printer needs a port the spooler knows; some spoolers take any name.
        if (dwLevel == 2 && pPrinter != NULL && !AreKnownPorts(reinterpret_cast<PRINTER_INFO_2A*>(pPrinter)->pPortName)) {
            ::SetLastError(ERROR_UNKNOWN_PORT);
            return NULL;
        }
        // A printer without a data type records its jobs as RAW; some spoolers refuse it instead.
        if (dwLevel == 2 && pPrinter != NULL && IsEmpty(reinterpret_cast<PRINTER_INFO_2A*>(pPrinter)->pDatatype)) {
            PRINTER_INFO_2A info = *reinterpret_cast<PRINTER_INFO_2A*>(pPrinter);
            info.pDatatype = const_cast<LPSTR>(kRawDatatype);
            return ::AddPrinterA(pName, dwLevel, reinterpret_cast<LPBYTE>(&info));
        }
        return ::AddPrinterA(pName, dwLevel, pPrinter);
    }

    // Each connection to the service manager is a round trip to open and another to close, and
    // the wizard asks it at several steps: it keeps the first connection of each access for
    // its whole run, and closing one of those leaves it open.
    SC_HANDLE OpenSCManagerA(DWORD dwDesiredAccess) override
    {
        for (const KeptManager& kept : m_managers) {
            if (kept.dwAccess == dwDesiredAccess)
                return kept.hManager;
        }
        SC_HANDLE hManager = ::OpenSCManagerA(NULL, NULL, dwDesiredAccess);
        if (hManager != NULL)
            m_managers.push_back({ dwDesiredAccess, hManager });
        return hManager;
    }
    SC_HANDLE OpenServiceA(SC_HANDLE hManager, LPCSTR lpServiceName, DWORD dwDesiredAccess) override
    {
        return ::OpenServiceA(hManager, lpServiceName, dwDesiredAccess);
    }
    BOOL QueryServiceStatus(SC_HANDLE hService, LPSERVICE_STATUS lpStatus) override
    {
        return ::QueryServiceStatus(hService, lpStatus);
    }
    BOOL StartServiceA(SC_HANDLE hService) override
    {
        return ::StartServiceA(hService, 0, NULL);
    }
    BOOL ControlService(SC_HANDLE hService, DWORD dwControl, LPSERVICE_STATUS lpStatus) override
    {
        return ::ControlService(hService, dwControl, lpStatus);
    }
    BOOL EnumDependentServicesA(SC_HANDLE hService, DWORD dwServiceState, LPENUM_SERVICE_STATUSA lpServices,
                                DWORD cbBufSize, LPDWORD pcbBytesNeeded, LPDWORD lpServicesReturned) override
    {
        return ::EnumDependentServicesA(hService, dwServiceState, lpServices, cbBufSize, pcbBytesNeeded,
                                        lpServicesReturned);
    }
    BOOL CloseServiceHandle(SC_HANDLE hService) override
    {
        for (const KeptManager& kept : m_managers) {
            if (kept.hManager == hService)
                return TRUE;
        }
        return ::CloseServiceHandle(hService);
    }

    HINF SetupOpenInfFileA(PCSTR pszFileName, PCSTR pszInfClass, DWORD dwInfStyle, PUINT pErrorLine) override
    {
        HINF hInf = ::SetupOpenInfFileA(pszFileName, pszInfClass, dwInfStyle, pErrorLine);
        // Some parsers do not enforce the class; an INF of another class must not open.
        if (IsOpenInf(hInf) && pszInfClass != NULL && !IsOfClass(hInf, pszInfClass)) {
            ::SetupCloseInfFile(hInf);
            ::SetLastError(ERROR_CLASS_MISMATCH);
            return INVALID_HANDLE_VALUE;
        }
        return hInf;
    }
    BOOL SetupOpenAppendInfFileA(PCSTR pszFileName, HINF hInf, PUINT pErrorLine) override
    {
        return IsOpenInf(hInf) ? ::SetupOpenAppendInfFileA(pszFileName, hInf, pErrorLine) : InvalidInfHandle();
    }
    void SetupCloseInfFile(HINF hInf) override
    {
        if (IsOpenInf(hInf))
            ::SetupCloseInfFile(hInf);
    }
    BOOL SetupFindFirstLineA(HINF hInf, PCSTR pszSection, PCSTR pszKey, PINFCONTEXT pContext) override
    {
        return IsOpenInf(hInf) ? ::SetupFindFirstLineA(hInf, pszSection, pszKey, pContext) : InvalidInfHandle();
    }
    BOOL SetupFindNextLine(PINFCONTEXT pContextIn, PINFCONTEXT pContextOut) override
    {
        return ::SetupFindNextLine(pContextIn, pContextOut);
    }
    BOOL SetupFindNextMatchLineA(PINFCONTEXT pContextIn, PCSTR pszKey, PINFCONTEXT pContextOut) override
    {
        return ::SetupFindNextMatchLineA(pContextIn, pszKey, pContextOut);
    }
    DWORD SetupGetFieldCount(PINFCONTEXT pContext) override
    {
        return ::SetupGetFieldCount(pContext);
    }
    BOOL SetupGetStringFieldA(PINFCONTEXT pContext, DWORD dwFieldIndex, PSTR pszBuffer, DWORD cchBuffer,
                              PDWORD pcchRequired) override
    {
        return ::SetupGetStringFieldA(pContext, dwFieldIndex, pszBuffer, cchBuffer, pcchRequired);
    }
    LONG SetupGetLineCountA(HINF hInf, PCSTR pszSection) override
    {
        if (!IsOpenInf(hInf)) {
            InvalidInfHandle();
            return -1;
        }
        return ::SetupGetLineCountA(hInf, pszSection);
    }
    BOOL SetupGetLineTextA(PINFCONTEXT pContext, HINF hInf, PCSTR pszSection, PCSTR pszKey, PSTR pszBuffer,
                           DWORD cchBuffer, PDWORD pcchRequired) override
    {
        if (pContext == NULL && !IsOpenInf(hInf))
            return InvalidInfHandle();
        return ::SetupGetLineTextA(pContext, hInf, pszSection, pszKey, pszBuffer, cchBuffer, pcchRequired);
    }
    LONG RegOpenKeyExA(HKEY hKey, LPCSTR pszSubKey, REGSAM samDesired, PHKEY phkResult) override
    {
        return ::RegOpenKeyExA(hKey, pszSubKey, 0, samDesired, phkResult);
    }
    LONG RegQueryInfoKeyA(HKEY hKey, LPDWORD pcSubKeys) override
    {
        return ::RegQueryInfoKeyA(hKey, NULL, NULL, NULL, pcSubKeys, NULL, NULL, NULL, NULL, NULL, NULL, NULL);
    }
    LONG RegEnumKeyExA(HKEY hKey, DWORD dwIndex, LPSTR pszName, LPDWORD pcchName) override
    {
        return ::RegEnumKeyExA(hKey, dwIndex, pszName, pcchName, NULL, NULL, NULL, NULL);
    }
    LONG RegQueryValueExA(HKEY hKey, LPCSTR pszValueName, LPBYTE pData, LPDWORD pcbData) override
    {
        return ::RegQueryValueExA(hKey, pszValueName, NULL, NULL, pData, pcbData);
    }
    LONG RegCloseKey(HKEY hKey) override
    {
        return ::RegCloseKey(hKey);
    }
    BOOL SetupCopyOEMInfA(PCSTR pszSourceInfFileName, PCSTR pszMediaLocation, DWORD dwMediaType, DWORD dwCopyStyle,
                          PSTR pszDestinationInfFileName, DWORD cchDestination, PDWORD pcchRequired,
                          PSTR* ppszDestinationComponent) override
    {
        return ::SetupCopyOEMInfA(pszSourceInfFileName, pszMediaLocation, dwMediaType, dwCopyStyle,
                                  pszDestinationInfFileName, cchDestination, pcchRequired,
                                  ppszDestinationComponent);
    }

private:
    struct KeptManager {
        DWORD dwAccess;
        SC_HANDLE hManager;
    };
    std::vector<KeptManager> m_managers;
};

} // namespace

Platform& SystemPlatform()
{
    static SystemCalls calls;
    return calls;
}
