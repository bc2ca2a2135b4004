#include "base/ProgramEnd.h"

namespace {
ProgramEndFunction g_pfnEnd = NULL;
}

void EndProgram(UINT nExitCode)
{
    if (g_pfnEnd != NULL)
        g_pfnEnd(nExitCode);
    ::ExitProcess(nExitCode);
}

ProgramEndFunction SetProgramEndFunction(ProgramEndFunction pfnEnd)
{
    ProgramEndFunction pfnPrevious = g_pfnEnd;
    g_pfnEnd = pfnEnd;
    return pfnPrevious;
}
