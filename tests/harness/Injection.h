// The program's seams other than the platform boundary, taken over for a test: work buffers, the
// shell's copy and its library, listings of directories, new directories, renames, deletions,
// temporary names, single-file copies and volume names. While an Injection lives it
// records every call of each kind and fails the one call the test chose; the others do what
// the system does. The shell's copy stands for a shell that shows its own progress and errors
// (FOF_NOERRORUI aside): it gives each target the source's content, as a hard link to it, so a
// test must not write to a copied file in place.
#pragma once
#include "base/Buffers.h"
#include "base/Directories.h"
#include "base/ShellCopy.h"
#include <map>
#include <string>
#include <vector>

namespace harness {

enum SeamKind {
    SEAM_ALLOCATION, SEAM_SHELL_COPY, SEAM_LISTING, SEAM_NEXT_ENTRY, SEAM_NEW_DIRECTORY, SEAM_RENAME, SEAM_DELETION,
    SEAM_TEMP_NAME, SEAM_FILE_COPY, SEAM_VOLUME, SEAM_LIBRARY, SEAM_KINDS
};

struct SeamCall {
    SeamKind kind;
    std::string what;    // the pattern listed, the directory made, the copy's target and its flags,
                         // the file renamed (and its new name), deleted or copied (and where to)
    bool bFailed;        // it failed: the call the test chose, or a copy the system refused
    bool bErrorUi;       // a shell copy without FOF_NOERRORUI: the shell speaks for its failure
};

class Injection {
public:
    Injection();
    ~Injection();
    Injection(const Injection&) = delete;
    Injection& operator=(const Injection&) = delete;

    // Call k of the kind from now (0: the next one) fails with the error: a buffer is not had,
    // whatever the error; a shell copy copies nothing and answers the error, or for
    // ERROR_CANCELLED reports itself aborted, as after Cancel in its progress window.
    void Fail(SeamKind kind, size_t k, DWORD dwError = ERROR_NOT_ENOUGH_MEMORY);
    size_t Count(SeamKind kind) const { return m_counts[kind]; }

    std::vector<SeamCall> calls;

private:
    static void* Allocate(size_t cb);
    static int WINAPI ShellOperation(LPSHFILEOPSTRUCTA pOperation);
    static HANDLE WINAPI FindFirst(LPCSTR pszPattern, LPWIN32_FIND_DATAA pFound);
    static BOOL WINAPI FindNext(HANDLE hFind, LPWIN32_FIND_DATAA pFound);
    static BOOL WINAPI MakeDirectory(LPCSTR pszPath, LPSECURITY_ATTRIBUTES pAttributes);
    static BOOL WINAPI Rename(LPCSTR pszFrom, LPCSTR pszTo, DWORD dwFlags);
    static BOOL WINAPI Delete(LPCSTR pszPath);
    static UINT WINAPI TempFileName(LPCSTR pszDirectory, LPCSTR pszPrefix, UINT uUnique, LPSTR pszName);
    static BOOL WINAPI CopySingle(LPCSTR pszFrom, LPCSTR pszTo, BOOL bFailIfExists);
    static BOOL WINAPI VolumeInformation(LPCSTR pszRoot, LPSTR pszName, DWORD cchName, LPDWORD pdwSerial,
                                         LPDWORD pcchComponent, LPDWORD pdwFlags, LPSTR pszFileSystem, DWORD cch);
    static BOOL Load(LPCSTR pszLibrary);
    // Records the call; true, with the last error set, when it is the one to fail.
    bool Record(SeamKind kind, const std::string& what, bool bErrorUi = false);

    size_t m_counts[SEAM_KINDS] = {};
    SeamKind m_failedKind = SEAM_KINDS;
    size_t m_nFailed = 0;
    DWORD m_dwError = 0;
    std::map<HANDLE, std::string> m_listings;
    DirectoryCalls m_directoryCalls;
    BufferAllocator m_pfnAllocator;
    ShellFileOperation m_pfnShell;
    LibraryLoader m_pfnLoader;
    const DirectoryCalls* m_pDirectoryCalls;
};

} // namespace harness
