// The page on which the user names the new printer and picks its port.
#pragma once
#include "ui/WizardPage.h"

class CPrinterDlg : public CWizardPage {
public:
    explicit CPrinterDlg(CWnd* pParent = NULL);
    virtual ~CPrinterDlg();

    // FALSE when the page's buffers could not be had.
    BOOL HasBuffers() const { return m_pszPortName != NULL && m_pszKnownPorts != NULL; }

    char* m_pszPortName;    // NAME_BUFFER_SIZE bytes: the selected port
    char* m_pszKnownPorts;  // NAME_LIST_SIZE bytes: the ports shown at the last filling
    CEdit m_editName;
    CListCtrl m_listPorts;
    CString m_strPrinterName;

protected:
    virtual void DoDataExchange(CDataExchange* pDX);

    DECLARE_MESSAGE_MAP()
};
