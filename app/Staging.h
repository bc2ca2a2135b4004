// The file and shell actions at the ends of the two tasks. All take their files from the
// current directory, the package directory while the wizard runs.
#pragma once
#include "base/ShellCopy.h"

// Copies every plain file of the current directory into the destination.
void CopyDirectoryFiles(LPCSTR pszDestination);
// Copies the package's files, and those of its monitor directory into the destination's
// "pxmonitor", to the destination (a directory followed by "\.").
void CopyPackage(LPCSTR pszDestination);
// Copies the printer API library into the system directory.
void CopyApiDll();
void OpenPrintersFolder();
// Opens a file or directory with its default shell verb; does nothing for an empty path.
void OpenWithShell(LPCSTR pszPath);
