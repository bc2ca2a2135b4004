#include "ui/WelcomeDlg.h"
#include "monitor/SpoolerService.h"
#include "res/resource.h"

BEGIN_MESSAGE_MAP(CWelcomeDlg, CWizardPage)
    ON_WM_PAINT()
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
