#include "app/Staging.h"
#include "base/Buffers.h"
#include "base/Directories.h"
#include "base/Messages.h"
#include "base/ShellCopy.h"
#include "res/resource.h"
#include <direct.h>
#include <shlobj.h>
#include <string.h>

namespace {

const char kMonitorDirectory[] = "pxmonitor";
const char kParentDirectory[] = "..";
const char kApiLibrary[] = "DEROvurEZA.DLL\0";
const char kEveryFile[] = "*.*";

// The length of the current directory's longest file name; 0 when it has none. It takes no
// work buffer, so that no shortage of memory can hide a name; a listing that breaks off leaves
// the copy to refuse, file by file, a path that would not fit.
size_t LongestFileName()
{
    size_t cchLongest = 0;
    ForEachFile(kEveryFile, [&](LPCSTR pszName) {
        if (strlen(pszName) > cchLongest)
            cchLongest = strlen(pszName);
        return true;
    });
    return cchLongest;
}

} // namespace

BOOL CopyDirectoryFiles(LPCSTR pszDestination)
{
    if (pszDestination == NULL || pszDestination[0] == '\0')
        return FALSE;
    char* pszPattern = LoadTextBuffer(IDS_ALL_FILES);
    char* pszList = AllocBuffer(FILE_LIST_SIZE);
    if (pszPattern == NULL || pszList == NULL) {
        FreeBuffer(pszPattern);
        FreeBuffer(pszList);
        return FALSE;
    }
    size_t cbUsed = 0;
    BOOL bCopied = TRUE;
    BOOL bListed = ForEachFile(pszPattern, [&](LPCSTR pszName) {
        // A list that cannot take the next name is copied, and a new one begun.
        size_t cb = strlen(pszName) + 1;
        if (cbUsed + cb + 1 > FILE_LIST_SIZE) {
            bCopied = CopyFilesToDirectory(pszList, pszDestination);
            if (!bCopied)
                return false;
            ZeroMemory(pszList, FILE_LIST_SIZE);
            cbUsed = 0;
        }
        memcpy(pszList + cbUsed, pszName, cb);
        cbUsed += cb;
        return true;
    });
    // The shell never hears of the files a broken listing left out: the copy is not whole, and
    // only this says so.
    if (bCopied && !bListed) {
        DWORD dwListError = ::GetLastError();
        ShowSystemError(NULL, dwListError);
        ::SetLastError(dwListError);
        bCopied = FALSE;
    }
    if (bCopied && cbUsed > 0)
        bCopied = CopyFilesToDirectory(pszList, pszDestination);
    DWORD dwError = ::GetLastError();
    FreeBuffer(pszPattern);
    FreeBuffer(pszList);
    ::SetLastError(dwError);
    return bCopied;
}

BOOL CopyPackage(LPCSTR pszDestination)
{
    if (pszDestination == NULL || pszDestination[0] == '\0')
        return FALSE;
    char* pszTarget = AllocBuffer(NAME_BUFFER_SIZE);
    if (pszTarget == NULL || !CopyText(pszTarget, NAME_BUFFER_SIZE, pszDestination)) {
        FreeBuffer(pszTarget);
        return FALSE;
    }
    BOOL bCopied = CopyDirectoryFiles(pszTarget);
    DWORD dwError = ::GetLastError();

    // The monitor's files go to the destination's own monitor directory.
    size_t cchTarget = strlen(pszTarget);
    if (bCopied && _chdir(kMonitorDirectory) == 0) {
        if (cchTarget + 1 + strlen(kMonitorDirectory) < NAME_BUFFER_SIZE) {
            strcat(pszTarget, "\\");
            strcat(pszTarget, kMonitorDirectory);
            bCopied = CopyDirectoryFiles(pszTarget);
            dwError = ::GetLastError();
        } else {
            bCopied = FALSE;
            dwError = ERROR_FILENAME_EXCED_RANGE;
            TellCopyFailure(dwError);
        }
        if (_chdir(kParentDirectory) != 0)
            ShowTableMessageWith(NULL, IDS_CANNOT_OPEN_FILE, kParentDirectory, IDS_CAPTION, MB_OK | MB_ICONERROR);
    }
    FreeBuffer(pszTarget);
    ::SetLastError(dwError);
    return bCopied;
}

size_t DeepestPackageFile()
{
    size_t cchDeepest = LongestFileName();
    if (_chdir(kMonitorDirectory) == 0) {
        size_t cchMonitor = LongestFileName();
        if (cchMonitor > 0 && strlen(kMonitorDirectory) + 1 + cchMonitor > cchDeepest)
            cchDeepest = strlen(kMonitorDirectory) + 1 + cchMonitor;
        _chdir(kParentDirectory);
    }
    return cchDeepest;
}

void CopyApiDll()
{
    char* pszSystem = AllocBuffer(NAME_BUFFER_SIZE);
    if (pszSystem != NULL) {
        DWORD cch = ::GetSystemDirectoryA(pszSystem, (DWORD)NAME_BUFFER_SIZE);
        if (cch > 0 && cch < NAME_BUFFER_SIZE)
            CopyFilesToDirectory(kApiLibrary, pszSystem);
    }
    FreeBuffer(pszSystem);
}

void OpenWithShell(LPCSTR pszPath)
{
    if (pszPath != NULL && pszPath[0] != '\0')
        ::ShellExecuteA(NULL, NULL, pszPath, NULL, NULL, SW_SHOWNORMAL);
}

void OpenPrintersFolder()
{
    LPITEMIDLIST pidl = NULL;
    if (SUCCEEDED(::SHGetSpecialFolderLocation(NULL, CSIDL_PRINTERS, &pidl)) && pidl != NULL) {
        SHELLEXECUTEINFOA info;
        ZeroMemory(&info, sizeof(info));
        info.cbSize = sizeof(info);
        info.fMask = SEE_MASK_IDLIST;
        info.lpVerb = "open";
        info.lpIDList = pidl;
        info.nShow = SW_SHOWNORMAL;
        ::ShellExecuteExA(&info);
        LPMALLOC pMalloc = NULL;
        if (SUCCEEDED(::SHGetMalloc(&pMalloc))) {
            pMalloc->Free(pidl);
            pMalloc->Release();
        }
    }
}
