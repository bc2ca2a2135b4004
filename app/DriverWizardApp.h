// The application object: it lets the wizard run only on Windows NT 5.x and runs the whole
// wizard inside InitInstance, so the application never has a main window of its own.
#pragma once
#include "framework/Afx.h"

// The flow's state.
enum WizardStep {
    STEP_WELCOME = 0,
    STEP_PRINTER = 2,
    STEP_DESTINATION = 4,
    STEP_SUMMARY = 6,
    STEP_INSTALL_DRIVER = 8,
    STEP_CREATE_PRINTER = 10,
    STEP_OPEN_PRINTERS = 12,
    STEP_OPEN_DESTINATION = 14
};

// g_nSetupStatus: 0 at start; the rights check sets SETUP_NOT_PERMITTED, which disables the
// install task for the rest of the run.
const int SETUP_NOT_PERMITTED = -4;
extern int g_nSetupStatus;

// TRUE for Windows NT with major version 5: Windows 2000, XP and Server 2003.
BOOL IsSupportedSystem(const OSVERSIONINFOA& osvi);

// The candidate INF list for the pattern: the first matching file of the current directory,
// or none, in a zero-filled NAME_LIST_SIZE block. NULL when the block cannot be had; the
// caller frees it with FreeBuffer.
char* FindDriverInfs(LPCSTR pszPattern);

struct WizardPages;
class CWizardPage;

class CDriverWizardApp : public CWinApp {
public:
    CDriverWizardApp();
    virtual ~CDriverWizardApp();

    virtual BOOL InitInstance();

    void RunWizard();
    // Sets g_nSetupStatus to SETUP_NOT_PERMITTED when this user may not install here.
    virtual void CheckInstallRights();
    // Registers the package's driver from its INF (print processor, files, OEM INF copy); TRUE
    // when the spooler took it. Sets m_strPrintProcessor and shows its own failure messages.
    virtual BOOL InstallPrinterDriver(LPCSTR pszInfFile, LPCSTR pszDriverName, LPCSTR pszEnvironment);
    // TRUE when the INF names a catalog file that the current directory holds and is not empty.
    BOOL HasCatalogFile(LPCSTR pszInfFile);
    // Creates the local, unshared printer; TRUE when the spooler made it. Shows its own failure
    // messages.
    virtual BOOL CreatePrinter(LPSTR pszServerName, LPCSTR pszPrinterName, LPCSTR pszDriverName,
                               LPCSTR pszPortName, LPCSTR pszComment, LPCSTR pszLocation, LPCSTR pszSepFile);
    // The first candidate that is a driver INF of this package, or the list's closing empty name.
    virtual LPCSTR FindInstallableInf(LPCSTR pszCandidates);

    int m_nWizardStep;
    OSVERSIONINFOA m_osvi;
    BOOL m_bCopyTask;
    char* m_pszDriverName;          // NAME_BUFFER_SIZE bytes, owned
    CString m_strPrintProcessor;

protected:
    // The flow reaches the pages and the other subsystems through these, so that a test can
    // put scripted ones in their place.
    // Shows the page as a modal dialog; FALSE, with the last error set, when it could not be
    // made.
    virtual BOOL ShowPage(CDialog& page);
    virtual BOOL CheckMonitor(CWnd* pOwner);
    virtual void CopyApiDll();
    virtual BOOL CopyPackage(LPCSTR pszDestination);
    virtual void OpenPrintersFolder();
    virtual void OpenWithShell(LPCSTR pszPath);

    DECLARE_MESSAGE_MAP()

private:
    // Shows the page with its result reset, so that a showing never reads a result of an
    // earlier one; FALSE, after telling the user, when the page could not be shown.
    BOOL Show(CWizardPage& page);
    BOOL FollowPage(int nResult, int nBackStep, int nNextStep);
    // Each step returns FALSE when the flow ends.
    BOOL WelcomeStep(WizardPages& pages, LPCSTR pszCandidates);
    BOOL PrinterStep(WizardPages& pages);
    BOOL DestinationStep(WizardPages& pages);
    BOOL SummaryStep(WizardPages& pages);
    BOOL InstallDriverStep(LPCSTR pszCandidates);
    BOOL CreatePrinterStep(WizardPages& pages);
    BOOL CopyToDestination(LPCSTR pszDestination);
};
