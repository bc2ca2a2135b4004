#include "tests/harness/Pages.h"
#include "res/resource.h"
#include "tests/harness/Report.h"
#include "ui/DestinationDlg.h"
#include "ui/PrinterDlg.h"
#include "ui/SummaryDlg.h"
#include "ui/WelcomeDlg.h"
#include <exception>

namespace harness {

namespace {

struct ActiveRun {
    CDialog* pPage;
    const std::function<void(HWND)>* pScript;
    PageRun* pRun;
    UINT_PTR nStartTimer;
    UINT_PTR nGuardTimer;
    DWORD dwStart;
    bool bNeverShown;
    std::exception_ptr failure;  // what the script threw (a failed REQUIRE), thrown again by RunPage
};

ActiveRun* g_pActive = NULL;

const UINT kPollMs = 10;
const UINT kGuardMs = 500;
const DWORD kShowBoundMs = 20000;

void EndPage(ActiveRun* pActive)
{
    if (::IsWindow(pActive->pPage->m_hWnd))
        ::EndDialog(pActive->pPage->m_hWnd, -2);
}

void CALLBACK GuardTimer(HWND, UINT, UINT_PTR nTimer, DWORD)
{
    ::KillTimer(NULL, nTimer);
    if (g_pActive == NULL || g_pActive->nGuardTimer != nTimer)
        return;
    g_pActive->nGuardTimer = 0;
    if (::IsWindow(g_pActive->pPage->m_hWnd)) {
        g_pActive->pRun->bLeftOpen = true;
        EndPage(g_pActive);
    }
}

void CALLBACK StartTimer(HWND, UINT, UINT_PTR nTimer, DWORD)
{
    if (g_pActive == NULL || g_pActive->nStartTimer != nTimer) {
        ::KillTimer(NULL, nTimer);
        return;
    }
    ActiveRun* pActive = g_pActive;
    HWND hPage = pActive->pPage->m_hWnd;
    bool bShown = hPage != NULL && ::IsWindowVisible(hPage);
    if (!bShown && ::GetTickCount() - pActive->dwStart < kShowBoundMs)
        return;
    ::KillTimer(NULL, nTimer);
    pActive->nStartTimer = 0;
    if (!bShown) {
        pActive->bNeverShown = true;
        EndPage(pActive);
        return;
    }

    pActive->pRun->bScriptRan = true;
    if (::GetActiveWindow() != hPage)
        Fail(Said() << "page " << pActive->pPage->m_nIDTemplate << " was shown without being activated");
    // An exception must not cross the system's message dispatching: the page ends, and RunPage
    // throws it again.
    try {
        (*pActive->pScript)(hPage);
    } catch (...) {
        pActive->failure = std::current_exception();
        EndPage(pActive);
        return;
    }
    if (g_pActive == pActive)
        pActive->nGuardTimer = ::SetTimer(NULL, 0, kGuardMs, &GuardTimer);
}

} // namespace

PageRun RunPage(CDialog& page, const std::function<void(HWND hPage)>& script)
{
    PageRun run = { 0, false, false };
    ActiveRun active = { &page, &script, &run, 0, 0, ::GetTickCount(), false, nullptr };
    ActiveRun* pOuter = g_pActive;
    g_pActive = &active;
    active.nStartTimer = ::SetTimer(NULL, 0, kPollMs, &StartTimer);

    run.nModalResult = page.DoModal();

    if (active.nStartTimer != 0)
        ::KillTimer(NULL, active.nStartTimer);
    if (active.nGuardTimer != 0)
        ::KillTimer(NULL, active.nGuardTimer);
    g_pActive = pOuter;

    if (active.failure)
        std::rethrow_exception(active.failure);
    if (active.bNeverShown)
        Fail(Said() << "page " << page.m_nIDTemplate << " did not become visible within " << kShowBoundMs
                    << " ms; it was ended");
    else if (!run.bScriptRan)
        Fail(Said() << "page " << page.m_nIDTemplate << " never showed (DoModal returned " << run.nModalResult
                    << "): its script did not run");
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
