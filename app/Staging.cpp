#include "app/Staging.h"

// Not built yet: copies nothing.
void CopyApiDll()
{
}

// Not built yet: copies nothing.
void CopyPackage(LPCSTR)
{
}

// Not built yet: opens nothing.
void OpenPrintersFolder()
{
}

// Not built yet: opens nothing.
void OpenWithShell(LPCSTR)
{
}
