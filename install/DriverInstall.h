// Printer driver installation.
#pragma once
#include <windows.h>

// Copies the driver files, installs the INF among the system's OEM INF files and registers
// the driver; TRUE when the driver was registered. Shows its own failure messages.
BOOL InstallPrinterDriver(LPCSTR pszInfFile, LPCSTR pszDriverName, LPCSTR pszEnvironment);
