// Registering the package's printer driver from its INF.
#pragma once
#include "framework/String.h"

// Registers the package's driver from its INF (print processor, files, OEM INF copy); TRUE when
// the spooler took it. strPrintProcessor receives the INF's print processor name. Shows its
// own failure messages.
BOOL InstallPrinterDriver(LPCSTR pszInfFile, LPCSTR pszDriverName, LPCSTR pszEnvironment, CString& strPrintProcessor);
// TRUE when the INF names a catalog file that the current directory holds and is not empty.
BOOL HasCatalogFile(LPCSTR pszInfFile);
