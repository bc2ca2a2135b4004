#include "base/ShellCopy.h"
#include "base/Buffers.h"
#include "base/Directories.h"
#include "base/Messages.h"
#include "base/Text.h"
#include <direct.h>
#include <string.h>

namespace {

ShellFileOperation g_pfnOperation = NULL;
LibraryLoader g_pfnLoad = NULL;

const DWORD kShellPathNotFound = 0x402;
const char kShellLibrary[] = "shell32.dll";

// One operation of the shell; FALSE, with the last error set to a system error code, when it
// failed or the user cancelled it.
BOOL RunCopy(LPCSTR pszSources, LPCSTR pszTarget, FILEOP_FLAGS fFlags)
{
    SHFILEOPSTRUCTA operation;
    ZeroMemory(&operation, sizeof(operation));
    operation.wFunc = FO_COPY;
    operation.pFrom = pszSources;
    operation.pTo = pszTarget;
    operation.fFlags = fFlags;
    int nResult = g_pfnOperation != NULL ? g_pfnOperation(&operation) : ::SHFileOperationA(&operation);
    if (operation.fAnyOperationsAborted) {
        ::SetLastError(ERROR_CANCELLED);
        return FALSE;
    }
    if (nResult != 0) {
        // The shell's code for a path it could not find (0x402) is none of the system's: a
        // source that is not there is a missing file, else the target's path was not found.
        DWORD dwError = (DWORD)nResult;
        if (dwError == kShellPathNotFound) {
            dwError = ERROR_PATH_NOT_FOUND;
            for (LPCSTR pszSource = pszSources; *pszSource != '\0'; pszSource += strlen(pszSource) + 1) {
                if (::GetFileAttributesA(pszSource) == INVALID_FILE_ATTRIBUTES)
                    dwError = ERROR_FILE_NOT_FOUND;
            }
        }
        ::SetLastError(dwError);
        return FALSE;
    }
    return TRUE;
}

// The next name of a list, or NULL past its end.
LPCSTR NextName(LPCSTR pszName)
{
    return pszName != NULL && *pszName != '\0' ? pszName + strlen(pszName) + 1 : NULL;
}

// TRUE when every file of the list has a path that fits MAX_PATH in the source directory and
// in the target, under its name there, the target's length taken without its "." components,
// as the shell takes it.
BOOL AllPathsFit(LPCSTR pszFileList, LPCSTR pszTargetNames, size_t cchSourceDirectory, LPCSTR pszTarget)
{
    char szFullTarget[MAX_PATH];
    DWORD cchTarget = ::GetFullPathNameA(pszTarget, MAX_PATH, szFullTarget, NULL);
    if (cchTarget == 0 || cchTarget >= MAX_PATH)
        return FALSE;
    for (LPCSTR pszName = pszFileList, pszTargetName = pszTargetNames; *pszName != '\0';
         pszName = NextName(pszName), pszTargetName = NextName(pszTargetName)) {
        size_t cchTargetName = strlen(pszTargetName != NULL ? pszTargetName : pszName);
        if (cchSourceDirectory + 1 + strlen(pszName) >= MAX_PATH || cchTarget + cchTargetName >= MAX_PATH)
            return FALSE;
    }
    return TRUE;
}

// Writes the directory, a backslash and the name, with its NUL, at pszEntry.
void JoinPath(char* pszEntry, LPCSTR pszDirectory, size_t cchDirectory, LPCSTR pszName)
{
    memcpy(pszEntry, pszDirectory, cchDirectory);
    pszEntry[cchDirectory] = '\\';
    strcpy(pszEntry + cchDirectory + 1, pszName);
}

// Makes the directory and any of its parents that are missing.
void MakeDirectories(LPCSTR pszDirectory)
{
    char* pszPath = AllocBuffer(NAME_BUFFER_SIZE);
    if (pszPath == NULL || !CopyText(pszPath, NAME_BUFFER_SIZE, pszDirectory)) {
        FreeBuffer(pszPath);
        return;
    }
    // Past the drive's root ("C:\") or a share's name ("\\server\share\"), each backslash ends
    // a parent.
    char* p = pszPath;
    if (BeginsWithDrive(p))
        p += 2;
    while (*p == '\\')
        ++p;
    while ((p = FindChar(p, '\\')) != NULL) {
        *p = '\0';
        MakeOneDirectory(pszPath);
        *p++ = '\\';
    }
    MakeOneDirectory(pszPath);
    FreeBuffer(pszPath);
}

// Whether every name of the list is a plain file name that the current directory holds, and
// every target name a plain file name; the last error says why not.
BOOL FindCopySources(LPCSTR pszFileList, LPCSTR pszTargetNames = NULL)
{
    for (LPCSTR pszName = pszTargetNames; pszName != NULL && *pszName != '\0'; pszName = NextName(pszName)) {
        if (!IsPlainFileName(pszName)) {
            ::SetLastError(ERROR_INVALID_NAME);
            return FALSE;
        }
    }
    for (LPCSTR pszName = pszFileList; *pszName != '\0'; pszName += strlen(pszName) + 1) {
        if (!IsPlainFileName(pszName)) {
            ::SetLastError(ERROR_INVALID_NAME);
            return FALSE;
        }
        if (::GetFileAttributesA(pszName) == INVALID_FILE_ATTRIBUTES) {
            ::SetLastError(ERROR_FILE_NOT_FOUND);
            return FALSE;
        }
    }
    return TRUE;
}

// Tells the last error's failure and returns FALSE with that error.
BOOL TellFailure()
{
    DWORD dwError = ::GetLastError();
    TellCopyFailure(dwError);
    ::SetLastError(dwError);
    return FALSE;
}

} // namespace

