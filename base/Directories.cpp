#include "base/Directories.h"

namespace {

const DirectoryCalls kSystemCalls = { &::FindFirstFileA, &::FindNextFileA,  &::CreateDirectoryA,
                                      &::MoveFileExA,    &::DeleteFileA,    &::GetTempFileNameA,
                                      &::CopyFileA,      &::GetVolumeInformationA };
const DirectoryCalls* g_pCalls = &kSystemCalls;

} // namespace

HANDLE FindFirstEntry(LPCSTR pszPattern, WIN32_FIND_DATAA* pFound)
{
    return g_pCalls->pfnFindFirst(pszPattern, pFound);
}

BOOL FindNextEntry(HANDLE hFind, WIN32_FIND_DATAA* pFound)
{
    return g_pCalls->pfnFindNext(hFind, pFound);
}

BOOL MakeOneDirectory(LPCSTR pszPath)
{
    return g_pCalls->pfnCreateDirectory(pszPath, NULL);
}

BOOL RenameFile(LPCSTR pszFrom, LPCSTR pszTo)
{
    return g_pCalls->pfnMoveFileEx(pszFrom, pszTo, 0);
}

BOOL RemoveFile(LPCSTR pszPath)
{
    return g_pCalls->pfnDeleteFile(pszPath);
}

BOOL RemoveFileAtRestart(LPCSTR pszPath)
{
    return g_pCalls->pfnMoveFileEx(pszPath, NULL, MOVEFILE_DELAY_UNTIL_REBOOT);
}

UINT MakeTempFileName(LPCSTR pszDirectory, LPCSTR pszPrefix, LPSTR pszName)
{
    return g_pCalls->pfnGetTempFileName(pszDirectory, pszPrefix, 0, pszName);
}

BOOL CopyOneFile(LPCSTR pszFrom, LPCSTR pszTo, BOOL bFailIfExists)
{
    return g_pCalls->pfnCopyFile(pszFrom, pszTo, bFailIfExists);
}

BOOL ReadVolumeName(LPCSTR pszRoot, LPSTR pszName, DWORD cbName)
{
    return g_pCalls->pfnGetVolumeInformation(pszRoot, pszName, cbName, NULL, NULL, NULL, NULL, 0);
}

const DirectoryCalls* SetDirectoryCalls(const DirectoryCalls* pCalls)
{
    const DirectoryCalls* pPrevious = g_pCalls == &kSystemCalls ? NULL : g_pCalls;
    g_pCalls = pCalls != NULL ? pCalls : &kSystemCalls;
    return pPrevious;
}
