#include "monitor/Pause.h"

namespace {
PauseFunction g_pfnPause = NULL;
}

void Pause(DWORD dwMilliseconds)
{
    if (g_pfnPause != NULL)
        g_pfnPause(dwMilliseconds);
    else
        ::Sleep(dwMilliseconds);
}

PauseFunction SetPauseFunction(PauseFunction pfnPause)
{
    PauseFunction pfnPrevious = g_pfnPause;
    g_pfnPause = pfnPause;
    return pfnPrevious;
}
