// How the flow reaches the pages and the other subsystems in the shipped program.
#include "app/DriverWizardApp.h"
#include "app/Staging.h"
#include "monitor/MonitorInstall.h"

void CDriverWizardApp::ShowPage(CDialog& page)
{
    page.DoModal();
}

BOOL CDriverWizardApp::CheckMonitor(CWnd* pOwner)
{
    return ::CheckMonitor(pOwner);
}

void CDriverWizardApp::CopyApiDll()
{
    ::CopyApiDll();
}

void CDriverWizardApp::CopyPackage(LPCSTR pszDestination)
{
    ::CopyPackage(pszDestination);
}

void CDriverWizardApp::OpenPrintersFolder()
{
    ::OpenPrintersFolder();
}

void CDriverWizardApp::OpenWithShell(LPCSTR pszPath)
{
    ::OpenWithShell(pszPath);
}
