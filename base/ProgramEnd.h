// Ending the program from inside an operation: the user declined to start the spooler, or
// the spooler cannot be made to run. Nothing is undone; the process ends with the code given.
#pragma once
#include <windows.h>

// Ends the process with nExitCode; never returns.
void EndProgram(UINT nExitCode);

// What ends the program: ExitProcess unless a test put another function in its place. A
// replacement must not return (a test's throws); if it does, the process ends anyway.
typedef void (*ProgramEndFunction)(UINT nExitCode);
// Puts the function in place (NULL: ExitProcess again) and returns the one it replaced.
ProgramEndFunction SetProgramEndFunction(ProgramEndFunction pfnEnd);
