// The boundary to the print spooler, the service control manager and the INF parser: the
// only way the program reaches them. Calls are ANSI, on the local machine, and answer as the
// system's calls of the same name do (result, last error, filled buffers). The shipped
// program forwards to the system; a test can put a scripted platform in its place.
#pragma once
#include <windows.h>
#include <setupapi.h>
#include <winspool.h>

class Platform {
public:
    virtual ~Platform() {}

    // Print spooler. Enumerations answer the size query (no buffer) with
    // ERROR_INSUFFICIENT_BUFFER and the bytes needed, then fill a buffer of that size. A driver
    // record without its name or its driver, data or configuration file is refused, and one whose
    // files are not in the driver directory fails with ERROR_FILE_NOT_FOUND; a printer on
    // a port the spooler does not list is refused; a printer without a data type is given RAW.
    virtual BOOL EnumPortsA(DWORD dwLevel, LPBYTE pPorts, DWORD cbBuf, LPDWORD pcbNeeded, LPDWORD pcReturned) = 0;
    virtual BOOL EnumMonitorsA(DWORD dwLevel, LPBYTE pMonitors, DWORD cbBuf, LPDWORD pcbNeeded,
                               LPDWORD pcReturned) = 0;
    virtual BOOL AddMonitorA(DWORD dwLevel, LPBYTE pMonitor) = 0;
    virtual BOOL AddPortA(HWND hWnd, LPSTR pMonitorName) = 0;
    virtual BOOL OpenPrinterA(LPSTR pPrinterName, LPHANDLE phPrinter, LPPRINTER_DEFAULTSA pDefault) = 0;
    virtual BOOL ClosePrinter(HANDLE hPrinter) = 0;
    virtual BOOL GetPrinterDriverDirectoryA(LPSTR pEnvironment, DWORD dwLevel, LPBYTE pDirectory, DWORD cbBuf,
                                            LPDWORD pcbNeeded) = 0;
    virtual BOOL AddPrinterDriverExA(DWORD dwLevel, LPBYTE pDriverInfo, DWORD dwFileCopyFlags) = 0;
    virtual BOOL GetPrintProcessorDirectoryA(LPSTR pEnvironment, DWORD dwLevel, LPBYTE pDirectory, DWORD cbBuf,
                                             LPDWORD pcbNeeded) = 0;
    virtual BOOL EnumPrintProcessorsA(LPSTR pEnvironment, DWORD dwLevel, LPBYTE pProcessors, DWORD cbBuf,
                                      LPDWORD pcbNeeded, LPDWORD pcReturned) = 0;
    virtual BOOL EnumPrintersA(DWORD dwFlags, DWORD dwLevel, LPBYTE pPrinters, DWORD cbBuf, LPDWORD pcbNeeded,
                               LPDWORD pcReturned) = 0;
    virtual BOOL DeletePrintProcessorA(LPSTR pEnvironment, LPSTR pPrintProcessorName) = 0;
    virtual BOOL AddPrintProcessorA(LPSTR pEnvironment, LPSTR pPathName, LPSTR pPrintProcessorName) = 0;
    virtual HANDLE AddPrinterA(LPSTR pName, DWORD dwLevel, LPBYTE pPrinter) = 0;

    // Service control manager.
    virtual SC_HANDLE OpenSCManagerA(DWORD dwDesiredAccess) = 0;
    virtual SC_HANDLE OpenServiceA(SC_HANDLE hManager, LPCSTR lpServiceName, DWORD dwDesiredAccess) = 0;
    virtual BOOL QueryServiceStatus(SC_HANDLE hService, LPSERVICE_STATUS lpStatus) = 0;
    virtual BOOL StartServiceA(SC_HANDLE hService) = 0;
    virtual BOOL ControlService(SC_HANDLE hService, DWORD dwControl, LPSERVICE_STATUS lpStatus) = 0;
    virtual BOOL EnumDependentServicesA(SC_HANDLE hService, DWORD dwServiceState, LPENUM_SERVICE_STATUSA lpServices,
                                        DWORD cbBufSize, LPDWORD pcbBytesNeeded, LPDWORD lpServicesReturned) = 0;
    virtual BOOL CloseServiceHandle(SC_HANDLE hService) = 0;

    // The registry, where the spooler keeps its monitors and their ports: read only, as the
    // system's calls of the same name read it.
    virtual LONG RegOpenKeyExA(HKEY hKey, LPCSTR pszSubKey, REGSAM samDesired, PHKEY phkResult) = 0;
    virtual LONG RegQueryInfoKeyA(HKEY hKey, LPDWORD pcSubKeys) = 0;
    virtual LONG RegEnumKeyExA(HKEY hKey, DWORD dwIndex, LPSTR pszName, LPDWORD pcchName) = 0;
    virtual LONG RegQueryValueExA(HKEY hKey, LPCSTR pszValueName, LPBYTE pData, LPDWORD pcbData) = 0;
    virtual LONG RegCloseKey(HKEY hKey) = 0;

    // INF parser. An INF that is not of the class asked for, or not of the style, does not
    // open; every call on a handle that did not open fails with ERROR_INVALID_HANDLE.
    virtual HINF SetupOpenInfFileA(PCSTR pszFileName, PCSTR pszInfClass, DWORD dwInfStyle, PUINT pErrorLine) = 0;
    virtual BOOL SetupOpenAppendInfFileA(PCSTR pszFileName, HINF hInf, PUINT pErrorLine) = 0;
    virtual void SetupCloseInfFile(HINF hInf) = 0;
    virtual BOOL SetupFindFirstLineA(HINF hInf, PCSTR pszSection, PCSTR pszKey, PINFCONTEXT pContext) = 0;
    virtual BOOL SetupFindNextLine(PINFCONTEXT pContextIn, PINFCONTEXT pContextOut) = 0;
    virtual BOOL SetupFindNextMatchLineA(PINFCONTEXT pContextIn, PCSTR pszKey, PINFCONTEXT pContextOut) = 0;
    virtual DWORD SetupGetFieldCount(PINFCONTEXT pContext) = 0;
    virtual BOOL SetupGetStringFieldA(PINFCONTEXT pContext, DWORD dwFieldIndex, PSTR pszBuffer, DWORD cchBuffer,
                                      PDWORD pcchRequired) = 0;
    virtual LONG SetupGetLineCountA(HINF hInf, PCSTR pszSection) = 0;
    virtual BOOL SetupGetLineTextA(PINFCONTEXT pContext, HINF hInf, PCSTR pszSection, PCSTR pszKey,
                                   PSTR pszBuffer, DWORD cchBuffer, PDWORD pcchRequired) = 0;
    virtual BOOL SetupCopyOEMInfA(PCSTR pszSourceInfFileName, PCSTR pszMediaLocation, DWORD dwMediaType,
                                  DWORD dwCopyStyle, PSTR pszDestinationInfFileName, DWORD cchDestination,
                                  PDWORD pcchRequired, PSTR* ppszDestinationComponent) = 0;
};

// The platform in use: the system's, unless a test put another in its place.
Platform& ThePlatform();
// Puts a platform in place (NULL: the system's again) and returns the one it replaced.
Platform* SetPlatform(Platform* pPlatform);

// The system's platform, for a replacement that forwards some calls to it.
Platform& SystemPlatform();
