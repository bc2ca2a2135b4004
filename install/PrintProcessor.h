// The package's print processor: its file put into the spooler's print processor directory
// and registered under its name.
#pragma once
#include "base/FilesAside.h"
#include <windows.h>

// What making room for the new processor did, so that the processor in place before can be put
// back if the installation fails, up to its end.
struct ProcessorRemoval {
    BOOL bUnregistered = FALSE;  // an installed processor of the name was unregistered
    BOOL bKept = FALSE;          // one was kept registered: printers use it, or may
    FilesAside aside;            // the file under the processor's file name, moved aside
};

// Copies the file from the current directory into the print processor directory and registers
// it; TRUE when the new processor is in place. A file of that name is moved aside first, and an
// installed processor of the same name is unregistered or kept (RemovePrintProcessor); one kept
// whose file has another name is refused, as the new file would never take effect. On a
// failure, told here or by the copy, the old processor is put back. With pRemoval, the old one
// stays restorable until the caller ends the replacement (EndProcessorReplacement).
BOOL InstallPrintProcessor(LPCSTR pszProcessorName, LPCSTR pszFileName, LPCSTR pszEnvironment,
                           ProcessorRemoval* pRemoval = NULL);
// Ends a replacement: where the installation stands the old file goes; otherwise the old file
// and registration are put back.
void EndProcessorReplacement(LPCSTR pszProcessorName, LPCSTR pszFileName, LPCSTR pszEnvironment,
                             ProcessorRemoval& removal, BOOL bStands);
// Makes room for a new processor of this name: unregisters one that no local printer uses, and
// keeps registered one in use or whose use cannot be told. Tells the user when the processors
// cannot be listed, and goes on.
void RemovePrintProcessor(LPCSTR pszProcessorName, LPCSTR pszEnvironment, ProcessorRemoval* pRemoval);
