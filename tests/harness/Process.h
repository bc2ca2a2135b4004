// Starts the built setup.exe as a separate process in a package directory and drives it
// only through its windows, as a user would.
#pragma once
#include "tests/harness/MessageBoxes.h"
#include <windows.h>
#include <string>
#include <vector>

namespace harness {

// The Windows form (Z:\...) of a path that ctest passed in an environment variable.
std::string PathFromEnvironment(const char* pszVariable);
// Copies a directory tree; false if any file or directory could not be made.
bool CopyTree(const std::string& from, const std::string& to);

// How many processes of this program file name run now; with a time of ProcessClock(), only
// those started since then. A process may end soon after it started: poll from then on.
size_t ProcessesNamed(const char* pszExeName, const FILETIME* pStartedSince = NULL);
FILETIME ProcessClock();

class WizardProcess {
public:
    WizardProcess();
    ~WizardProcess();

    // Copies the built sample package, setup.exe included, to C:\<name> and returns that path.
    static std::string StagePackage(const std::string& name);
    // From its next start, setup.exe reports this Windows version (winxp, win2k, win2003,
    // nt40, vista, win98, ...); false when it cannot be set.
    static bool SetWindowsVersion(const char* pszVersion);

    // Starts setup.exe of the directory with that directory as its current one. When a version
    // was chosen for it (WIZARD_WINVER, for SetWindowsVersion, or the prefix's WINETEST_WINVER),
    // the first start makes sure that a program of its name sees that version here, and fails
    // the test and starts nothing when not.
    bool Start(const std::string& directory);
    // The same, as a user who is not an administrator (the Administrators group only denies).
    bool StartWithoutAdminRights(const std::string& directory);
    // Starts setup.exe there and returns its welcome page once it shows; NULL when it does not
    // start or shows no welcome page in time.
    HWND StartAtWelcome(const std::string& directory, DWORD dwTimeoutMs = 30000);
    // The process's visible top-level window with this title.
    HWND WaitForWindow(const char* pszTitle, DWORD dwTimeoutMs) const;
    // The page, among the process's windows, that has the control.
    HWND WaitForPage(int nControlID, DWORD dwTimeoutMs) const;
    // The process's next message box, read and left open.
    HWND WaitForMessageBox(MessageBoxRecord* pBox, DWORD dwTimeoutMs) const;
    bool WaitForExit(DWORD dwTimeoutMs, DWORD* pdwExitCode = NULL);
    bool IsRunning() const;
    std::vector<HWND> VisibleWindows() const;

private:
    bool Start(const std::string& directory, HANDLE hToken);

    PROCESS_INFORMATION m_pi;
};

} // namespace harness
