#include "base/Buffers.h"
#include "framework/WinApp.h"
#include <stdlib.h>
#include <string.h>

namespace {
int g_nAllocationsUntilFailure = 0;
}

char* AllocBuffer(size_t cb)
{
    if (g_nAllocationsUntilFailure > 0 && --g_nAllocationsUntilFailure == 0)
        return NULL;
    return static_cast<char*>(calloc(1, cb));
}

void FreeBuffer(void* pBuffer)
{
    free(pBuffer);
}

char* LoadTextBuffer(UINT nID, size_t cb)
{
    char* pszText = AllocBuffer(cb);
    if (pszText != NULL)
        ::LoadStringA(AfxGetResourceHandle(), nID, pszText, (int)cb);
    return pszText;
}

BOOL CopyText(char* pszDest, size_t cb, LPCSTR pszSource)
{
    size_t cch = strlen(pszSource);
    if (cch >= cb)
        return FALSE;
    memcpy(pszDest, pszSource, cch + 1);
    return TRUE;
}

void FailBufferAllocation(int nth)
{
    g_nAllocationsUntilFailure = nth;
}
