#include "ui/WizardPage.h"
#include "res/resource.h"

IMPLEMENT_DYNAMIC(CWizardPage, CDialog)

BEGIN_MESSAGE_MAP(CWizardPage, CDialog)
    ON_WM_PAINT()
    ON_BN_CLICKED(IDC_BACK, OnBack)
END_MESSAGE_MAP()

CWizardPage::CWizardPage(UINT nIDTemplate, CWnd* pParentWnd)
    : CDialog(nIDTemplate, pParentWnd), m_nResult(0)
{
    LPCSTR lpszIcon = MAKEINTRESOURCEA(IDR_MAINFRAME);
    m_hIcon = ::LoadIconA(AfxFindResourceHandle(lpszIcon, RT_GROUP_ICON), lpszIcon);
}

BOOL CWizardPage::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_bmpHeader.DeleteObject();
    m_bmpHeader.LoadBitmap(IDB_HEADER);
    SendMessage(WM_SETICON, ICON_BIG, (LPARAM)m_hIcon);
    SendMessage(WM_SETICON, ICON_SMALL, (LPARAM)m_hIcon);
    return TRUE;
}

void CWizardPage::OnOK()
{
    m_nResult = PAGE_NEXT;
    CDialog::OnOK();
}

void CWizardPage::OnCancel()
{
    m_nResult = PAGE_CANCEL;
    CDialog::OnCancel();
}

void CWizardPage::OnBack()
{
    // The base class's OnCancel: the page's own would turn this into PAGE_CANCEL.
    m_nResult = PAGE_BACK;
    CDialog::OnCancel();
}

void CWizardPage::OnPaint()
{
    CPaintDC dc(this);
    if (IsIconic()) {
        SendMessage(WM_ICONERASEBKGND, (WPARAM)dc.GetSafeHdc());
        int cxIcon = ::GetSystemMetrics(SM_CXICON);
        int cyIcon = ::GetSystemMetrics(SM_CYICON);
        CRect rect;
        GetClientRect(&rect);
        dc.DrawIcon((rect.Width() - cxIcon + 1) / 2, (rect.Height() - cyIcon + 1) / 2, m_hIcon);
    } else {
        PaintHeader(&dc);
    }
}

void CWizardPage::PaintHeader(CDC* pDC)
{
    CRect rect;
    GetClientRect(&rect);
    BITMAP bm;
    if (!m_bmpHeader.GetBitmap(&bm))
        return;
    m_bmpHeader.DrawTransparent(pDC, rect.right - bm.bmWidth - 5, rect.top + 12, HEADER_KEY_COLOR);
}

HCURSOR CWizardPage::OnQueryDragIcon()
{
    return (HCURSOR)m_hIcon;
}
