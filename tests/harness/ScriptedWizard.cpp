#include "tests/harness/ScriptedWizard.h"
#include "res/resource.h"
#include "tests/harness/Pages.h"
#include "ui/DestinationDlg.h"
#include "ui/PrinterDlg.h"
#include "ui/SummaryDlg.h"
#include "ui/WelcomeDlg.h"
#include <direct.h>

namespace harness {

ScriptedWizard::ScriptedWizard()
{
    lstrcpyA(m_pszDriverName, "ZUV Izov");
}

void ScriptedWizard::RunFromWelcome()
{
    g_nSetupStatus = 0;
    m_nWizardStep = STEP_WELCOME;
    m_bCopyTask = FALSE;
    RunWizard();
}

void ScriptedWizard::Step(const std::string& line)
{
    trace.push_back(line);
    waitCursorCounts.push_back(m_nWaitCursorCount);
    if (onStep)
        onStep(line);
}

BOOL ScriptedWizard::Outcome(BOOL bResult)
{
    trace.back() += bResult ? " ok" : " failed";
    return bResult;
}

BOOL ScriptedWizard::ShowPage(CDialog& page)
{
    CWizardPage& wizardPage = static_cast<CWizardPage&>(page);
    auto real = realPages.find(page.m_nIDTemplate);
    if (real != realPages.end() && (!isShownForReal || isShownForReal(page))) {
        Step(page.m_nIDTemplate == IDD_PRINTER       ? "printer"
             : page.m_nIDTemplate == IDD_DESTINATION ? "destination"
             : page.m_nIDTemplate == IDD_WELCOME     ? "welcome"
             : page.m_nIDTemplate == IDD_SUMMARY     ? "summary"
                                                     : "page");
        RunPage(page, [&](HWND hPage) { real->second(page, hPage); });
        return TRUE;
    }
    if (showings.empty() && nextShowing)
        showings.push_back(nextShowing(page));
    if (showings.empty()) {
        Step("unscripted page " + std::to_string(page.m_nIDTemplate));
        wizardPage.m_nResult = PAGE_CANCEL;
        return TRUE;
    }
    Showing showing = showings.front();
    showings.pop_front();

    switch (page.m_nIDTemplate) {
    case IDD_WELCOME: {
        CWelcomeDlg& welcome = static_cast<CWelcomeDlg&>(page);
        Step(welcome.m_bInstallDisabled ? "welcome install-disabled" : "welcome install-enabled");
        welcome.m_nTask = showing.nTask;
        break;
    }
    case IDD_PRINTER: {
        CPrinterDlg& printer = static_cast<CPrinterDlg&>(page);
        Step("printer");
        if (showing.pszPrinter != NULL)
            printer.m_strPrinterName = showing.pszPrinter;
        if (showing.pszPort != NULL)
            lstrcpynA(printer.m_pszPortName, showing.pszPort, 260);
        break;
    }
    case IDD_DESTINATION: {
        CDestinationDlg& destination = static_cast<CDestinationDlg&>(page);
        Step("destination");
        if (showing.pszPath != NULL)
            lstrcpynA(destination.m_pszPath, showing.pszPath, 260);
        if (showing.pszBrowseTo != NULL)
            ::SetCurrentDirectoryA(showing.pszBrowseTo);
        break;
    }
    case IDD_SUMMARY: {
        CSummaryDlg& summary = static_cast<CSummaryDlg&>(page);
        Step(std::string("summary ") + (summary.m_bCopyTask ? "copy" : "install") + " name=" +
             summary.m_pszPrinterName + " port=" + summary.m_pszPort + " destination=" +
             summary.m_pszDestination);
        break;
    }
    default:
        Step("unknown page " + std::to_string(page.m_nIDTemplate));
        break;
    }
    if (page.m_nIDTemplate != showing.nPage)
        Step("expected page " + std::to_string(showing.nPage));
    if (showing.bCannotBeMade) {
        UINT nTemplate = page.m_nIDTemplate;
        page.m_nIDTemplate = 0x7fff;
        BOOL bShown = CDriverWizardApp::ShowPage(page);
        page.m_nIDTemplate = nTemplate;
        return bShown;
    }
    if (showing.nResult != RESULT_UNTOUCHED)
        wizardPage.m_nResult = showing.nResult;
    return TRUE;
}

void ScriptedWizard::CheckInstallRights()
{
    Step("rights");
    if (bRightsCheckThrows)
        throw 1;
    if (!bAllowedToInstall)
        g_nSetupStatus = SETUP_NOT_PERMITTED;
}

LPCSTR ScriptedWizard::FindInstallableInf(LPCSTR pszCandidates)
{
    if (bRealInfSearch)
        return CDriverWizardApp::FindInstallableInf(pszCandidates);
    // The candidates come from the test's current directory; the answer is scripted.
    while (*pszCandidates != '\0')
        pszCandidates += lstrlenA(pszCandidates) + 1;
    return installableInf.empty() ? pszCandidates : installableInf.c_str();
}

BOOL ScriptedWizard::CheckMonitor(CWnd* pOwner)
{
    Step("monitor");
    return bRealSteps ? Outcome(CDriverWizardApp::CheckMonitor(pOwner)) : TRUE;
}

void ScriptedWizard::CopyApiDll()
{
    Step("api-dll");
    if (bRealSteps)
        CDriverWizardApp::CopyApiDll();
}

BOOL ScriptedWizard::InstallPrinterDriver(LPCSTR pszInfFile, LPCSTR pszDriverName, LPCSTR pszEnvironment)
{
    Step(std::string("driver inf=") + pszInfFile + " name=" + pszDriverName +
         (pszEnvironment != NULL ? " environment" : ""));
    if (bRealSteps)
        return Outcome(CDriverWizardApp::InstallPrinterDriver(pszInfFile, pszDriverName, pszEnvironment));
    BOOL bResult = driverResults.empty() || driverResults.front();
    if (!driverResults.empty())
        driverResults.pop_front();
    return bResult;
}

BOOL ScriptedWizard::CreatePrinter(LPSTR pszServerName, LPCSTR pszPrinterName, LPCSTR pszDriverName,
                                   LPCSTR pszPortName, LPCSTR pszComment, LPCSTR pszLocation, LPCSTR pszSepFile)
{
    bool bNulls = pszServerName == NULL && pszComment == NULL && pszLocation == NULL && pszSepFile == NULL;
    Step(std::string("create name=") + pszPrinterName + " driver=" + pszDriverName + " port=" + pszPortName +
         (bNulls ? "" : " extra-arguments"));
    return bRealSteps ? Outcome(CDriverWizardApp::CreatePrinter(pszServerName, pszPrinterName, pszDriverName,
                                                                pszPortName, pszComment, pszLocation, pszSepFile))
                      : TRUE;
}

BOOL ScriptedWizard::CopyPackage(LPCSTR pszDestination)
{
    char szDirectory[MAX_PATH] = "";
    ::GetCurrentDirectoryA(MAX_PATH, szDirectory);
    copyDirectory = szDirectory;
    Step(std::string("copy ") + pszDestination);
    return bRealSteps ? Outcome(CDriverWizardApp::CopyPackage(pszDestination)) : TRUE;
}

void ScriptedWizard::OpenPrintersFolder()
{
    Step("open-printers");
}

void ScriptedWizard::OpenWithShell(LPCSTR pszPath)
{
    Step(std::string("open ") + pszPath);
}

} // namespace harness
