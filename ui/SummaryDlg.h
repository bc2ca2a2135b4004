// The last page of both tasks: what the wizard is about to do, confirmed with Finish.
#pragma once
#include "ui/WizardPage.h"

class CSummaryDlg : public CWizardPage {
public:
    explicit CSummaryDlg(CWnd* pParent = NULL);
    virtual ~CSummaryDlg();

    // FALSE when the page's buffers could not be had.
    BOOL HasBuffers() const
    {
        return m_pszDestination != NULL && m_pszPrinterName != NULL && m_pszPort != NULL;
    }

    // Each takes a copy of the text (NULL reads as empty) for the next showing; a text longer
    // than the buffer is cut. The page shows each with its label, whole, or leaves both out
    // when the text is empty.
    void SetDestination(LPCSTR pszDestination);
    void SetPrinterName(LPCSTR pszPrinterName);
    void SetPort(LPCSTR pszPort);

    BOOL m_bCopyTask;  // set by the flow before every showing
    CButton m_btnFinish;
    CStatic m_stHeading;
    char* m_pszDestination;  // NAME_BUFFER_SIZE bytes each
    char* m_pszPrinterName;
    char* m_pszPort;

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual BOOL OnInitDialog();
    // Finish: the work is the flow's, but either task needs the spooler running.
    virtual void OnOK();
};
