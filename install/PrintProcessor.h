// The package's print processor: its file put into the spooler's print processor directory
// and registered under its name.
#pragma once
#include <windows.h>

// What making room for the new processor did, so that a failure after it can be put right.
struct ProcessorRemoval {
    BOOL bUnregistered;  // an installed processor of the name was unregistered
    char* pszAside;      // MAX_PATH + 1 bytes, the caller's: the temporary name the file of a
                         // processor in use was moved to, or empty
};

// Replaces an installed processor of the same name (see RemovePrintProcessor), copies the file
// from the current directory and registers it; TRUE when the new processor is in place. On a
// failure, told here or by the shell's copy, the old processor's file and registration are put
// back. A file name with a directory, a drive or a parent in it is refused before anything is
// touched.
BOOL InstallPrintProcessor(LPCSTR pszProcessorName, LPCSTR pszFileName, LPCSTR pszEnvironment);
// Makes room for a new processor of this name: unregisters one that no local printer uses; for
// one in use, or whose use cannot be told, moves its file aside under a temporary name in its
// directory and keeps it registered. TRUE when the installation may go on, also after telling
// the user that the processors could not be listed; FALSE, after telling the user, when the
// print processor directory cannot be had: nothing was changed then.
BOOL RemovePrintProcessor(LPCSTR pszProcessorName, LPCSTR pszEnvironment, LPCSTR pszFileName,
                          ProcessorRemoval* pRemoval);
