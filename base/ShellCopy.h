// Copies files of the current directory into a directory with the shell's file operation.
#pragma once
#include <windows.h>
#include <shellapi.h>

// Every copy of the program goes through ShellCopyFiles, and every failure of one is told by
// TellCopyFailure: CopyFilesToDirectory at once, the monitor's upgrade once the spooler runs
// again. No caller keeps a list of its own of what the shell leaves unsaid.

// Copies every file of the list (names, each with its NUL, then an empty name) from the
// current directory into the target directory, with the shell's own progress and error
// windows. The sources go to the shell in lists of 26000 bytes at most, in as many operations
// as the files need. TRUE when every operation ran to its end; FALSE at the first that failed
// or that the user cancelled in the shell's progress window (last error ERROR_CANCELLED), the
// later ones not run, and FALSE, before any is run, when a name is refused or missing
// (CheckCopySources) or a file's path at either end would not fit MAX_PATH
// (ERROR_FILENAME_EXCED_RANGE): the shell would skip such a file without a word. With
// pszTargetNames (a list as long as the other), each file gets the name of its place in it.
BOOL ShellCopyFiles(LPCSTR pszFileList, LPCSTR pszTargetDirectory, FILEOP_FLAGS fFlags,
                    LPCSTR pszTargetNames = NULL);
// Whether every name of the list is a plain file name (IsPlainFileName) that the current
// directory holds; the first that is not is told (ERROR_INVALID_NAME, ERROR_FILE_NOT_FOUND) and
// left as the last error. Nothing is touched: an installation checks its files so before it
// changes anything.
BOOL CheckCopySources(LPCSTR pszFileList);
// Tells a copy's failure where the shell may say nothing of it: a source missing or refused, a
// path not found or too long, with the system's text. Cancel needs no word, the shell speaks
// for its other failures, and a work buffer not had is silent, as everywhere.
void TellCopyFailure(DWORD dwError);
// Copies the listed files (names, each with its NUL, then an empty name) from the current
// directory into the directory, which is made first when it does not exist. Files already
// there are replaced without a question; the shell shows its own progress and errors, and
// TellCopyFailure the rest. The result is ShellCopyFiles'.
BOOL CopyFilesToDirectory(LPCSTR pszFileList, LPCSTR pszDestination, LPCSTR pszTargetNames = NULL);

// The shell's file operation, as the copies call it.
typedef int(WINAPI* ShellFileOperation)(LPSHFILEOPSTRUCTA pOperation);
// For tests: puts another file operation in the shell's place (NULL: the shell's again) and
// returns the one it replaced.
ShellFileOperation SetShellFileOperation(ShellFileOperation pfnOperation);

// Loads the shell's library, which the first copy would load otherwise: a step that cannot do
// without it (the monitor's upgrade, with the spooler stopped) loads it before it starts. FALSE,
// with the last error, when it cannot be loaded.
BOOL LoadShellCopy();
// What loads a library: for tests (NULL: the system's LoadLibraryA again); returns the one
// replaced.
typedef BOOL (*LibraryLoader)(LPCSTR pszLibrary);
LibraryLoader SetLibraryLoader(LibraryLoader pfnLoad);
