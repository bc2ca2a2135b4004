#include "ui/CurrentDirectory.h"
#include "base/Buffers.h"
#include "base/Messages.h"

namespace {

// Room for any directory the system may report, longer than a path buffer.
const size_t CURRENT_DIRECTORY_SIZE = 1024;

} // namespace

char* ReadCurrentDirectory(HWND hOwner, LPCSTR pszCaption)
{
    char* pszDirectory = AllocBuffer(CURRENT_DIRECTORY_SIZE);
    if (pszDirectory == NULL)
        return NULL;
    DWORD cch = ::GetCurrentDirectoryA((DWORD)CURRENT_DIRECTORY_SIZE, pszDirectory);
    if (cch == 0 || cch >= CURRENT_DIRECTORY_SIZE) {
        DWORD dwError = cch == 0 ? ::GetLastError() : ERROR_BUFFER_OVERFLOW;
        FreeBuffer(pszDirectory);
        ShowSystemText(hOwner, dwError, pszCaption, MB_OK | MB_ICONHAND);
        return NULL;
    }
    return pszDirectory;
}
