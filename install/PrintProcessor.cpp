#include "install/PrintProcessor.h"
#include "base/Buffers.h"
#include "base/Enumeration.h"
#include "base/Messages.h"
#include "base/ShellCopy.h"
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

// The spooler may hold the file of a processor in use: it is renamed to a new temporary name
// in its directory, and deleted there if it can be.
void MoveFileAside(LPCSTR pszEnvironment, LPCSTR pszFileName)
{
    char* pszDirectory = AllocBuffer(NAME_BUFFER_SIZE);
    char* pszPath = AllocBuffer(NAME_BUFFER_SIZE);
    char* pszTemp = AllocBuffer(MAX_PATH + 1);
    DWORD cbNeeded = 0;
    if (pszDirectory != NULL && pszPath != NULL && pszTemp != NULL &&
        ThePlatform().GetPrintProcessorDirectoryA(const_cast<LPSTR>(pszEnvironment), 1,
                                                  reinterpret_cast<LPBYTE>(pszDirectory), (DWORD)NAME_BUFFER_SIZE,
                                                  &cbNeeded) &&
        strlen(pszDirectory) + 1 + strlen(pszFileName) < NAME_BUFFER_SIZE &&
        ::GetTempFileNameA(pszDirectory, kTempPrefix, 0, pszTemp) != 0) {
        strcat(strcat(strcpy(pszPath, pszDirectory), "\\"), pszFileName);
        try {
            CFile::Remove(pszTemp);
            CFile::Rename(pszPath, pszTemp);
            CFile::Remove(pszTemp);
        } catch (const CFileException&) {
            // The file stays where this left it; the new one is copied under its name anyway.
        }
    }
    FreeBuffer(pszDirectory);
    FreeBuffer(pszPath);
    FreeBuffer(pszTemp);
}

} // namespace

BOOL RemovePrintProcessor(LPCSTR pszProcessorName, LPCSTR pszEnvironment, LPCSTR pszFileName)
{
    Platform& platform = ThePlatform();
    LPSTR pszEnv = const_cast<LPSTR>(pszEnvironment);
    Enumeration processors = Enumerate([&](LPBYTE p, DWORD cb, LPDWORD pcbNeeded, LPDWORD pcReturned) {
        return platform.EnumPrintProcessorsA(pszEnv, 1, p, cb, pcbNeeded, pcReturned);
    });
    if (!processors.bRead) {
        ShowSystemError(NULL, ::GetLastError());
        return FALSE;
    }
    bool bInstalled = IsInstalled(processors.pBuffer, processors.nCount, pszProcessorName);
    FreeBuffer(processors.pBuffer);
    if (!bInstalled)
        return TRUE;

    Enumeration printers = Enumerate([&](LPBYTE p, DWORD cb, LPDWORD pcbNeeded, LPDWORD pcReturned) {
        return platform.EnumPrintersA(PRINTER_ENUM_LOCAL, 2, p, cb, pcbNeeded, pcReturned);
    });
    bool bInUse = IsUsedByPrinter(printers.pBuffer, printers.nCount, pszProcessorName);
    FreeBuffer(printers.pBuffer);
    if (bInUse) {
        MoveFileAside(pszEnvironment, pszFileName);
        return TRUE;
    }
    return platform.DeletePrintProcessorA(pszEnv, const_cast<LPSTR>(pszProcessorName));
}

void InstallPrintProcessor(LPCSTR pszProcessorName, LPCSTR pszFileName, LPCSTR pszEnvironment)
{
    RemovePrintProcessor(pszProcessorName, pszEnvironment, pszFileName);

    char* pszDirectory = AllocBuffer(NAME_BUFFER_SIZE);
    size_t cchFile = strlen(pszFileName);
    char* pszList = AllocBuffer(cchFile + 2);
    DWORD cbNeeded = 0;
    if (pszDirectory != NULL && pszList != NULL &&
        ThePlatform().GetPrintProcessorDirectoryA(const_cast<LPSTR>(pszEnvironment), 1,
                                                  reinterpret_cast<LPBYTE>(pszDirectory), (DWORD)NAME_BUFFER_SIZE,
                                                  &cbNeeded)) {
        memcpy(pszList, pszFileName, cchFile);
        CopyFilesToDirectory(pszList, pszDirectory);
    }
    FreeBuffer(pszDirectory);
    FreeBuffer(pszList);

    ThePlatform().AddPrintProcessorA(const_cast<LPSTR>(pszEnvironment), const_cast<LPSTR>(pszFileName),
                                     const_cast<LPSTR>(pszProcessorName));
}
