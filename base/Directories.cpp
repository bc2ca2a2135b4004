#include "base/Directories.h"

namespace {

const DirectoryCalls kSystemCalls = { &::FindFirstFileA, &::FindNextFileA, &::CreateDirectoryA };
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

const DirectoryCalls* SetDirectoryCalls(const DirectoryCalls* pCalls)
{
    const DirectoryCalls* pPrevious = g_pCalls == &kSystemCalls ? NULL : g_pCalls;
    g_pCalls = pCalls != NULL ? pCalls : &kSystemCalls;
    return pPrevious;
}
