// The file and shell actions at the ends of the two tasks. All take their files from the
// current directory, the package directory while the wizard runs.
#pragma once
#include "base/ShellCopy.h"

// Copies every plain file of the current directory into the destination; TRUE when every
// file was copied. The copy stops at the first of the shell's operations that fails or that
// the user cancels; FALSE comes with the last error set (ERROR_CANCELLED for Cancel). A listing
// of the directory that breaks off is told here, and copies nothing more.
BOOL CopyDirectoryFiles(LPCSTR pszDestination);
// Copies the package's files, and those of its monitor directory into the destination's
// "pxmonitor", to the destination (a directory followed by "\."); TRUE when every file was
// copied, FALSE, with the last error set, as soon as one was not.
BOOL CopyPackage(LPCSTR pszDestination);
// The length of the longest path, below the destination, of a file that CopyPackage writes:
// a package file's name, or "pxmonitor\" and a monitor file's name.
size_t DeepestPackageFile();
// Copies the printer API library into the system directory.
void CopyApiDll();
void OpenPrintersFolder();
// Opens a file or directory with its default shell verb; does nothing for an empty path.
void OpenWithShell(LPCSTR pszPath);
