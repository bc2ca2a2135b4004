#include "tests/harness/ScriptedPlatform.h"
#include <algorithm>
#include <string.h>

namespace harness {

namespace {

const UINT_PTR kFirstPrinter = 0x3000;

// Lays out records and their strings as the spooler does: the records first, their strings
// after them. Too small a buffer gets the size needed and dwSizeError.
template <typename Record, typename Item, typename Fill>
BOOL Pack(const std::vector<Item>& items, LPBYTE pBuffer, DWORD cbBuffer, LPDWORD pcbNeeded, LPDWORD pcReturned,
          DWORD dwSizeError, Fill fill)
{
    DWORD cbNeeded = (DWORD)(items.size() * sizeof(Record));
    for (const Item& item : items) {
        Record record = {};
        fill(record, item, [&](const std::string& text) {
            cbNeeded += (DWORD)text.size() + 1;
            return (LPSTR)NULL;
        });
    }
    *pcbNeeded = cbNeeded;
    if (pcReturned != NULL)
        *pcReturned = 0;
    if (cbNeeded > 0 && (pBuffer == NULL || cbBuffer < cbNeeded)) {
        ::SetLastError(dwSizeError);
        return FALSE;
    }
    Record* pRecords = reinterpret_cast<Record*>(pBuffer);
    LPSTR pText = reinterpret_cast<LPSTR>(pBuffer + items.size() * sizeof(Record));
    for (size_t i = 0; i < items.size(); ++i) {
        Record record = {};
        fill(record, items[i], [&](const std::string& text) {
            LPSTR pCopy = pText;
            memcpy(pCopy, text.c_str(), text.size() + 1);
            pText += text.size() + 1;
            return pCopy;
        });
        pRecords[i] = record;
    }
    if (pcReturned != NULL)
        *pcReturned = (DWORD)items.size();
    return TRUE;
}

// A level of records the model does not keep is refused, as the spooler refuses one it does not
// know, never answered with records of another level.
template <typename Result>
Result UnknownLevel(Result result)
{
    ::SetLastError(ERROR_INVALID_LEVEL);
    return result;
}

BOOL CopyDirectory(const std::string& directory, DWORD dwLevel, LPBYTE pBuffer, DWORD cbBuf, LPDWORD pcbNeeded)
{
    if (dwLevel != 1)
        return UnknownLevel(FALSE);
    *pcbNeeded = (DWORD)directory.size() + 1;
    if (pBuffer == NULL || cbBuf < *pcbNeeded) {
        ::SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    memcpy(pBuffer, directory.c_str(), directory.size() + 1);
    return TRUE;
}

} // namespace

ScriptedPlatform::ScriptedPlatform()
{
    services["Spooler"] = Service();
    m_pPrevious = SetPlatform(this);
}

ScriptedPlatform::~ScriptedPlatform()
{
    SetPlatform(m_pPrevious);
}

void ScriptedPlatform::Fail(const std::string& call, DWORD dwError)
{
    m_failures[call] = dwError;
}

void ScriptedPlatform::FailCall(size_t k, DWORD dwError)
{
    m_nFailedCall = calls.size() + k;
    m_dwFailedCallError = dwError;
}

bool ScriptedPlatform::Call(const std::string& operation, const std::string& arguments)
{
    std::string call = arguments.empty() ? operation : operation + " " + arguments;
    calls.push_back(call);
    if (calls.size() - 1 == m_nFailedCall) {
        ::SetLastError(m_dwFailedCallError);
        return true;
    }
    auto failure = m_failures.find(call);
    if (failure == m_failures.end())
        failure = m_failures.find(operation);
    if (failure == m_failures.end())
        return false;
    ::SetLastError(failure->second);
    return true;
}

std::vector<std::string> ScriptedPlatform::CallsTo(const std::string& operation) const
{
    std::vector<std::string> arguments;
    for (const std::string& call : calls) {
        if (call == operation)
            arguments.push_back(std::string());
        else if (call.compare(0, operation.size() + 1, operation + " ") == 0)
            arguments.push_back(call.substr(operation.size() + 1));
    }
    return arguments;
}

// ---- Print spooler

BOOL ScriptedPlatform::EnumPortsA(DWORD dwLevel, LPBYTE pPorts, DWORD cbBuf, LPDWORD pcbNeeded, LPDWORD pcReturned)
{
    if (Call("EnumPortsA", std::to_string(dwLevel) + " " + std::to_string(cbBuf)))
        return FALSE;
    if (dwLevel != 2)
        return UnknownLevel(FALSE);
    return Pack<PORT_INFO_2A>(ports, pPorts, cbBuf, pcbNeeded, pcReturned, ERROR_INSUFFICIENT_BUFFER,
                              [](PORT_INFO_2A& record, const Port& port, auto text) {
                                  record.pPortName = text(port.name);
                                  record.pMonitorName = text(port.monitor);
                                  record.pDescription = text(port.description);
                                  record.fPortType = PORT_TYPE_WRITE;
                              });
}

BOOL ScriptedPlatform::EnumMonitorsA(DWORD dwLevel, LPBYTE pMonitors, DWORD cbBuf, LPDWORD pcbNeeded,
                                     LPDWORD pcReturned)
{
    if (Call("EnumMonitorsA", std::to_string(dwLevel) + " " + std::to_string(cbBuf)))
        return FALSE;
    if (dwLevel != 2)
        return UnknownLevel(FALSE);
    return Pack<MONITOR_INFO_2A>(monitors, pMonitors, cbBuf, pcbNeeded, pcReturned, ERROR_INSUFFICIENT_BUFFER,
                                 [](MONITOR_INFO_2A& record, const Monitor& monitor, auto text) {
                                     record.pName = text(monitor.name);
                                     record.pEnvironment = text(monitor.environment);
                                     record.pDLLName = text(monitor.dll);
                                 });
}

BOOL ScriptedPlatform::AddMonitorA(DWORD dwLevel, LPBYTE pMonitor)
{
    const MONITOR_INFO_2A* pInfo = reinterpret_cast<const MONITOR_INFO_2A*>(pMonitor);
    if (dwLevel != 2)
        return Call("AddMonitorA", std::to_string(dwLevel)) ? FALSE : UnknownLevel(FALSE);
    if (Call("AddMonitorA", std::to_string(dwLevel) + " " + Text(pInfo->pName) + "|" + Text(pInfo->pEnvironment) +
                                "|" + Text(pInfo->pDLLName)))
        return FALSE;
    for (const Monitor& monitor : monitors) {
        if (SameName(monitor.name, pInfo->pName)) {
            ::SetLastError(ERROR_PRINT_MONITOR_ALREADY_INSTALLED);
            return FALSE;
        }
    }
    monitors.push_back(Monitor{ pInfo->pName, pInfo->pEnvironment ? pInfo->pEnvironment : "", pInfo->pDLLName });
    return TRUE;
}

BOOL ScriptedPlatform::AddPortA(HWND hWnd, LPSTR pMonitorName)
{
    if (Call("AddPortA", Text(pMonitorName)))
        return FALSE;
    if (whileAddingPort)
        whileAddingPort(hWnd);
    if (portToAdd.empty()) {
        ::SetLastError(ERROR_CANCELLED);
        return FALSE;
    }
    ports.push_back(Port{ portToAdd, pMonitorName, "" });
    return TRUE;
}

BOOL ScriptedPlatform::OpenPrinterA(LPSTR pPrinterName, LPHANDLE phPrinter, LPPRINTER_DEFAULTSA)
{
    if (Call("OpenPrinterA", Text(pPrinterName)))
        return FALSE;
    for (size_t i = 0; i < printers.size(); ++i) {
        if (SameName(printers[i].name, Text(pPrinterName))) {
            *phPrinter = reinterpret_cast<HANDLE>(kFirstPrinter + i);
            m_openPrinters.insert(*phPrinter);
            return TRUE;
        }
    }
    ::SetLastError(ERROR_INVALID_PRINTER_NAME);
    return FALSE;
}

BOOL ScriptedPlatform::ClosePrinter(HANDLE hPrinter)
{
    auto open = m_openPrinters.find(hPrinter);
    m_bClosedUnknownPrinter = m_bClosedUnknownPrinter || open == m_openPrinters.end();
    if (open != m_openPrinters.end())
        m_openPrinters.erase(open);
    return !Call("ClosePrinter");
}

BOOL ScriptedPlatform::GetPrinterDriverDirectoryA(LPSTR pEnvironment, DWORD dwLevel, LPBYTE pDirectory, DWORD cbBuf,
                                                  LPDWORD pcbNeeded)
{
    if (Call("GetPrinterDriverDirectoryA", Text(pEnvironment) + " " + std::to_string(dwLevel) + " " +
                                               std::to_string(cbBuf)))
        return FALSE;
    return CopyDirectory(driverDirectory, dwLevel, pDirectory, cbBuf, pcbNeeded);
}

BOOL ScriptedPlatform::AddPrinterDriverExA(DWORD dwLevel, LPBYTE pDriverInfo, DWORD dwFileCopyFlags)
{
    const DRIVER_INFO_3A* pInfo = reinterpret_cast<const DRIVER_INFO_3A*>(pDriverInfo);
    if (dwLevel != 3)
        return Call("AddPrinterDriverExA", std::to_string(dwLevel)) ? FALSE : UnknownLevel(FALSE);
    if (Call("AddPrinterDriverExA", std::to_string(dwLevel) + " " + Text(pInfo->pName) + " " +
                                        std::to_string(dwFileCopyFlags)))
        return FALSE;
    Driver driver = { Text(pInfo->pName), Text(pInfo->pDriverPath), Text(pInfo->pDataFile),
                      Text(pInfo->pConfigFile), Text(pInfo->pHelpFile), {}, Text(pInfo->pDefaultDataType),
                      dwFileCopyFlags };
    for (LPCSTR pszFile = pInfo->pDependentFiles; pszFile != NULL && *pszFile; pszFile += strlen(pszFile) + 1)
        driver.dependentFiles.push_back(pszFile);
    drivers.push_back(driver);
    return TRUE;
}

BOOL ScriptedPlatform::GetPrintProcessorDirectoryA(LPSTR pEnvironment, DWORD dwLevel, LPBYTE pDirectory, DWORD cbBuf,
                                                   LPDWORD pcbNeeded)
{
    if (Call("GetPrintProcessorDirectoryA", Text(pEnvironment) + " " + std::to_string(dwLevel) + " " +
                                                std::to_string(cbBuf)))
        return FALSE;
    return CopyDirectory(processorDirectory, dwLevel, pDirectory, cbBuf, pcbNeeded);
}

BOOL ScriptedPlatform::EnumPrintProcessorsA(LPSTR pEnvironment, DWORD dwLevel, LPBYTE pProcessors, DWORD cbBuf,
                                            LPDWORD pcbNeeded, LPDWORD pcReturned)
{
    if (Call("EnumPrintProcessorsA", Text(pEnvironment) + " " + std::to_string(dwLevel) + " " +
                                         std::to_string(cbBuf)))
        return FALSE;
    if (dwLevel != 1)
        return UnknownLevel(FALSE);
    return Pack<PRINTPROCESSOR_INFO_1A>(printProcessors, pProcessors, cbBuf, pcbNeeded, pcReturned,
                                        ERROR_INSUFFICIENT_BUFFER,
                                        [](PRINTPROCESSOR_INFO_1A& record, const std::string& name, auto text) {
                                            record.pName = text(name);
                                        });
}

BOOL ScriptedPlatform::EnumPrintersA(DWORD dwFlags, DWORD dwLevel, LPBYTE pPrinters, DWORD cbBuf, LPDWORD pcbNeeded,
                                     LPDWORD pcReturned)
{
    if (Call("EnumPrintersA", std::to_string(dwFlags) + " " + std::to_string(dwLevel) + " " + std::to_string(cbBuf)))
        return FALSE;
    if (dwLevel != 2)
        return UnknownLevel(FALSE);
    return Pack<PRINTER_INFO_2A>(printers, pPrinters, cbBuf, pcbNeeded, pcReturned, ERROR_INSUFFICIENT_BUFFER,
                                 [](PRINTER_INFO_2A& record, const Printer& printer, auto text) {
                                     record.pPrinterName = text(printer.name);
                                     record.pPortName = text(printer.port);
                                     record.pDriverName = text(printer.driver);
                                     record.pPrintProcessor = text(printer.printProcessor);
                                 });
}

BOOL ScriptedPlatform::DeletePrintProcessorA(LPSTR pEnvironment, LPSTR pPrintProcessorName)
{
    if (Call("DeletePrintProcessorA", Text(pEnvironment) + " " + Text(pPrintProcessorName)))
        return FALSE;
    std::vector<std::string>::iterator it =
        std::find(printProcessors.begin(), printProcessors.end(), Text(pPrintProcessorName));
    if (it == printProcessors.end()) {
        ::SetLastError(ERROR_UNKNOWN_PRINTPROCESSOR);
        return FALSE;
    }
    // The spooler keeps a processor that a printer uses.
    if (std::any_of(printers.begin(), printers.end(), [&](const Printer& p) { return p.printProcessor == *it; })) {
        ::SetLastError(ERROR_CAN_NOT_COMPLETE);
        return FALSE;
    }
    printProcessors.erase(it);
    return TRUE;
}

BOOL ScriptedPlatform::AddPrintProcessorA(LPSTR pEnvironment, LPSTR pPathName, LPSTR pPrintProcessorName)
{
    if (Call("AddPrintProcessorA", Text(pEnvironment) + " " + Text(pPathName) + " " + Text(pPrintProcessorName)))
        return FALSE;
    if (std::find(printProcessors.begin(), printProcessors.end(), Text(pPrintProcessorName)) !=
        printProcessors.end()) {
        ::SetLastError(ERROR_PRINT_PROCESSOR_ALREADY_INSTALLED);
        return FALSE;
    }
    printProcessors.push_back(pPrintProcessorName);
    return TRUE;
}

HANDLE ScriptedPlatform::AddPrinterA(LPSTR pName, DWORD dwLevel, LPBYTE pPrinter)
{
    const PRINTER_INFO_2A* pInfo = reinterpret_cast<const PRINTER_INFO_2A*>(pPrinter);
    if (dwLevel != 2)
        return Call("AddPrinterA", Text(pName) + " " + std::to_string(dwLevel)) ? NULL : UnknownLevel<HANDLE>(NULL);
    if (Call("AddPrinterA", Text(pName) + " " + std::to_string(dwLevel) + " " + Text(pInfo->pPrinterName) + "|" +
                                Text(pInfo->pPortName) + "|" + Text(pInfo->pDriverName) + "|" +
                                Text(pInfo->pPrintProcessor) + "|" + Text(pInfo->pShareName) + "|" +
                                std::to_string(pInfo->Attributes)))
        return NULL;
    for (const Printer& printer : printers) {
        if (SameName(printer.name, Text(pInfo->pPrinterName))) {
            ::SetLastError(ERROR_PRINTER_ALREADY_EXISTS);
            return NULL;
        }
    }
    printers.push_back(Printer{ Text(pInfo->pPrinterName), Text(pInfo->pPortName), Text(pInfo->pDriverName),
                                Text(pInfo->pPrintProcessor), Text(pInfo->pShareName) });
    return *m_openPrinters.insert(reinterpret_cast<HANDLE>(kFirstPrinter + printers.size() - 1));
}

// ---- INF parser: the system's, through the shipped boundary

HINF ScriptedPlatform::SetupOpenInfFileA(PCSTR pszFileName, PCSTR pszInfClass, DWORD dwInfStyle, PUINT pErrorLine)
{
    if (Call("SetupOpenInfFileA", Text(pszFileName) + " " + Text(pszInfClass)))
        return INVALID_HANDLE_VALUE;
    return SystemPlatform().SetupOpenInfFileA(pszFileName, pszInfClass, dwInfStyle, pErrorLine);
}

BOOL ScriptedPlatform::SetupOpenAppendInfFileA(PCSTR pszFileName, HINF hInf, PUINT pErrorLine)
{
    if (Call("SetupOpenAppendInfFileA", Text(pszFileName)))
        return FALSE;
    return SystemPlatform().SetupOpenAppendInfFileA(pszFileName, hInf, pErrorLine);
}

void ScriptedPlatform::SetupCloseInfFile(HINF hInf)
{
    Call("SetupCloseInfFile");
    SystemPlatform().SetupCloseInfFile(hInf);
}

BOOL ScriptedPlatform::SetupFindFirstLineA(HINF hInf, PCSTR pszSection, PCSTR pszKey, PINFCONTEXT pContext)
{
    if (Call("SetupFindFirstLineA", Text(pszSection) + " " + Text(pszKey)))
        return FALSE;
    return SystemPlatform().SetupFindFirstLineA(hInf, pszSection, pszKey, pContext);
}

BOOL ScriptedPlatform::SetupFindNextMatchLineA(PINFCONTEXT pContextIn, PCSTR pszKey, PINFCONTEXT pContextOut)
{
    if (Call("SetupFindNextMatchLineA", Text(pszKey)))
        return FALSE;
    return SystemPlatform().SetupFindNextMatchLineA(pContextIn, pszKey, pContextOut);
}

BOOL ScriptedPlatform::SetupFindNextLine(PINFCONTEXT pContextIn, PINFCONTEXT pContextOut)
{
    if (Call("SetupFindNextLine"))
        return FALSE;
    return SystemPlatform().SetupFindNextLine(pContextIn, pContextOut);
}

DWORD ScriptedPlatform::SetupGetFieldCount(PINFCONTEXT pContext)
{
    if (Call("SetupGetFieldCount"))
        return 0;
    return SystemPlatform().SetupGetFieldCount(pContext);
}

BOOL ScriptedPlatform::SetupGetStringFieldA(PINFCONTEXT pContext, DWORD dwFieldIndex, PSTR pszBuffer,
                                            DWORD cchBuffer, PDWORD pcchRequired)
{
    if (Call("SetupGetStringFieldA", std::to_string(dwFieldIndex) + " " + std::to_string(cchBuffer)))
        return FALSE;
    return SystemPlatform().SetupGetStringFieldA(pContext, dwFieldIndex, pszBuffer, cchBuffer, pcchRequired);
}

LONG ScriptedPlatform::SetupGetLineCountA(HINF hInf, PCSTR pszSection)
{
    if (Call("SetupGetLineCountA", Text(pszSection)))
        return -1;
    return SystemPlatform().SetupGetLineCountA(hInf, pszSection);
}

BOOL ScriptedPlatform::SetupGetLineTextA(PINFCONTEXT pContext, HINF hInf, PCSTR pszSection, PCSTR pszKey,
                                         PSTR pszBuffer, DWORD cchBuffer, PDWORD pcchRequired)
{
    if (Call("SetupGetLineTextA", Text(pszSection) + " " + std::to_string(cchBuffer)))
        return FALSE;
    return SystemPlatform().SetupGetLineTextA(pContext, hInf, pszSection, pszKey, pszBuffer, cchBuffer,
                                              pcchRequired);
}

BOOL ScriptedPlatform::SetupCopyOEMInfA(PCSTR pszSourceInfFileName, PCSTR pszMediaLocation, DWORD dwMediaType,
                                        DWORD dwCopyStyle, PSTR pszDestinationInfFileName, DWORD cchDestination,
                                        PDWORD pcchRequired, PSTR* ppszDestinationComponent)
{
    if (Call("SetupCopyOEMInfA", Text(pszSourceInfFileName) + " " + std::to_string(dwMediaType) + " " +
                                     std::to_string(dwCopyStyle)))
        return FALSE;
    return SystemPlatform().SetupCopyOEMInfA(pszSourceInfFileName, pszMediaLocation, dwMediaType, dwCopyStyle,
                                             pszDestinationInfFileName, cchDestination, pcchRequired,
                                             ppszDestinationComponent);
}

// ---- Registry

LONG ScriptedPlatform::RegOpenKeyExA(HKEY hKey, LPCSTR pszSubKey, REGSAM samDesired, PHKEY phkResult)
{
    return Call("RegOpenKeyExA", Text(pszSubKey)) ? (LONG)::GetLastError()
                                                   : SystemPlatform().RegOpenKeyExA(hKey, pszSubKey, samDesired, phkResult);
}

LONG ScriptedPlatform::RegQueryInfoKeyA(HKEY hKey, LPDWORD pcSubKeys)
{
    return Call("RegQueryInfoKeyA") ? (LONG)::GetLastError() : SystemPlatform().RegQueryInfoKeyA(hKey, pcSubKeys);
}

LONG ScriptedPlatform::RegEnumKeyExA(HKEY hKey, DWORD dwIndex, LPSTR pszName, LPDWORD pcchName)
{
    return Call("RegEnumKeyExA", std::to_string(dwIndex)) ? (LONG)::GetLastError()
                                                          : SystemPlatform().RegEnumKeyExA(hKey, dwIndex, pszName, pcchName);
}

LONG ScriptedPlatform::RegQueryValueExA(HKEY hKey, LPCSTR pszValueName, LPBYTE pData, LPDWORD pcbData)
{
    return Call("RegQueryValueExA", Text(pszValueName) + (pData == NULL ? " size" : ""))
               ? (LONG)::GetLastError()
               : SystemPlatform().RegQueryValueExA(hKey, pszValueName, pData, pcbData);
}

LONG ScriptedPlatform::RegCloseKey(HKEY hKey)
{
    return Call("RegCloseKey") ? (LONG)::GetLastError() : SystemPlatform().RegCloseKey(hKey);
}

} // namespace harness
