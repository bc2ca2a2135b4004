// How the flow reaches the pages and the other subsystems in the shipped program.
#include "app/DriverWizardApp.h"
#include "app/Staging.h"
#include "install/DriverInstall.h"
#include "install/PrinterCreation.h"
#include "monitor/MonitorInstall.h"

BOOL CDriverWizardApp::ShowPage(CDialog& page)
{
    ::SetLastError(ERROR_SUCCESS);
    return page.DoModal() != -1;
}

BOOL CDriverWizardApp::CheckMonitor(CWnd* pOwner)
{
    return ::CheckMonitor(pOwner);
}

void CDriverWizardApp::CopyApiDll()
{
    ::CopyApiDll();
}

BOOL CDriverWizardApp::CopyPackage(LPCSTR pszDestination)
{
    return ::CopyPackage(pszDestination);
}

void CDriverWizardApp::OpenPrintersFolder()
{
    ::OpenPrintersFolder();
}

void CDriverWizardApp::OpenWithShell(LPCSTR pszPath)
{
    ::OpenWithShell(pszPath);
}

BOOL CDriverWizardApp::InstallPrinterDriver(LPCSTR pszInfFile, LPCSTR pszDriverName, LPCSTR pszEnvironment)
{
    return ::InstallPrinterDriver(pszInfFile, pszDriverName, pszEnvironment, m_strPrintProcessor);
}

BOOL CDriverWizardApp::HasCatalogFile(LPCSTR pszInfFile)
{
    return ::HasCatalogFile(pszInfFile);
}

BOOL CDriverWizardApp::CreatePrinter(LPSTR pszServerName, LPCSTR pszPrinterName, LPCSTR pszDriverName,
                                     LPCSTR pszPortName, LPCSTR pszComment, LPCSTR pszLocation, LPCSTR pszSepFile)
{
    return ::CreatePrinter(pszServerName, pszPrinterName, pszDriverName, pszPortName, pszComment, pszLocation,
                           pszSepFile, m_strPrintProcessor);
}
