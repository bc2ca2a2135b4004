#include "app/Messages.h"
#include "app/Buffers.h"

int ShowTableMessage(HWND hOwner, UINT nTextID, UINT nCaptionID, UINT uType)
{
    int nAnswer = 0;
    char* pszText = LoadTextBuffer(nTextID);
    char* pszCaption = LoadTextBuffer(nCaptionID);
    if (pszText != NULL && pszCaption != NULL)
        nAnswer = ::MessageBoxA(hOwner, pszText, pszCaption, uType);
    FreeBuffer(pszText);
    FreeBuffer(pszCaption);
    return nAnswer;
}
