// Spooler service control.
#pragma once
#include "framework/Wnd.h"

// TRUE when the spooler runs or was started; asks before starting it and ends the program
// when the user declines.
BOOL EnsureSpoolerRunning(CWnd* pOwner);
