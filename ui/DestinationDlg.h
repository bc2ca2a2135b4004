// The copy task's page: the user picks a drive and a directory, or types one.
#pragma once
#include "ui/WizardPage.h"

class CDestinationDlg : public CWizardPage {
public:
    explicit CDestinationDlg(CWnd* pParent = NULL);
    virtual ~CDestinationDlg();

    // FALSE when the page's buffer could not be had.
    BOOL HasBuffers() const { return m_pszPath != NULL; }

    char* m_pszPath;  // NAME_BUFFER_SIZE bytes: the destination directory
    CButton m_btnNext;
    CComboBox m_cbDrive;
    CTreeCtrl m_treeDir;
    CEdit m_editDir;
    CString m_strDir;
    CButton m_btnCreate;
    CImageList m_imageList;

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
};
