#include "tests/harness/Pages.h"
#include "res/resource.h"
#include "ui/DestinationDlg.h"
#include "ui/PrinterDlg.h"
#include "ui/SummaryDlg.h"
#include "ui/WelcomeDlg.h"

namespace harness {

namespace {

struct ActiveRun {
    CDialog* pPage;
    const std::function<void(HWND)>* pScript;
    PageRun* pRun;
    UINT_PTR nStartTimer;
    UINT_PTR nGuardTimer;
};

ActiveRun* g_pActive = NULL;

const UINT kPollMs = 10;
const UINT kGuardMs = 500;

void CALLBACK GuardTimer(HWND, UINT, UINT_PTR nTimer, DWORD)
{
    ::KillTimer(NULL, nTimer);
    if (g_pActive == NULL || g_pActive->nGuardTimer != nTimer)
        return;
    g_pActive->nGuardTimer = 0;
    if (::IsWindow(g_pActive->pPage->m_hWnd)) {
        g_pActive->pRun->bLeftOpen = true;
        ::EndDialog(g_pActive->pPage->m_hWnd, -2);
    }
}

void CALLBACK StartTimer(HWND, UINT, UINT_PTR nTimer, DWORD)
{
    if (g_pActive == NULL || g_pActive->nStartTimer != nTimer) {
        ::KillTimer(NULL, nTimer);
        return;
    }
    HWND hPage = g_pActive->pPage->m_hWnd;
    if (hPage == NULL || !::IsWindowVisible(hPage))
        return;
    ::KillTimer(NULL, nTimer);
    g_pActive->nStartTimer = 0;

    ActiveRun* pActive = g_pActive;
    pActive->pRun->bScriptRan = true;
    (*pActive->pScript)(hPage);
    if (g_pActive == pActive)
        pActive->nGuardTimer = ::SetTimer(NULL, 0, kGuardMs, &GuardTimer);
}

} // namespace

PageRun RunPage(CDialog& page, const std::function<void(HWND hPage)>& script)
{
    PageRun run = { 0, false, false };
    ActiveRun active = { &page, &script, &run, 0, 0 };
    ActiveRun* pOuter = g_pActive;
    g_pActive = &active;
    active.nStartTimer = ::SetTimer(NULL, 0, kPollMs, &StartTimer);

    run.nModalResult = page.DoModal();

    if (active.nStartTimer != 0)
        ::KillTimer(NULL, active.nStartTimer);
    if (active.nGuardTimer != 0)
        ::KillTimer(NULL, active.nGuardTimer);
    g_pActive = pOuter;
    return run;
}

std::unique_ptr<CWizardPage> MakePage(UINT nID)
{
    switch (nID) {
    case IDD_WELCOME:
        return std::unique_ptr<CWizardPage>(new CWelcomeDlg);
    case IDD_PRINTER:
        return std::unique_ptr<CWizardPage>(new CPrinterDlg);
    case IDD_DESTINATION:
        return std::unique_ptr<CWizardPage>(new CDestinationDlg);
    default:
        return std::unique_ptr<CWizardPage>(new CSummaryDlg);
    }
}

} // namespace harness
