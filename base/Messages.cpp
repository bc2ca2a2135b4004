#include "base/Messages.h"
#include "base/Text.h"
#include "framework/String.h"
#include "res/resource.h"

namespace {

MessageBoxFunction g_pfnMessageBox = NULL;

int Box(HWND hOwner, LPCSTR pszText, LPCSTR pszCaption, UINT uType)
{
    return g_pfnMessageBox != NULL ? g_pfnMessageBox(hOwner, pszText, pszCaption, uType)
                                   : ::MessageBoxA(hOwner, pszText, pszCaption, uType);
}

// The system's text for an error code, allocated by the system; NULL when it has none.
// The caller releases it with LocalFree.
LPSTR SystemText(DWORD dwError)
{
    LPSTR pszText = NULL;
    ::FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                     NULL, dwError, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), (LPSTR)&pszText, 0, NULL);
    return pszText;
}

} // namespace

int ShowTableMessage(HWND hOwner, UINT nTextID, UINT nCaptionID, UINT uType, size_t cbText)
{
    int nAnswer = 0;
    char* pszText = LoadTextBuffer(nTextID, cbText);
    char* pszCaption = LoadTextBuffer(nCaptionID);
    if (pszText != NULL && pszCaption != NULL)
        nAnswer = Box(hOwner, pszText, pszCaption, uType);
    FreeBuffer(pszText);
    FreeBuffer(pszCaption);
    return nAnswer;
}

int ShowTableMessageWith(HWND hOwner, UINT nTextID, LPCSTR pszArgument, UINT nCaptionID, UINT uType)
{
    int nAnswer = 0;
    char* pszFormat = LoadTextBuffer(nTextID);
    char* pszCaption = LoadTextBuffer(nCaptionID);
    if (pszFormat != NULL && pszCaption != NULL) {
        CString text;
        text.Format(pszFormat, pszArgument != NULL ? pszArgument : "");
        nAnswer = Box(hOwner, text, pszCaption, uType);
    }
    FreeBuffer(pszFormat);
    FreeBuffer(pszCaption);
    return nAnswer;
}

namespace {

// The prefix, the system's text for the error and the details on a line of their own.
void ShowJoined(HWND hOwner, LPCSTR pszPrefix, DWORD dwError, LPCSTR pszDetails, LPCSTR pszCaption, UINT uType)
{
    LPSTR pszSystemText = SystemText(dwError);
    CString text(pszPrefix);
    text += pszSystemText;
    if (pszDetails != NULL && pszDetails[0] != '\0') {
        if (!EndsWithChar(text, '\n'))
            text += "\r\n";
        text += pszDetails;
    }
    Box(hOwner, text, pszCaption, uType);
    ::LocalFree(pszSystemText);
}

} // namespace

void ShowErrorWithPrefix(HWND hOwner, UINT nPrefixID, DWORD dwError, UINT uType, LPCSTR pszDetails)
{
    char* pszPrefix = LoadTextBuffer(nPrefixID);
    char* pszCaption = LoadTextBuffer(IDS_CAPTION);
    if (pszPrefix != NULL && pszCaption != NULL)
        ShowJoined(hOwner, pszPrefix, dwError, pszDetails, pszCaption, uType);
    FreeBuffer(pszPrefix);
    FreeBuffer(pszCaption);
}

void ShowSystemText(HWND hOwner, DWORD dwError, LPCSTR pszCaption, UINT uType)
{
    ShowJoined(hOwner, "", dwError, NULL, pszCaption, uType);
}

void ShowSystemError(HWND hOwner, DWORD dwError, LPCSTR pszDetails)
{
    char* pszCaption = LoadTextBuffer(IDS_INSTALL_FAILED);
    if (pszCaption != NULL)
        ShowJoined(hOwner, "", dwError, pszDetails, pszCaption, MB_OK | MB_ICONERROR);
    FreeBuffer(pszCaption);
}

MessageBoxFunction SetMessageBoxFunction(MessageBoxFunction pfnMessageBox)
{
    MessageBoxFunction pfnPrevious = g_pfnMessageBox;
    g_pfnMessageBox = pfnMessageBox;
    return pfnPrevious;
}
