// The package's port monitor: installed, or upgraded when the installed copy is older.
#pragma once
#include "framework/Wnd.h"

// FALSE when the monitor's directory or INF is unusable, which ends the wizard.
BOOL CheckMonitor(CWnd* pOwner);
