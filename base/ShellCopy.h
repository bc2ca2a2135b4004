// Copies files of the current directory into a directory with the shell's file operation.
#pragma once
#include <windows.h>
#include <shellapi.h>

// Copies every file of the list (names, each with its NUL, then an empty name) from the
// current directory into the target directory, with the shell's own progress and error
// windows. The sources go to the shell in lists of 26000 bytes at most, in as many operations
// as the files need. TRUE when every operation ran to its end; FALSE at the first that failed
// or that the user cancelled in the shell's progress window (last error ERROR_CANCELLED), the
// later ones not run, and FALSE, before any is run, when a file's path at either end would not
// fit MAX_PATH (ERROR_FILENAME_EXCED_RANGE): the shell would skip such a file without a word.
BOOL ShellCopyFiles(LPCSTR pszFileList, LPCSTR pszTargetDirectory, FILEOP_FLAGS fFlags);
// Copies the listed files (names, each with its NUL, then an empty name) from the current
// directory into the directory, which is made first when it does not exist. Files already
// there are replaced without a question; the shell shows its own progress and errors. The
// result is ShellCopyFiles'.
BOOL CopyFilesToDirectory(LPCSTR pszFileList, LPCSTR pszDestination);

// The shell's file operation, as the copies call it.
typedef int(WINAPI* ShellFileOperation)(LPSHFILEOPSTRUCTA pOperation);
// For tests: puts another file operation in the shell's place (NULL: the shell's again) and
// returns the one it replaced.
ShellFileOperation SetShellFileOperation(ShellFileOperation pfnOperation);
