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

// The arguments (the command line after the program's name) of each process of this program
// file name that runs now; with a time of ProcessClock(), of those started since then. A process
// may end soon after it started: poll from then on. Arguments that cannot be read fail the test.
std::vector<std::string> ProcessesNamed(const char* pszExeName, const FILETIME* pStartedSince = NULL);
FILETIME ProcessClock();
// What the shell hands explorer.exe for the Printers folder: its parsing name under My Computer.
const char kPrintersFolder[] = "::{20d04fe0-3aea-1069-a2d8-08002b30309d}\\::{2227a280-3aea-1069-a2de-08002b30309d}";

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
    // The process's next message box, read and left open; NULL when none shows in the time or,
    // given the id of a control, before the page with that control shows: "no box" is a look
    // over the whole time in which one could come.
    HWND WaitForMessageBox(MessageBoxRecord* pBox, DWORD dwTimeoutMs, int nUntilPage = 0) const;
    bool WaitForExit(DWORD dwTimeoutMs, DWORD* pdwExitCode = NULL);
    // The process must end within the time with exit code 0; the test fails, saying how not.
    void CheckEndsWell(DWORD dwTimeoutMs);
    bool IsRunning() const;
    std::vector<HWND> VisibleWindows() const;

private:
    bool Start(const std::string& directory, HANDLE hToken);

    PROCESS_INFORMATION m_pi;
};

} // namespace harness
