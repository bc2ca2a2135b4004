// Copies files of the current directory into a directory with the shell's file operation.
#pragma once
#include <windows.h>
#include <shellapi.h>

// Copies every file of the list (names, each with its NUL, then an empty name) from the
// current directory into the target directory, with the shell's own progress and error
// windows. The sources go to the shell in lists of 26000 bytes at most, in as many operations
// as the files need. The outcome is not reported.
void ShellCopyFiles(LPCSTR pszFileList, LPCSTR pszTargetDirectory, FILEOP_FLAGS fFlags);
// Copies the listed files (names, each with its NUL, then an empty name) from the current
// directory into the directory, which is made first when it does not exist. Files already
// there are replaced without a question; the shell shows its own progress and errors.
void CopyFilesToDirectory(LPCSTR pszFileList, LPCSTR pszDestination);
