// CEdit: an edit control of a dialog.
#pragma once
#include "Wnd.h"

class CEdit : public CWnd {
public:
    void LimitText(int nChars) { SendMessage(EM_LIMITTEXT, (WPARAM)nChars); }
    void SetSel(int nStart, int nEnd) { SendMessage(EM_SETSEL, (WPARAM)nStart, (LPARAM)nEnd); }
};
