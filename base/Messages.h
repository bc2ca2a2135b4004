// Message boxes whose texts come from the string table, and the two forms in which a
// failure of the platform is shown: a string-table prefix followed by the system's text for
// the error under the program's caption, or the system's text alone under the caption
// "Unable to complete the install.".
#pragma once
#include "base/Buffers.h"
#include "framework/Wnd.h"

// The window that owns the message boxes shown for pOwner; none for NULL.
inline HWND OwnerWindow(CWnd* pOwner)
{
    return pOwner != NULL ? pOwner->m_hWnd : NULL;
}

// Shows string nTextID under caption nCaptionID and returns the button pressed; shows nothing
// and returns 0 when the texts' buffers cannot be had. cbText is the text's buffer size.
int ShowTableMessage(HWND hOwner, UINT nTextID, UINT nCaptionID, UINT uType, size_t cbText = NAME_BUFFER_SIZE);
// The same with the text's %s replaced by pszArgument.
int ShowTableMessageWith(HWND hOwner, UINT nTextID, LPCSTR pszArgument, UINT nCaptionID, UINT uType);
// String nPrefixID followed directly by the system's text for dwError, under the program's
// caption; pszDetails, when given, follows on a line of its own.
void ShowErrorWithPrefix(HWND hOwner, UINT nPrefixID, DWORD dwError, UINT uType, LPCSTR pszDetails = NULL);
// The system's text for dwError under the caption "Unable to complete the install.", with the
// error icon; pszDetails, when given, follows on a line of its own.
void ShowSystemError(HWND hOwner, DWORD dwError, LPCSTR pszDetails = NULL);
// The system's text for dwError under the given caption.
void ShowSystemText(HWND hOwner, DWORD dwError, LPCSTR pszCaption, UINT uType);

// What shows every box of these functions: MessageBoxA, unless a test put another in its place.
typedef int(WINAPI* MessageBoxFunction)(HWND hOwner, LPCSTR pszText, LPCSTR pszCaption, UINT uType);
// For tests: puts the function in place (NULL: MessageBoxA again) and returns the one it replaced.
MessageBoxFunction SetMessageBoxFunction(MessageBoxFunction pfnMessageBox);
