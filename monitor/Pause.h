// The pauses between service status queries. Tests put a recorder in their place, so that
// a wait of many seconds runs at once.
#pragma once
#include <windows.h>

typedef void (*PauseFunction)(DWORD dwMilliseconds);

void Pause(DWORD dwMilliseconds);
// Puts a pause function in place (NULL: Sleep again) and returns the one it replaced.
PauseFunction SetPauseFunction(PauseFunction pfnPause);
