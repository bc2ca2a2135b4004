#include "ui/WelcomeDlg.h"
#include "base/Buffers.h"
#include "monitor/SpoolerService.h"
#include "res/resource.h"
#include <shellapi.h>

BEGIN_MESSAGE_MAP(CWelcomeDlg, CWizardPage)
    ON_WM_PAINT()
    ON_BN_CLICKED(IDC_VIEW_README, OnViewReadme)
END_MESSAGE_MAP()

CWelcomeDlg::CWelcomeDlg(CWnd* pParent)
    : CWizardPage(IDD_WELCOME, pParent), m_bInstallDisabled(FALSE), m_nTask(0)
{
}

void CWelcomeDlg::DoDataExchange(CDataExchange* pDX)
{
    CWizardPage::DoDataExchange(pDX);
    DDX_Control(pDX, IDOK, m_btnNext);
    DDX_Radio(pDX, IDC_INSTALL, m_nTask);
}

BOOL CWelcomeDlg::OnInitDialog()
{
    CWizardPage::OnInitDialog();
    if (m_bInstallDisabled) {
        SendDlgItemMessageA(m_hWnd, IDC_INSTALL, BM_SETCHECK, BST_UNCHECKED, 0);
        ::EnableWindow(::GetDlgItem(m_hWnd, IDC_INSTALL), FALSE);
        SendDlgItemMessageA(m_hWnd, IDC_COPY, BM_SETCHECK, BST_CHECKED, 0);
    }
    return TRUE;
}

void CWelcomeDlg::OnOK()
{
    if (SendDlgItemMessageA(m_hWnd, IDC_INSTALL, BM_GETCHECK, 0, 0) == BST_CHECKED)
        EnsureSpoolerRunning(this);
    CWizardPage::OnOK();
}

void CWelcomeDlg::OnPaint()
{
    CPaintDC dc(this);
    PaintHeader(&dc);
}

void CWelcomeDlg::OnViewReadme()
{
    // The name is relative: the package directory is current whenever this page shows. The
    // shell reports a missing file or association itself, if at all; the page stays as it is.
    char* pszReadme = LoadTextBuffer(IDS_README);
    char* pszVerb = LoadTextBuffer(IDS_OPEN_VERB);
    if (pszReadme != NULL && pszVerb != NULL)
        ::ShellExecuteA(NULL, pszVerb, pszReadme, NULL, NULL, SW_SHOWNORMAL);
    FreeBuffer(pszReadme);
    FreeBuffer(pszVerb);
}
