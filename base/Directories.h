// The file system as the program changes it: listing directories and making them, renaming,
// deleting and copying single files, temporary names and volume names. Every such call of the
// program goes through these functions, so that a test can put its own in the system's place.
#pragma once
#include <windows.h>

// The first entry that matches the pattern, as FindFirstFileA gives it; the search is closed
// with FindClose.
HANDLE FindFirstEntry(LPCSTR pszPattern, WIN32_FIND_DATAA* pFound);
// The next entry, as FindNextFileA gives it: FALSE with ERROR_NO_MORE_FILES at the end.
BOOL FindNextEntry(HANDLE hFind, WIN32_FIND_DATAA* pFound);
// Makes one directory, as CreateDirectoryA with no security attributes does.
BOOL MakeOneDirectory(LPCSTR pszPath);
// Gives a file a new name, as MoveFileExA without flags does (never over an existing file).
BOOL RenameFile(LPCSTR pszFrom, LPCSTR pszTo);
// Deletes a file, as DeleteFileA does.
BOOL RemoveFile(LPCSTR pszPath);
// Has the system delete the file at its next start (MOVEFILE_DELAY_UNTIL_REBOOT).
BOOL RemoveFileAtRestart(LPCSTR pszPath);
// A new empty file of a unique name in the directory, as GetTempFileNameA makes it.
UINT MakeTempFileName(LPCSTR pszDirectory, LPCSTR pszPrefix, LPSTR pszName);
// Copies one file, as CopyFileA does.
BOOL CopyOneFile(LPCSTR pszFrom, LPCSTR pszTo, BOOL bFailIfExists);
// The volume's name, as GetVolumeInformationA gives it for a root.
BOOL ReadVolumeName(LPCSTR pszRoot, LPSTR pszName, DWORD cbName);

// Calls visit with each plain file (directories left out) that matches the pattern, in the
// order the system gives, while visit returns true. FALSE, with the last error set, when the
// listing broke off or could not be begun; a pattern that matches nothing is an empty listing.
template <typename Visit>
BOOL ForEachFile(LPCSTR pszPattern, Visit visit)
{
    WIN32_FIND_DATAA found;
    HANDLE hFind = FindFirstEntry(pszPattern, &found);
    if (hFind == INVALID_HANDLE_VALUE)
        return ::GetLastError() == ERROR_FILE_NOT_FOUND || ::GetLastError() == ERROR_NO_MORE_FILES;
    BOOL bGoOn = TRUE;
    BOOL bListed = TRUE;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            bGoOn = visit(found.cFileName);
    } while (bGoOn && (bListed = FindNextEntry(hFind, &found)) != FALSE);
    // The last error is the listing's, or, where visit stopped it, whatever visit left.
    DWORD dwError = ::GetLastError();
    ::FindClose(hFind);
    ::SetLastError(dwError);
    return bListed || dwError == ERROR_NO_MORE_FILES;
}

// The system's calls, as the program makes them through the functions above.
struct DirectoryCalls {
    HANDLE(WINAPI* pfnFindFirst)(LPCSTR pszPattern, LPWIN32_FIND_DATAA pFound);
    BOOL(WINAPI* pfnFindNext)(HANDLE hFind, LPWIN32_FIND_DATAA pFound);
    BOOL(WINAPI* pfnCreateDirectory)(LPCSTR pszPath, LPSECURITY_ATTRIBUTES pAttributes);
    BOOL(WINAPI* pfnMoveFileEx)(LPCSTR pszFrom, LPCSTR pszTo, DWORD dwFlags);
    BOOL(WINAPI* pfnDeleteFile)(LPCSTR pszPath);
    UINT(WINAPI* pfnGetTempFileName)(LPCSTR pszDirectory, LPCSTR pszPrefix, UINT uUnique, LPSTR pszName);
    BOOL(WINAPI* pfnCopyFile)(LPCSTR pszFrom, LPCSTR pszTo, BOOL bFailIfExists);
    BOOL(WINAPI* pfnGetVolumeInformation)(LPCSTR pszRoot, LPSTR pszName, DWORD cchName, LPDWORD pdwSerial,
                                          LPDWORD pcchComponent, LPDWORD pdwFlags, LPSTR pszFileSystem,
                                          DWORD cchFileSystem);
};
// For tests: puts other calls in the system's place (NULL: the system's again) and returns the
// ones replaced; the table must outlive its use.
const DirectoryCalls* SetDirectoryCalls(const DirectoryCalls* pCalls);
