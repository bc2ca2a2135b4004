// The wizard's state machine: shows the pages one at a time and runs the installation and
// copy steps between them, in the order the user's choices give.
#include "app/DriverWizardApp.h"
#include "app/Staging.h"
#include "base/Buffers.h"
#include "base/Messages.h"
#include "res/resource.h"
#include "ui/DestinationDlg.h"
#include "ui/PrinterDlg.h"
#include "ui/SummaryDlg.h"
#include "ui/WelcomeDlg.h"
#include <direct.h>
#include <string.h>

// The pages live for the whole run, built in this order and destroyed in the reverse one.
struct WizardPages {
    CWelcomeDlg welcome;
    CDestinationDlg destination;
    CSummaryDlg summary;
    CPrinterDlg printer;

    BOOL HaveBuffers() const
    {
        return destination.HasBuffers() && summary.HasBuffers() && printer.HasBuffers();
    }
};

void CDriverWizardApp::RunWizard()
{
    WizardPages pages;

    char* pszCandidates = NULL;
    if (pages.HaveBuffers()) {
        char* pszPattern = LoadTextBuffer(IDS_INF_PATTERN);
        if (pszPattern != NULL)
            pszCandidates = FindDriverInfs(pszPattern);
        FreeBuffer(pszPattern);
    }
    // Without its work buffers the wizard cannot run at all.
    if (pszCandidates == NULL)
        return;

    BeginWaitCursor();
    BOOL bRunning = TRUE;
    while (bRunning) {
        switch (m_nWizardStep) {
        case STEP_WELCOME:
            bRunning = WelcomeStep(pages, pszCandidates);
            break;
        case STEP_PRINTER:
            bRunning = PrinterStep(pages);
            break;
        case STEP_DESTINATION:
            bRunning = DestinationStep(pages);
            break;
        case STEP_SUMMARY:
            bRunning = SummaryStep(pages);
            break;
        case STEP_INSTALL_DRIVER:
            bRunning = InstallDriverStep(pszCandidates);
            break;
        case STEP_CREATE_PRINTER:
            bRunning = CreatePrinterStep(pages);
            break;
        case STEP_OPEN_PRINTERS:
            RestoreWaitCursor();
            OpenPrintersFolder();
            bRunning = FALSE;
            break;
        case STEP_OPEN_DESTINATION:
            RestoreWaitCursor();
            OpenWithShell(pages.destination.m_pszPath);
            bRunning = FALSE;
            break;
        default:
            // No step leads here; going round again would never end.
            bRunning = FALSE;
            break;
        }
    }

    FreeBuffer(pszCandidates);
    EndWaitCursor();
}

BOOL CDriverWizardApp::Show(CWizardPage& page)
{
    page.m_nResult = 0;
    if (ShowPage(page))
        return TRUE;
    // Going round again would try the same page for ever, unseen, under the wait cursor.
    DWORD dwError = ::GetLastError();
    ShowSystemError(NULL, dwError != ERROR_SUCCESS ? dwError : ERROR_CAN_NOT_COMPLETE);
    return FALSE;
}

// Cancel ends the flow; Back and Next go to their steps; any other result shows the same
// step again.
BOOL CDriverWizardApp::FollowPage(int nResult, int nBackStep, int nNextStep)
{
    switch (nResult) {
    case PAGE_CANCEL:
        return FALSE;
    case PAGE_BACK:
        m_nWizardStep = nBackStep;
        break;
    case PAGE_NEXT:
        m_nWizardStep = nNextStep;
        break;
    }
    return TRUE;
}

BOOL CDriverWizardApp::WelcomeStep(WizardPages& pages, LPCSTR pszCandidates)
{
    try {
        CheckInstallRights();
    } catch (...) {
        // A failed check leaves the status as it found it; the page is shown anyway.
    }

    CWelcomeDlg& welcome = pages.welcome;
    if (g_nSetupStatus == SETUP_NOT_PERMITTED)
        welcome.m_bInstallDisabled = TRUE;
    else
        welcome.m_bInstallDisabled = *FindInstallableInf(pszCandidates) == '\0';

    if (!Show(welcome))
        return FALSE;

    switch (welcome.m_nResult) {
    case PAGE_CANCEL:
        return FALSE;
    case PAGE_NEXT:
        if (welcome.m_nTask == 0) {
            m_bCopyTask = FALSE;
            m_nWizardStep = STEP_PRINTER;
        } else if (welcome.m_nTask == 1) {
            m_bCopyTask = TRUE;
            m_nWizardStep = STEP_DESTINATION;
        }
        break;
    }
    return TRUE;
}

