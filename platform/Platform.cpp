#include "platform/Platform.h"

namespace {
Platform* g_pPlatform = NULL;
}

Platform& ThePlatform()
{
    return g_pPlatform != NULL ? *g_pPlatform : SystemPlatform();
}

Platform* SetPlatform(Platform* pPlatform)
{
    Platform* pPrevious = g_pPlatform;
    g_pPlatform = pPlatform;
    return pPrevious;
}
