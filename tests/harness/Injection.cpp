#include "tests/harness/Injection.h"
#include <stdlib.h>
#include <string.h>

namespace harness {

namespace {

Injection* g_pInjection = NULL;

} // namespace

Injection::Injection()
{
    m_directoryCalls = { &Injection::FindFirst, &Injection::FindNext,     &Injection::MakeDirectory,
                         &Injection::Rename,  &Injection::Delete,   &Injection::TempFileName,
                         &Injection::CopySingle,  &Injection::VolumeInformation };
    g_pInjection = this;
    m_pfnAllocator = SetBufferAllocator(&Injection::Allocate);
    m_pfnShell = SetShellFileOperation(&Injection::ShellOperation);
    m_pDirectoryCalls = SetDirectoryCalls(&m_directoryCalls);
    m_pfnLoader = SetLibraryLoader(&Injection::Load);
}

Injection::~Injection()
{
    SetBufferAllocator(m_pfnAllocator);
    SetShellFileOperation(m_pfnShell);
    SetDirectoryCalls(m_pDirectoryCalls);
    SetLibraryLoader(m_pfnLoader);
    g_pInjection = NULL;
}

void Injection::Fail(SeamKind kind, size_t k, DWORD dwError)
{
    m_failedKind = kind;
    m_nFailed = m_counts[kind] + k;
    m_dwError = dwError;
}

bool Injection::Record(SeamKind kind, const std::string& what, bool bErrorUi)
{
    bool bFail = kind == m_failedKind && m_counts[kind] == m_nFailed;
    ++m_counts[kind];
    calls.push_back(SeamCall{ kind, what, bFail, bErrorUi });
    if (bFail)
        ::SetLastError(m_dwError);
    return bFail;
}

void* Injection::Allocate(size_t cb)
{
    return g_pInjection->Record(SEAM_ALLOCATION, std::to_string(cb)) ? NULL : calloc(1, cb);
}

int WINAPI Injection::ShellOperation(LPSHFILEOPSTRUCTA pOperation)
{
    Injection* pThis = g_pInjection;
    std::string target = pOperation->pTo;
    if (pThis->Record(SEAM_SHELL_COPY, target + " " + std::to_string(pOperation->fFlags),
                      !(pOperation->fFlags & FOF_NOERRORUI))) {
        pOperation->fAnyOperationsAborted = pThis->m_dwError == ERROR_CANCELLED;
        return (int)pThis->m_dwError;
    }
    // Into the target directory, or, with FOF_MULTIDESTFILES, to each source's own target.
    LPCSTR pszTo = pOperation->pTo;
    for (LPCSTR pszSource = pOperation->pFrom; *pszSource != '\0'; pszSource += strlen(pszSource) + 1) {
        LPCSTR pszName = strrchr(pszSource, '\\');
        std::string to = target + (pszName != NULL ? pszName + 1 : pszSource);
        if (pOperation->fFlags & FOF_MULTIDESTFILES) {
            to = pszTo;
            pszTo += strlen(pszTo) + 1;
        }
        // A link has the source's content, as a copy would, at a fraction of a copy's time.
        ::SetFileAttributesA(to.c_str(), FILE_ATTRIBUTE_NORMAL);
        ::DeleteFileA(to.c_str());
        if (!::CreateHardLinkA(to.c_str(), pszSource, NULL)) {
            pThis->calls.back().bFailed = true;
            return (int)::GetLastError();
        }
    }
    return 0;
}

HANDLE WINAPI Injection::FindFirst(LPCSTR pszPattern, LPWIN32_FIND_DATAA pFound)
{
    if (g_pInjection->Record(SEAM_LISTING, pszPattern))
        return INVALID_HANDLE_VALUE;
    HANDLE hFind = ::FindFirstFileA(pszPattern, pFound);
    if (hFind != INVALID_HANDLE_VALUE)
        g_pInjection->m_listings[hFind] = pszPattern;
    return hFind;
}

BOOL WINAPI Injection::FindNext(HANDLE hFind, LPWIN32_FIND_DATAA pFound)
{
    if (g_pInjection->Record(SEAM_NEXT_ENTRY, g_pInjection->m_listings[hFind]))
        return FALSE;
    return ::FindNextFileA(hFind, pFound);
}

BOOL WINAPI Injection::MakeDirectory(LPCSTR pszPath, LPSECURITY_ATTRIBUTES pAttributes)
{
    if (g_pInjection->Record(SEAM_NEW_DIRECTORY, pszPath))
        return FALSE;
    return ::CreateDirectoryA(pszPath, pAttributes);
}

BOOL WINAPI Injection::Rename(LPCSTR pszFrom, LPCSTR pszTo, DWORD dwFlags)
{
    return !g_pInjection->Record(SEAM_RENAME, std::string(pszFrom) + " " + (pszTo != NULL ? pszTo : "at restart")) &&
           ::MoveFileExA(pszFrom, pszTo, dwFlags);
}

BOOL WINAPI Injection::Delete(LPCSTR pszPath)
{
    return !g_pInjection->Record(SEAM_DELETION, pszPath) && ::DeleteFileA(pszPath);
}

UINT WINAPI Injection::TempFileName(LPCSTR pszDirectory, LPCSTR pszPrefix, UINT uUnique, LPSTR pszName)
{
    return g_pInjection->Record(SEAM_TEMP_NAME, pszDirectory) ? 0
                                                              : ::GetTempFileNameA(pszDirectory, pszPrefix, uUnique, pszName);
}

BOOL WINAPI Injection::CopySingle(LPCSTR pszFrom, LPCSTR pszTo, BOOL bFailIfExists)
{
    return !g_pInjection->Record(SEAM_FILE_COPY, std::string(pszFrom) + " " + pszTo + (bFailIfExists ? "" : " over")) &&
           ::CopyFileA(pszFrom, pszTo, bFailIfExists);
}

BOOL WINAPI Injection::VolumeInformation(LPCSTR pszRoot, LPSTR pszName, DWORD cchName, LPDWORD pdwSerial,
                                         LPDWORD pcchComponent, LPDWORD pdwFlags, LPSTR pszFileSystem, DWORD cch)
{
    return !g_pInjection->Record(SEAM_VOLUME, pszRoot) &&
           ::GetVolumeInformationA(pszRoot, pszName, cchName, pdwSerial, pcchComponent, pdwFlags, pszFileSystem, cch);
}

BOOL Injection::Load(LPCSTR pszLibrary)
{
    return !g_pInjection->Record(SEAM_LIBRARY, pszLibrary) && ::LoadLibraryA(pszLibrary) != NULL;
}

} // namespace harness
