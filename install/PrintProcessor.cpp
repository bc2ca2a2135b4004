#include "install/PrintProcessor.h"
#include "base/Buffers.h"
#include "base/Enumeration.h"
#include "base/Messages.h"
#include "base/ShellCopy.h"
#include "base/Text.h"
#include "framework/File.h"
#include "platform/Platform.h"
#include <string.h>

namespace {

const char kTempPrefix[] = "set";

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

// The file's path in the directory, into a NAME_BUFFER_SIZE block; FALSE when it does not fit.
BOOL ProcessorPath(LPCSTR pszDirectory, LPCSTR pszFileName, char* pszPath)
{
    if (strlen(pszDirectory) + 1 + strlen(pszFileName) >= NAME_BUFFER_SIZE)
        return FALSE;
    strcat(strcat(strcpy(pszPath, pszDirectory), "\\"), pszFileName);
    return TRUE;
}

// The spooler may hold the file of a processor in use: it is renamed to a new temporary name in
// its directory (kept in pszAside), and removed only once the new file is in place. A file that
// cannot be moved stays where it is, and the copy replaces it or fails. FALSE, after telling the
// user, when the directory cannot be had.
BOOL MoveFileAside(LPCSTR pszEnvironment, LPCSTR pszFileName, char* pszAside)
{
    char* pszDirectory = AllocBuffer(NAME_BUFFER_SIZE);
    char* pszPath = AllocBuffer(NAME_BUFFER_SIZE);
    BOOL bDirectory = pszDirectory != NULL && pszPath != NULL && GetProcessorDirectory(pszEnvironment, pszDirectory);
    if (bDirectory && ProcessorPath(pszDirectory, pszFileName, pszPath) &&
        ::GetTempFileNameA(pszDirectory, kTempPrefix, 0, pszAside) != 0) {
        try {
            CFile::Remove(pszAside);
            CFile::Rename(pszPath, pszAside);
        } catch (const CFileException&) {
            pszAside[0] = '\0';
        }
    }
    FreeBuffer(pszDirectory);
    FreeBuffer(pszPath);
    return bDirectory;
}

// Registers the processor; a name the spooler has registered already (a processor in use, kept
// registered) counts as registered.
BOOL Register(LPCSTR pszProcessorName, LPCSTR pszFileName, LPCSTR pszEnvironment)
{
    return ThePlatform().AddPrintProcessorA(const_cast<LPSTR>(pszEnvironment), const_cast<LPSTR>(pszFileName),
                                            const_cast<LPSTR>(pszProcessorName)) ||
           ::GetLastError() == ERROR_PRINT_PROCESSOR_ALREADY_INSTALLED;
}

// Puts back what making room took away: the file moved aside (its temporary name is in its own
// directory), in place of whatever the copy left under its name, and the registration. What
// cannot be put back is told.
void PutBack(LPCSTR pszProcessorName, LPCSTR pszFileName, LPCSTR pszEnvironment, const ProcessorRemoval& removal)
{
    char* pszDirectory = AllocBuffer(MAX_PATH + 1);
    char* pszPath = AllocBuffer(NAME_BUFFER_SIZE);
    char* pszSlash = pszDirectory != NULL ? FindLastChar(strcpy(pszDirectory, removal.pszAside), '\\') : NULL;
    if (pszSlash != NULL)
        *pszSlash = '\0';
    if (pszSlash != NULL && pszPath != NULL && ProcessorPath(pszDirectory, pszFileName, pszPath)) {
        try {
            CFile::Remove(pszPath);
        } catch (const CFileException&) {
            // The copy left nothing under the name.
        }
        try {
            CFile::Rename(removal.pszAside, pszPath);
        } catch (const CFileException& e) {
            ShowSystemError(NULL, (DWORD)e.m_lOsError);
        }
    }
    FreeBuffer(pszDirectory);
    FreeBuffer(pszPath);
    if (removal.bUnregistered && !Register(pszProcessorName, pszFileName, pszEnvironment))
        ShowSystemError(NULL, ::GetLastError());
}

} // namespace

BOOL RemovePrintProcessor(LPCSTR pszProcessorName, LPCSTR pszEnvironment, LPCSTR pszFileName,
                          ProcessorRemoval* pRemoval)
{
    pRemoval->bUnregistered = FALSE;
    pRemoval->pszAside[0] = '\0';
    Platform& platform = ThePlatform();
    LPSTR pszEnv = const_cast<LPSTR>(pszEnvironment);
    Enumeration processors = Enumerate([&](LPBYTE p, DWORD cb, LPDWORD pcbNeeded, LPDWORD pcReturned) {
        return platform.EnumPrintProcessorsA(pszEnv, 1, p, cb, pcbNeeded, pcReturned);
    });
    if (!processors.bRead) {
        ShowSystemError(NULL, ::GetLastError());
        return TRUE;
    }
    bool bInstalled = IsInstalled(processors.pBuffer, processors.nCount, pszProcessorName);
    FreeBuffer(processors.pBuffer);
    if (!bInstalled)
        return TRUE;

    // Printers that cannot be listed may use it: it is kept registered, as one in use is.
    Enumeration printers = Enumerate([&](LPBYTE p, DWORD cb, LPDWORD pcbNeeded, LPDWORD pcReturned) {
        return platform.EnumPrintersA(PRINTER_ENUM_LOCAL, 2, p, cb, pcbNeeded, pcReturned);
    });
    bool bInUse = !printers.bRead || IsUsedByPrinter(printers.pBuffer, printers.nCount, pszProcessorName);
    FreeBuffer(printers.pBuffer);
    if (bInUse)
        return MoveFileAside(pszEnvironment, pszFileName, pRemoval->pszAside);
    pRemoval->bUnregistered = platform.DeletePrintProcessorA(pszEnv, const_cast<LPSTR>(pszProcessorName));
    return TRUE;
}

BOOL InstallPrintProcessor(LPCSTR pszProcessorName, LPCSTR pszFileName, LPCSTR pszEnvironment)
{
    if (!IsPlainFileName(pszFileName)) {
        ShowSystemError(NULL, ERROR_INVALID_NAME);
        return FALSE;
    }
    char* pszDirectory = AllocBuffer(NAME_BUFFER_SIZE);
    char* pszList = AllocBuffer(strlen(pszFileName) + 2);
    ProcessorRemoval removal = { FALSE, AllocBuffer(MAX_PATH + 1) };
    BOOL bInPlace = FALSE;
    if (pszDirectory != NULL && pszList != NULL && removal.pszAside != NULL &&
        RemovePrintProcessor(pszProcessorName, pszEnvironment, pszFileName, &removal)) {
        // The shell tells of a copy it could not make; the old processor comes back for it.
        strcpy(pszList, pszFileName);
        bInPlace = GetProcessorDirectory(pszEnvironment, pszDirectory) &&
                   CopyFilesToDirectory(pszList, pszDirectory);
        if (bInPlace && !Register(pszProcessorName, pszFileName, pszEnvironment)) {
            ShowSystemError(NULL, ::GetLastError());
            bInPlace = FALSE;
        }
        if (bInPlace && removal.pszAside[0] != '\0') {
            try {
                CFile::Remove(removal.pszAside);
            } catch (const CFileException&) {
                // Held by the spooler, it stays under its temporary name until it is let go.
            }
        }
        if (!bInPlace)
            PutBack(pszProcessorName, pszFileName, pszEnvironment, removal);
    }
    FreeBuffer(pszDirectory);
    FreeBuffer(pszList);
    FreeBuffer(removal.pszAside);
    return bInPlace;
}
