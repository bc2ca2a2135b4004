// The process's current directory, read for the destination page and its tree.
#pragma once
#include <windows.h>

// The current directory in a new block, or NULL after showing the system's text for the failure
// under the caption (a directory too long for the block counts as a failure). The caller frees
// the block with FreeBuffer.
char* ReadCurrentDirectory(HWND hOwner, LPCSTR pszCaption);