BOOL CDriverWizardApp::PrinterStep(WizardPages& pages)
{
    if (!CheckMonitor(&pages.printer))
        return FALSE;

    if (!Show(pages.printer))
        return FALSE;
    RestoreWaitCursor();
    return FollowPage(pages.printer.m_nResult, STEP_WELCOME, STEP_SUMMARY);
}

BOOL CDriverWizardApp::DestinationStep(WizardPages& pages)
{
    // Browsing on the page changes the current drive and directory; every later step reads
    // the package from the directory current before it.
    char* pszDirectory = AllocBuffer(NAME_BUFFER_SIZE);
    if (pszDirectory == NULL)
        return FALSE;
    int nDrive = _getdrive();
    BOOL bHaveDirectory = _getcwd(pszDirectory, (int)NAME_BUFFER_SIZE) != NULL;

    // The page refuses a destination too deep for the package's files to be written under it.
    pages.destination.m_cchDeepestFile = DeepestPackageFile();
    BOOL bShown = Show(pages.destination);
    RestoreWaitCursor();
    _chdrive(nDrive);
    if (bHaveDirectory)
        _chdir(pszDirectory);
    FreeBuffer(pszDirectory);
    return bShown && FollowPage(pages.destination.m_nResult, STEP_WELCOME, STEP_SUMMARY);
}

BOOL CDriverWizardApp::SummaryStep(WizardPages& pages)
{
    CSummaryDlg& summary = pages.summary;
    if (pages.welcome.m_nTask == 0) {
        summary.SetPrinterName(pages.printer.m_strPrinterName);
        summary.SetPort(pages.printer.m_pszPortName);
        summary.SetDestination("");
    } else {
        summary.SetPrinterName("");
        summary.SetPort("");
        summary.SetDestination(pages.destination.m_pszPath);
    }
    summary.m_bCopyTask = m_bCopyTask;

    if (!Show(summary))
        return FALSE;
    RestoreWaitCursor();

    if (m_bCopyTask && summary.m_nResult == PAGE_NEXT)
        return CopyToDestination(pages.destination.m_pszPath);
    return FollowPage(summary.m_nResult, m_bCopyTask ? STEP_DESTINATION : STEP_PRINTER, STEP_INSTALL_DRIVER);
}

// Copies the package into the destination (given as the directory followed by "\." so the
// shell copies into it) and goes on to open it. No destination, or one too long for that, is
// refused, and the user chooses again: "\." alone would name the current drive's root. A copy
// that stopped short (a failure, or Cancel in the shell's progress window) opens nothing: the
// user is back on the destination page, told why where the shell would not say it.
BOOL CDriverWizardApp::CopyToDestination(LPCSTR pszDestination)
{
    char* pszCopyPath = AllocBuffer(NAME_BUFFER_SIZE);
    if (pszCopyPath == NULL)
        return FALSE;

    if (pszDestination[0] == '\0') {
        ShowTableMessage(NULL, IDS_NO_DIRECTORY, IDS_CAPTION, MB_OK | MB_ICONERROR);
        m_nWizardStep = STEP_DESTINATION;
    } else if (strlen(pszDestination) + 2 < NAME_BUFFER_SIZE) {
        strcpy(pszCopyPath, pszDestination);
        strcat(pszCopyPath, "\\.");
        m_nWizardStep = CopyPackage(pszCopyPath) ? STEP_OPEN_DESTINATION : STEP_DESTINATION;
    } else {
        ShowTableMessage(NULL, IDS_ILLEGAL_NAME, IDS_CAPTION, MB_OK | MB_ICONERROR);
        m_nWizardStep = STEP_DESTINATION;
    }
    FreeBuffer(pszCopyPath);
    return TRUE;
}

BOOL CDriverWizardApp::InstallDriverStep(LPCSTR pszCandidates)
{
    RestoreWaitCursor();
    LPCSTR pszInfFile = FindInstallableInf(pszCandidates);
    // The printer API library goes to the system directory whatever the driver's fate.
    CopyApiDll();
    if (InstallPrinterDriver(pszInfFile, m_pszDriverName, NULL))
        m_nWizardStep = STEP_CREATE_PRINTER;
    else
        m_nWizardStep = STEP_PRINTER;
    return TRUE;
}

BOOL CDriverWizardApp::CreatePrinterStep(WizardPages& pages)
{
    RestoreWaitCursor();
    if (CreatePrinter(NULL, pages.printer.m_strPrinterName, m_pszDriverName, pages.printer.m_pszPortName,
                      NULL, NULL, NULL))
        m_nWizardStep = STEP_OPEN_PRINTERS;
    else
        m_nWizardStep = STEP_PRINTER;
    return TRUE;
}
