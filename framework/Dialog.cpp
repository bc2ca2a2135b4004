#include "Dialog.h"
#include "WinApp.h"

IMPLEMENT_DYNAMIC(CDialog, CWnd)

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, OnOK)
    ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd)
{
}

INT_PTR CDialog::DoModal()
{
    LPCSTR lpszTemplate = MAKEINTRESOURCEA(m_nIDTemplate);
    HINSTANCE hInstance = AfxFindResourceHandle(lpszTemplate, RT_DIALOG);
    HWND hWndParent = m_pParentWnd != NULL ? m_pParentWnd->m_hWnd : NULL;
    return ::DialogBoxParamA(hInstance, lpszTemplate, hWndParent, &CDialog::DialogProc, (LPARAM)this);
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hWnd, UINT message, WPARAM, LPARAM lParam)
{
    // Everything after WM_INITDIALOG reaches the object through its subclassed window
    // procedure; the dialog procedure only makes that link.
    if (message != WM_INITDIALOG)
        return FALSE;
    CDialog* pDialog = reinterpret_cast<CDialog*>(lParam);
    if (!pDialog->SubclassWindow(hWnd)) {
        ::EndDialog(hWnd, -1);
        return FALSE;
    }
    RECT rectBefore;
    ::GetWindowRect(hWnd, &rectBefore);
    BOOL bSetFocus = TRUE;
    try {
        bSetFocus = pDialog->OnInitDialog();
    } catch (...) {
    }
    // A page that did not place itself opens in the middle of the screen.
    RECT rectAfter;
    ::GetWindowRect(hWnd, &rectAfter);
    if (::EqualRect(&rectBefore, &rectAfter) && !(::GetWindowLongA(hWnd, GWL_STYLE) & (WS_CHILD | DS_ABSALIGN)))
        pDialog->CenterWindow();
    return bSetFocus;
}

void CDialog::EndDialog(int nResult)
{
    ::EndDialog(m_hWnd, nResult);
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}
