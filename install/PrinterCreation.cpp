// Creating the printer on the installed driver, local and never shared.
#include "install/PrinterCreation.h"
#include "base/Messages.h"
#include "framework/WaitCursor.h"
#include "platform/Platform.h"

namespace {

const char kDefaultPrintProcessor[] = "WinPrint";
const char kServerService[] = "lanmanserver";

// Reads the state of the server service; shows the system's text when it cannot.
void QueryServerService()
{
    Platform& platform = ThePlatform();
    SC_HANDLE hManager = platform.OpenSCManagerA(SC_MANAGER_ALL_ACCESS);
    SC_HANDLE hService = hManager ? platform.OpenServiceA(hManager, kServerService, SERVICE_ALL_ACCESS) : NULL;
    SERVICE_STATUS status;
    BOOL bRead = hService != NULL && platform.QueryServiceStatus(hService, &status);
    DWORD dwError = ::GetLastError();
    if (hService != NULL)
        platform.CloseServiceHandle(hService);
    if (hManager != NULL)
        platform.CloseServiceHandle(hManager);
    if (!bRead)
        ShowSystemError(NULL, dwError);
}

} // namespace

BOOL CreatePrinter(LPSTR pszServerName, LPCSTR pszPrinterName, LPCSTR pszDriverName, LPCSTR pszPortName,
                   LPCSTR pszComment, LPCSTR pszLocation, LPCSTR pszSepFile, LPCSTR pszPrintProcessor)
{
    CWaitCursor wait;
    PRINTER_INFO_2A info;
    ZeroMemory(&info, sizeof(info));
    info.pPrinterName = const_cast<LPSTR>(pszPrinterName);
    info.pPortName = const_cast<LPSTR>(pszPortName);
    info.pDriverName = const_cast<LPSTR>(pszDriverName);
    info.pComment = const_cast<LPSTR>(pszComment);
    info.pLocation = const_cast<LPSTR>(pszLocation);
    info.pSepFile = const_cast<LPSTR>(pszSepFile);
    info.pPrintProcessor = const_cast<LPSTR>(pszPrintProcessor == NULL || pszPrintProcessor[0] == '\0'
                                                 ? kDefaultPrintProcessor
                                                 : pszPrintProcessor);

    QueryServerService();

    Platform& platform = ThePlatform();
    HANDLE hPrinter = platform.AddPrinterA(pszServerName, 2, reinterpret_cast<LPBYTE>(&info));
    if (hPrinter == NULL) {
        ShowSystemError(NULL, ::GetLastError());
        return FALSE;
    }
    platform.ClosePrinter(hPrinter);
    return TRUE;
}
