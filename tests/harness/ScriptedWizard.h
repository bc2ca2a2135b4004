// A wizard whose pages and installation steps are scripted: each showing of a page takes
// the next answer of the script, each step answers as the test set it, and everything the
// flow did is written to a trace.
#pragma once
#include "app/DriverWizardApp.h"
#include "tests/harness/Lines.h"
#include <doctest.h>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace harness {

// A showing's result that leaves the page's result as the flow left it: a page that closed
// without any of its handlers.
const int RESULT_UNTOUCHED = 0x7fffffff;

// One showing of a page: which page the flow must show and how it closes.
struct Showing {
    UINT nPage;                      // IDD_WELCOME, IDD_PRINTER, ...
    int nResult;                     // PAGE_NEXT, PAGE_BACK, PAGE_CANCEL, RESULT_UNTOUCHED or
                                     // anything else
    int nTask = 0;                   // welcome page: the task chosen
    const char* pszPrinter = NULL;   // printer page: the name and port entered
    const char* pszPort = NULL;
    const char* pszPath = NULL;      // destination page: the directory chosen
    const char* pszBrowseTo = NULL;  // destination page: where browsing leaves the current directory
    bool bCannotBeMade = false;      // the page is really shown, from a template that does not
                                     // exist, so that the system cannot make it
};

class ScriptedWizard : public CDriverWizardApp {
public:
    ScriptedWizard();

    std::deque<Showing> showings;
    bool bAllowedToInstall = true;
    bool bRightsCheckThrows = false;
    std::string installableInf = "driver.inf";  // empty: the package holds no driver INF
    bool bRealInfSearch = false;                // search the current directory for real instead
    std::deque<BOOL> driverResults;             // empty: TRUE; the other steps succeed
    // The monitor check, the API library's copy, the driver's installation, the printer's
    // creation and the package's copy are the program's own; the trace adds " ok" or " failed"
    // to each of their lines. The Printers folder and the destination are never opened.
    bool bRealSteps = false;
    // Pages shown for real (see RunPage), each driven by its script; the queue is not used for
    // them. With isShownForReal, only the showings it chooses.
    std::map<UINT, std::function<void(CDialog& page, HWND hPage)>> realPages;
    std::function<bool(CDialog& page)> isShownForReal;
    // The showing of a page for which none is queued; without it such a page is Cancelled.
    std::function<Showing(CDialog& page)> nextShowing;
    // Called with each line as it is added to the trace, before the step runs.
    std::function<void(const std::string& line)> onStep;

    // One line per thing the flow did, such as "welcome install-enabled" or "copy C:\out\.".
    std::vector<std::string> trace;
    // Wait cursors counted while the steps ran; all should be 1.
    std::vector<int> waitCursorCounts;
    // The current directory when the package was copied.
    std::string copyDirectory;

    // Runs the flow from the welcome step.
    void RunFromWelcome();

protected:
    BOOL ShowPage(CDialog& page) override;
    void CheckInstallRights() override;
    LPCSTR FindInstallableInf(LPCSTR pszCandidates) override;
    BOOL CheckMonitor(CWnd* pOwner) override;
    void CopyApiDll() override;
    BOOL InstallPrinterDriver(LPCSTR pszInfFile, LPCSTR pszDriverName, LPCSTR pszEnvironment) override;
    BOOL CreatePrinter(LPSTR pszServerName, LPCSTR pszPrinterName, LPCSTR pszDriverName, LPCSTR pszPortName,
                       LPCSTR pszComment, LPCSTR pszLocation, LPCSTR pszSepFile) override;
    BOOL CopyPackage(LPCSTR pszDestination) override;
    void OpenPrintersFolder() override;
    void OpenWithShell(LPCSTR pszPath) override;

private:
    void Step(const std::string& line);
    BOOL Outcome(BOOL bResult);
};

} // namespace harness
