// Stand-in for the vendor's printer API library, which applications load from the system
// directory to find the printer and to check which library version they are talking to.
#include <windows.h>
#include <string.h>

namespace {

const char kPrinterName[] = "ZUV Izov";

// Major in the top byte, minor in the next, build in the low word: 1.0.0.4.
const DWORD kApiVersion = (1u << 24) | (0u << 16) | 4u;

}  // namespace

extern "C" {

DWORD WINAPI IzovApiVersion(void)
{
    return kApiVersion;
}

// Like GetEnvironmentVariable: the length copied without the terminator, or, when the buffer is
// missing or too small, the size needed including it.
DWORD WINAPI IzovPrinterName(LPSTR buffer, DWORD size)
{
    const DWORD needed = sizeof(kPrinterName);
    if (!buffer || size < needed) return needed;
    memcpy(buffer, kPrinterName, needed);
    return needed - 1;
}

}  // extern "C"
