// The ports of the package's port monitor: the spooler's list of them, the connection each
// stands for, and a new one made by the monitor in its own dialog.
#pragma once
#include "base/Enumeration.h"
#include "framework/Wnd.h"

// TRUE when the list (names with their NULs, then an empty name) holds the name, compared
// exactly.
BOOL ListHoldsName(LPCSTR pszList, LPCSTR pszName);
// TRUE when the list is empty or holds the name: before the first filling every port is known.
BOOL IsKnownPort(LPCSTR pszName, LPCSTR pszList);
// What the monitor's port stands for, from its "TYPE" value: "USB", "COM n", or an empty text
// when the port has no such value.
CString GetPhysicalPort(LPCSTR pszPortName);
// The spooler's ports (PORT_INFO_2A records).
Enumeration EnumeratePorts();
// Makes sure the spooler runs (ending the program when it cannot) and the package's monitor is
// installed and current, then lets the monitor add a port through its dialog, owned by pOwner.
// pszNewPort (NAME_BUFFER_SIZE bytes) receives the port the spooler lists now and did not list
// before, or an empty text. FALSE, after telling the user, when the monitor directory cannot
// be entered; nothing was tried then.
BOOL AddMonitorPort(CWnd* pOwner, char* pszNewPort);
