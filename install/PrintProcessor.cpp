#include "install/PrintProcessor.h"
#include "base/Buffers.h"
#include "base/Enumeration.h"
#include "base/Messages.h"
#include "base/ShellCopy.h"
#include "platform/Platform.h"
#include <string.h>

namespace {

bool IsInstalled(const BYTE* pProcessors, DWORD nProcessors, LPCSTR pszName)
{
    const PRINTPROCESSOR_INFO_1A* pInfo = reinterpret_cast<const PRINTPROCESSOR_INFO_1A*>(pProcessors);
    for (DWORD i = 0; i < nProcessors; ++i) {
        if (pInfo[i].pName != NULL && strcmp(pInfo[i].pName, pszName) == 0)
            return true;
    }
    return false;
}

bool IsUsedByPrinter(const BYTE* pPrinters, DWORD nPrinters, LPCSTR pszName)
{
    const PRINTER_INFO_2A* pInfo = reinterpret_cast<const PRINTER_INFO_2A*>(pPrinters);
    for (DWORD i = 0; i < nPrinters; ++i) {
        if (pInfo[i].pPrintProcessor != NULL && strcmp(pInfo[i].pPrintProcessor, pszName) == 0)
            return true;
    }
    return false;
}

// The print processor directory, into a NAME_BUFFER_SIZE block; FALSE, after telling the user,
// when the spooler does not give it.
BOOL GetProcessorDirectory(LPCSTR pszEnvironment, char* pszDirectory)
{
    DWORD cbNeeded = 0;
    if (ThePlatform().GetPrintProcessorDirectoryA(const_cast<LPSTR>(pszEnvironment), 1,
                                                  reinterpret_cast<LPBYTE>(pszDirectory), (DWORD)NAME_BUFFER_SIZE,
                                                  &cbNeeded))
        return TRUE;
    ShowSystemError(NULL, ::GetLastError());
    return FALSE;
}

// Registers the processor; a name the spooler has registered already (a processor in use, kept
// registered) counts as registered.
BOOL Register(LPCSTR pszProcessorName, LPCSTR pszFileName, LPCSTR pszEnvironment)
{
    return ThePlatform().AddPrintProcessorA(const_cast<LPSTR>(pszEnvironment), const_cast<LPSTR>(pszFileName),
                                            const_cast<LPSTR>(pszProcessorName)) ||
           ::GetLastError() == ERROR_PRINT_PROCESSOR_ALREADY_INSTALLED;
}

} // namespace

void RemovePrintProcessor(LPCSTR pszProcessorName, LPCSTR pszEnvironment, ProcessorRemoval* pRemoval)
{
    Platform& platform = ThePlatform();
    LPSTR pszEnv = const_cast<LPSTR>(pszEnvironment);
    Enumeration processors = Enumerate([&](LPBYTE p, DWORD cb, LPDWORD pcbNeeded, LPDWORD pcReturned) {
        return platform.EnumPrintProcessorsA(pszEnv, 1, p, cb, pcbNeeded, pcReturned);
    });
    if (!processors.bRead) {
        ShowSystemError(NULL, ::GetLastError());
        return;
    }
    bool bInstalled = IsInstalled(processors.pBuffer, processors.nCount, pszProcessorName);
    FreeBuffer(processors.pBuffer);
    if (!bInstalled)
        return;

    // Printers that cannot be listed may use it: it is kept registered, as one in use is.
    Enumeration printers = Enumerate([&](LPBYTE p, DWORD cb, LPDWORD pcbNeeded, LPDWORD pcReturned) {
        return platform.EnumPrintersA(PRINTER_ENUM_LOCAL, 2, p, cb, pcbNeeded, pcReturned);
    });
    bool bInUse = !printers.bRead || IsUsedByPrinter(printers.pBuffer, printers.nCount, pszProcessorName);
    FreeBuffer(printers.pBuffer);
    // A processor the spooler will not let go of stays registered, as one in use does.
    pRemoval->bUnregistered = !bInUse && platform.DeletePrintProcessorA(pszEnv, const_cast<LPSTR>(pszProcessorName));
    pRemoval->bKept = !pRemoval->bUnregistered;
}

BOOL InstallPrintProcessor(LPCSTR pszProcessorName, LPCSTR pszFileName, LPCSTR pszEnvironment,
                           ProcessorRemoval* pRemoval)
{
    ProcessorRemoval own;
    ProcessorRemoval& removal = pRemoval != NULL ? *pRemoval : own;
    char* pszDirectory = AllocBuffer(NAME_BUFFER_SIZE);
    char* pszList = AllocBuffer(strlen(pszFileName) + 2);  // the one name, then an empty one
    BOOL bInPlace = FALSE;
    // A name with a directory in it would reach a file elsewhere: it is refused before anything
    // is touched, as a file the package lacks is.
    if (pszDirectory != NULL && pszList != NULL && CheckCopySources(strcpy(pszList, pszFileName)) &&
        GetProcessorDirectory(pszEnvironment, pszDirectory) && removal.aside.MoveAside(pszDirectory, pszList)) {
        RemovePrintProcessor(pszProcessorName, pszEnvironment, &removal);
        // The spooler goes on loading the file it has registered: a new file of another name
        // would never take effect.
        if (removal.bKept && !removal.aside.HasMoved(pszFileName)) {
            ShowSystemError(NULL, ERROR_PRINT_PROCESSOR_ALREADY_INSTALLED, pszProcessorName);
        } else {
            bInPlace = CopyFilesToDirectory(pszList, pszDirectory);
            if (bInPlace && !Register(pszProcessorName, pszFileName, pszEnvironment)) {
                ShowSystemError(NULL, ::GetLastError());
                bInPlace = FALSE;
            }
        }
        if (!bInPlace || pRemoval == NULL)
            EndProcessorReplacement(pszProcessorName, pszFileName, pszEnvironment, removal, bInPlace);
    }
    FreeBuffer(pszDirectory);
    FreeBuffer(pszList);
    return bInPlace;
}

void EndProcessorReplacement(LPCSTR pszProcessorName, LPCSTR pszFileName, LPCSTR pszEnvironment,
                             ProcessorRemoval& removal, BOOL bStands)
{
    if (bStands) {
        removal.aside.Drop();
        return;
    }
    removal.aside.PutBack();
    if (removal.bUnregistered && !Register(pszProcessorName, pszFileName, pszEnvironment))
        ShowSystemError(NULL, ::GetLastError());
    removal.bUnregistered = FALSE;
}
