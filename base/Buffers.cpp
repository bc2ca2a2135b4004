#include "base/Buffers.h"
#include "framework/WinApp.h"
#include <stdlib.h>
#include <string.h>

namespace {
BufferAllocator g_pfnAllocate = NULL;
unsigned g_nRefused = 0;
}

char* AllocBuffer(size_t cb)
{
    char* pBuffer = static_cast<char*>(g_pfnAllocate != NULL ? g_pfnAllocate(cb) : calloc(1, cb));
    if (pBuffer == NULL) {
        ++g_nRefused;
        ::SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    }
    return pBuffer;
}

unsigned BuffersRefused()
{
    return g_nRefused;
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

BufferAllocator SetBufferAllocator(BufferAllocator pfnAllocate)
{
    BufferAllocator pfnPrevious = g_pfnAllocate;
    g_pfnAllocate = pfnAllocate;
    return pfnPrevious;
}
