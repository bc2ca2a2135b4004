// Creating the printer on the installed driver, local and never shared.
#pragma once
#include <windows.h>

// Creates the printer with the print processor (the spooler's own when none is named); TRUE
// when the spooler made it. Shows its own failure messages.
BOOL CreatePrinter(LPSTR pszServerName, LPCSTR pszPrinterName, LPCSTR pszDriverName, LPCSTR pszPortName,
                   LPCSTR pszComment, LPCSTR pszLocation, LPCSTR pszSepFile, LPCSTR pszPrintProcessor);
