// The file and shell actions at the ends of the two tasks.
#pragma once
#include <windows.h>

// Copies the printer API library from the current directory into the system directory.
void CopyApiDll();
// Copies the current directory's files, and those of its monitor sub-directory, to the
// destination (a directory followed by "\.").
void CopyPackage(LPCSTR pszDestination);
void OpenPrintersFolder();
// Opens a file or directory with its default shell verb; does nothing for an empty path.
void OpenWithShell(LPCSTR pszPath);
