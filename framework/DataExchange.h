// Dialog data exchange: moves values between a dialog's controls and its members in
// either direction, binds control objects to their windows, and checks what the user typed.
#pragma once
#include "String.h"

class CWnd;

class CDataExchange {
public:
    // Ends an exchange whose check failed; CWnd::UpdateData catches it.
    struct Failure {};

    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate);

    BOOL m_bSaveAndValidate;   // TRUE: controls to members, with checks
    CWnd* m_pDlgWnd;
    HWND m_hWndLastControl;    // the control of the last exchange, for checks and Fail
    BOOL m_bEditLastControl;

    HWND PrepareCtrl(int nIDC);
    HWND PrepareEditCtrl(int nIDC);
    // Puts the focus on the last control and ends the exchange.
    [[noreturn]] void Fail();
};

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
void DDX_Text(CDataExchange* pDX, int nIDC, CString& value);
// value: index of the checked button in the group that starts at nIDC, -1 for none.
void DDX_Radio(CDataExchange* pDX, int nIDC, int& value);
void DDV_MaxChars(CDataExchange* pDX, const CString& value, int nChars);
