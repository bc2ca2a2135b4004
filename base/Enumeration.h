// A spooler enumeration: asked once for the size it needs, then once with a buffer of that
// size.
#pragma once
#include "base/Buffers.h"

struct Enumeration {
    BYTE* pBuffer;  // the records, freed with FreeBuffer; NULL for an empty or unread list
    DWORD nCount;
    BOOL bRead;     // FALSE when the list could not be read; the last error tells why
};

// call(pBuffer, cbBuffer, pcbNeeded, pcReturned) is the enumeration; a first call that
// succeeds without a buffer means an empty list. The buffer is nFactor times the size asked
// for, which leaves room for records added between the two calls.
template <typename Call>
Enumeration Enumerate(Call call, DWORD nFactor = 1)
{
    Enumeration result = { NULL, 0, TRUE };
    DWORD cbNeeded = 0;
    if (call(NULL, 0, &cbNeeded, &result.nCount))
        return result;
    result.nCount = 0;
    result.bRead = FALSE;
    if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER)
        return result;
    DWORD cbBuffer = cbNeeded * nFactor;
    result.pBuffer = reinterpret_cast<BYTE*>(AllocBuffer(cbBuffer));
    if (result.pBuffer == NULL) {
        ::SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return result;
    }
    if (!call(result.pBuffer, cbBuffer, &cbNeeded, &result.nCount)) {
        DWORD dwError = ::GetLastError();
        FreeBuffer(result.pBuffer);
        result.pBuffer = NULL;
        result.nCount = 0;
        ::SetLastError(dwError);
        return result;
    }
    result.bRead = TRUE;
    return result;
}
