// Stand-in for the vendor's rendering DLL. It goes into the driver directory with the rest of the
// driver but cannot render: it hands GDI no functions, so a device context on it fails cleanly.
#include <windows.h>

namespace {

// winddi.h drags in DirectDraw's kernel headers, which mingw does not ship next to it.
struct DrvFn {
    ULONG iFunc;
    void* pfn;
};

struct DrvEnableData {
    ULONG iDriverVersion;
    ULONG c;
    DrvFn* pdrvfn;
};

const ULONG kDdiVersionNt5 = 0x00030000;

}  // namespace

extern "C" {

BOOL WINAPI DrvEnableDriver(ULONG iEngineVersion, ULONG cj, DrvEnableData* pded)
{
    (void)iEngineVersion;
    if (cj < sizeof(DrvEnableData) || !pded) return FALSE;
    pded->iDriverVersion = kDdiVersionNt5;
    pded->c = 0;
    pded->pdrvfn = NULL;
    return TRUE;
}

VOID WINAPI DrvDisableDriver(VOID)
{
}

}  // extern "C"