BOOL CheckCopySources(LPCSTR pszFileList)
{
    return FindCopySources(pszFileList) || TellFailure();
}

void TellCopyFailure(DWORD dwError)
{
    if (dwError == ERROR_FILE_NOT_FOUND || dwError == ERROR_PATH_NOT_FOUND || dwError == ERROR_INVALID_NAME ||
        dwError == ERROR_FILENAME_EXCED_RANGE)
        ShowSystemError(NULL, dwError);
}

BOOL ShellCopyFiles(LPCSTR pszFileList, LPCSTR pszTargetDirectory, FILEOP_FLAGS fFlags, LPCSTR pszTargetNames)
{
    if (!FindCopySources(pszFileList, pszTargetNames))
        return FALSE;
    char* pszDirectory = AllocBuffer(NAME_BUFFER_SIZE);
    char* pszSources = AllocBuffer(FILE_LIST_SIZE);
    // The target: the directory and a backslash, double-NUL terminated by the zero fill; with
    // names of their own, each file's path there.
    char* pszTargets = AllocBuffer(pszTargetNames != NULL ? FILE_LIST_SIZE : NAME_BUFFER_SIZE);
    BOOL bCopied = FALSE;
    size_t cchTarget = strlen(pszTargetDirectory);
    if (pszDirectory == NULL || pszTargets == NULL || pszSources == NULL) {
        ::SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    } else if (cchTarget + 3 > NAME_BUFFER_SIZE || _getcwd(pszDirectory, (int)NAME_BUFFER_SIZE) == NULL) {
        ::SetLastError(ERROR_FILENAME_EXCED_RANGE);
    } else {
        memcpy(pszTargets, pszTargetDirectory, cchTarget);
        pszTargets[cchTarget] = '\\';
        if (pszTargetNames != NULL)
            fFlags |= FOF_MULTIDESTFILES;

        size_t cchDirectory = strlen(pszDirectory);
        bCopied = AllPathsFit(pszFileList, pszTargetNames, cchDirectory, pszTargets);
        if (!bCopied)
            ::SetLastError(ERROR_FILENAME_EXCED_RANGE);
        size_t cbSources = 0, cbTargets = 0;
        for (LPCSTR pszName = pszFileList, pszTargetName = pszTargetNames; bCopied && *pszName != '\0';
             pszName = NextName(pszName), pszTargetName = NextName(pszTargetName)) {
            // Each source is the current directory, a backslash and the name, with its NUL, and
            // so is each target of its own; each list keeps room for its closing NUL.
            size_t cbEntry = cchDirectory + 1 + strlen(pszName) + 1;
            size_t cbTarget = pszTargetName != NULL ? cchTarget + 1 + strlen(pszTargetName) + 1 : 0;
            if (cbSources + cbEntry + 1 > FILE_LIST_SIZE || cbTargets + cbTarget + 1 > FILE_LIST_SIZE) {
                bCopied = RunCopy(pszSources, pszTargets, fFlags);
                ZeroMemory(pszSources, FILE_LIST_SIZE);
                if (pszTargetName != NULL)
                    ZeroMemory(pszTargets, FILE_LIST_SIZE);
                cbSources = cbTargets = 0;
            }
            JoinPath(pszSources + cbSources, pszDirectory, cchDirectory, pszName);
            cbSources += cbEntry;
            if (pszTargetName != NULL)
                JoinPath(pszTargets + cbTargets, pszTargetDirectory, cchTarget, pszTargetName);
            cbTargets += cbTarget;
        }
        if (bCopied && cbSources > 0)
            bCopied = RunCopy(pszSources, pszTargets, fFlags);
    }
    DWORD dwError = ::GetLastError();
    FreeBuffer(pszDirectory);
    FreeBuffer(pszTargets);
    FreeBuffer(pszSources);
    ::SetLastError(dwError);
    return bCopied;
}

BOOL CopyFilesToDirectory(LPCSTR pszFileList, LPCSTR pszDestination, LPCSTR pszTargetNames)
{
    // The shell makes a missing target itself on some systems and fails the copy on others.
    if (::GetFileAttributesA(pszDestination) == INVALID_FILE_ATTRIBUTES)
        MakeDirectories(pszDestination);
    return ShellCopyFiles(pszFileList, pszDestination, FOF_NOCONFIRMATION | FOF_NOCONFIRMMKDIR, pszTargetNames) ||
           TellFailure();
}

ShellFileOperation SetShellFileOperation(ShellFileOperation pfnOperation)
{
    ShellFileOperation pfnPrevious = g_pfnOperation;
    g_pfnOperation = pfnOperation;
    return pfnPrevious;
}

BOOL LoadShellCopy()
{
    if (g_pfnLoad != NULL)
        return g_pfnLoad(kShellLibrary);
    // The library stays loaded: the first copy finds it, and its function, so.
    HMODULE hShell = ::LoadLibraryA(kShellLibrary);
    if (hShell != NULL && ::GetProcAddress(hShell, "SHFileOperationA") == NULL)
        return FALSE;
    return hShell != NULL;
}

LibraryLoader SetLibraryLoader(LibraryLoader pfnLoad)
{
    LibraryLoader pfnPrevious = g_pfnLoad;
    g_pfnLoad = pfnLoad;
    return pfnPrevious;
}
