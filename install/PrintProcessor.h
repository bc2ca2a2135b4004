// The package's print processor: its file put into the spooler's print processor directory
// and registered under its name.
#pragma once
#include <windows.h>

// Replaces an installed processor of the same name (see RemovePrintProcessor), copies the file
// from the current directory and registers it. Reports only an unreadable processor list.
void InstallPrintProcessor(LPCSTR pszProcessorName, LPCSTR pszFileName, LPCSTR pszEnvironment);
// Makes room for a new processor of this name: unregisters one that no local printer uses;
// for one in use, moves its file aside under a temporary name and keeps it registered.
// Returns the result of the last spooler call, FALSE when the processor list is unreadable.
BOOL RemovePrintProcessor(LPCSTR pszProcessorName, LPCSTR pszEnvironment, LPCSTR pszFileName);
