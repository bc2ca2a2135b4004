#include "ComboBox.h"

void CComboBox::GetLBText(int nIndex, CString& rString) const
{
    int nLength = (int)SendMessage(CB_GETLBTEXTLEN, (WPARAM)nIndex);
    if (nLength == CB_ERR) {
        rString.Empty();
        return;
    }
    LRESULT nCopied = SendMessage(CB_GETLBTEXT, (WPARAM)nIndex, (LPARAM)rString.GetBuffer(nLength));
    rString.ReleaseBuffer(nCopied == CB_ERR ? 0 : (int)nCopied);
}
