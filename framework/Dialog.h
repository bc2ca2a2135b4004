// CDialog: a modal dialog made from a dialog template. Enter and the default button reach
// OnOK, which takes the data from the controls and ends only if that worked; Esc, the
// close box and IDCANCEL reach OnCancel, which ends without taking any data.
#pragma once
#include "Wnd.h"

class CDialog : public CWnd {
    DECLARE_DYNAMIC(CDialog)
public:
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = NULL);

    // Runs the dialog; returns the code given to EndDialog, or -1 if it could not be made.
    virtual INT_PTR DoModal();
    void EndDialog(int nResult);

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;

protected:
    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();

    DECLARE_MESSAGE_MAP()

private:
    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
};
