// The first page: the user chooses to install a new printer or to copy the driver to a
// directory. The install task is disabled when this user or package cannot install.
#pragma once
#include "ui/WizardPage.h"

class CWelcomeDlg : public CWizardPage {
public:
    explicit CWelcomeDlg(CWnd* pParent = NULL);

    BOOL m_bInstallDisabled;  // set by the flow before every showing
    CButton m_btnNext;
    int m_nTask;              // 0 install a new printer, 1 copy a printer driver to a directory

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual BOOL OnInitDialog();
    virtual void OnOK();
    // Called to paint the page: the header mark only, minimised or not.
    void OnPaint();
    // Called when "&View Readme file" is clicked: the package's readme opens with the shell.
    void OnViewReadme();

    DECLARE_MESSAGE_MAP()
};
