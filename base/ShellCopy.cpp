#include "base/ShellCopy.h"
#include "base/Buffers.h"
#include <direct.h>
#include <string.h>

namespace {

void RunCopy(LPCSTR pszSources, LPCSTR pszTarget, FILEOP_FLAGS fFlags)
{
    SHFILEOPSTRUCTA operation;
    ZeroMemory(&operation, sizeof(operation));
    operation.wFunc = FO_COPY;
    operation.pFrom = pszSources;
    operation.pTo = pszTarget;
    operation.fFlags = fFlags;
    ::SHFileOperationA(&operation);
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
    if (p[0] != '\0' && p[1] == ':')
        p += 2;
    while (*p == '\\')
        ++p;
    for (; *p != '\0'; ++p) {
        if (*p == '\\') {
            *p = '\0';
            ::CreateDirectoryA(pszPath, NULL);
            *p = '\\';
        }
    }
    ::CreateDirectoryA(pszPath, NULL);
    FreeBuffer(pszPath);
}

} // namespace

void ShellCopyFiles(LPCSTR pszFileList, LPCSTR pszTargetDirectory, FILEOP_FLAGS fFlags)
{
    char* pszDirectory = AllocBuffer(NAME_BUFFER_SIZE);
    char* pszTarget = AllocBuffer(NAME_BUFFER_SIZE);
    char* pszSources = AllocBuffer(FILE_LIST_SIZE);
    // The target: the directory and a backslash, double-NUL terminated by the zero fill.
    size_t cchTarget = strlen(pszTargetDirectory);
    if (pszDirectory != NULL && pszTarget != NULL && pszSources != NULL && cchTarget + 3 <= NAME_BUFFER_SIZE &&
        _getcwd(pszDirectory, (int)NAME_BUFFER_SIZE) != NULL) {
        memcpy(pszTarget, pszTargetDirectory, cchTarget);
        pszTarget[cchTarget] = '\\';

        size_t cchDirectory = strlen(pszDirectory);
        size_t cbUsed = 0;
        for (LPCSTR pszName = pszFileList; *pszName != '\0'; pszName += strlen(pszName) + 1) {
            // Each source is the current directory, a backslash and the name, with its NUL;
            // the list keeps room for its closing NUL.
            size_t cbEntry = cchDirectory + 1 + strlen(pszName) + 1;
            if (cbEntry + 1 > FILE_LIST_SIZE)
                continue;
            if (cbUsed + cbEntry + 1 > FILE_LIST_SIZE) {
                RunCopy(pszSources, pszTarget, fFlags);
                ZeroMemory(pszSources, FILE_LIST_SIZE);
                cbUsed = 0;
            }
            char* pszEntry = pszSources + cbUsed;
            memcpy(pszEntry, pszDirectory, cchDirectory);
            pszEntry[cchDirectory] = '\\';
            strcpy(pszEntry + cchDirectory + 1, pszName);
            cbUsed += cbEntry;
        }
        if (cbUsed > 0)
            RunCopy(pszSources, pszTarget, fFlags);
    }
    FreeBuffer(pszDirectory);
    FreeBuffer(pszTarget);
    FreeBuffer(pszSources);
}

void CopyFilesToDirectory(LPCSTR pszFileList, LPCSTR pszDestination)
{
    // The shell makes a missing target itself on some systems and fails the copy on others.
    if (::GetFileAttributesA(pszDestination) == INVALID_FILE_ATTRIBUTES)
        MakeDirectories(pszDestination);
    ShellCopyFiles(pszFileList, pszDestination, FOF_NOCONFIRMATION | FOF_NOCONFIRMMKDIR);
}
