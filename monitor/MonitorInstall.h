// The package's port monitor: installed when the spooler does not know it, and upgraded,
// with the spooler stopped and restarted, when the installed copy is older.
#pragma once
#include "framework/Wnd.h"
#include <functional>

class MonitorInf;

// Makes sure the spooler runs (ending the program when it cannot), then installs or upgrades
// the monitor from the package's monitor directory. FALSE when that directory or its INF is
// unusable; TRUE otherwise, also when the installation failed or the upgrade was declined.
BOOL CheckMonitor(CWnd* pOwner);
// Enters the package's monitor directory and runs work with the monitor's INF read there; the
// directory current before is current again afterwards. FALSE, after telling the user, when the
// directory cannot be entered; work is not run then.
BOOL RunInMonitorDirectory(CWnd* pOwner, const std::function<void(MonitorInf&)>& work);
// Looks for a monitor the spooler has installed with the INF's DLL; when there is one, its name
// replaces the INF's for the rest of the run.
BOOL FindInstalledMonitor(MonitorInf& inf);
// Copies the monitor's files into the system directory and registers the monitor; TRUE when
// the spooler took it. Files the package lacks, and a copy that failed, are told and nothing is
// registered; the files of an earlier installation come back when the monitor is not.
BOOL InstallMonitor(CWnd* pOwner, MonitorInf& inf);
// Offers to replace an installed monitor that is older than the package's; TRUE when nothing
// had to be done or the upgrade succeeded, FALSE when declined, when the versions could not be
// compared for want of memory, when the spooler would not stop, or when the files were not
// copied. Ends the program when the spooler cannot be
// restarted.
BOOL UpgradeMonitor(CWnd* pOwner, LPCSTR pszFileList);
// The upgrade once the user agreed to it: stops the spooler and its dependents, copies the
// listed files of the current directory into the system directory and restarts them. FALSE,
// after saying so, when a file is missing or the shell's library cannot be loaded (nothing is
// stopped then), when the spooler would not stop, and when the copy failed or was cancelled
// (the files it replaced are put back and the spooler is restarted all the same); ends the
// program, after saying so, when it cannot be restarted, with the old files put back.
BOOL ReplaceMonitorFiles(CWnd* pOwner, LPCSTR pszFileList);
// The "Version" of the installed monitor whose DLL is pszDllName; FALSE when there is none.
BOOL GetInstalledMonitorVersion(LPCSTR pszDllName, char* pszVersion, DWORD cbVersion);
// Copies the listed files of the current directory into the target directory; FALSE, with the
// last error, when the copy failed or the user cancelled it.
BOOL CopyMonitorFiles(LPCSTR pszFileList, LPCSTR pszTargetDirectory);

// TRUE when the installed version orders before the package's: number by number when both are
// dot-separated numbers, otherwise as plain text.
BOOL IsOlderVersion(LPCSTR pszInstalled, LPCSTR pszPackage);
