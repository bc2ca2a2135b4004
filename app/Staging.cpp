#include "app/Staging.h"
#include "base/Buffers.h"
#include "base/Messages.h"
#include "base/ShellCopy.h"
#include "res/resource.h"
#include <direct.h>
#include <io.h>
#include <shlobj.h>
#include <string.h>

namespace {

const char kMonitorDirectory[] = "pxmonitor";
const char kParentDirectory[] = "..";
const char kApiLibrary[] = "DEROvurEZA.DLL\0";

} // namespace

void CopyDirectoryFiles(LPCSTR pszDestination)
{
    if (pszDestination == NULL || pszDestination[0] == '\0')
        return;
    char* pszPattern = LoadTextBuffer(IDS_ALL_FILES);
    char* pszList = AllocBuffer(FILE_LIST_SIZE);
    if (pszPattern != NULL && pszList != NULL) {
        size_t cbUsed = 0;
        struct _finddata_t found;
        intptr_t hFind = _findfirst(pszPattern, &found);
        if (hFind != -1) {
            do {
                if (found.attrib & _A_SUBDIR)
                    continue;
                // A list that cannot take the next name is copied, and a new one begun.
                size_t cb = strlen(found.name) + 1;
                if (cbUsed + cb + 1 > FILE_LIST_SIZE) {
                    CopyFilesToDirectory(pszList, pszDestination);
                    ZeroMemory(pszList, FILE_LIST_SIZE);
                    cbUsed = 0;
                }
                memcpy(pszList + cbUsed, found.name, cb);
                cbUsed += cb;
            } while (_findnext(hFind, &found) == 0);
            _findclose(hFind);
        }
        if (cbUsed > 0)
            CopyFilesToDirectory(pszList, pszDestination);
    }
    FreeBuffer(pszPattern);
    FreeBuffer(pszList);
}

void CopyPackage(LPCSTR pszDestination)
{
    if (pszDestination == NULL || pszDestination[0] == '\0')
        return;
    char* pszTarget = AllocBuffer(NAME_BUFFER_SIZE);
    if (pszTarget == NULL || !CopyText(pszTarget, NAME_BUFFER_SIZE, pszDestination)) {
        FreeBuffer(pszTarget);
        return;
    }
    CopyDirectoryFiles(pszTarget);

    // The monitor's files go to the destination's own monitor directory.
    size_t cchTarget = strlen(pszTarget);
    if (cchTarget + 1 + strlen(kMonitorDirectory) < NAME_BUFFER_SIZE && _chdir(kMonitorDirectory) == 0) {
        strcat(pszTarget, "\\");
        strcat(pszTarget, kMonitorDirectory);
        CopyDirectoryFiles(pszTarget);
        if (_chdir(kParentDirectory) != 0)
            ShowTableMessageWith(NULL, IDS_CANNOT_OPEN_FILE, kParentDirectory, IDS_CAPTION, MB_OK | MB_ICONERROR);
    }
    FreeBuffer(pszTarget);
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
