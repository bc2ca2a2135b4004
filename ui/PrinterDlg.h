// The page on which the user names the new printer and picks its port: one of the package
// monitor's ports or the file port, or a new port the monitor makes.
#pragma once
#include "ui/WizardPage.h"

struct Enumeration;

class CPrinterDlg : public CWizardPage {
public:
    explicit CPrinterDlg(CWnd* pParent = NULL);
    virtual ~CPrinterDlg();

    // FALSE when the page's buffers could not be had.
    BOOL HasBuffers() const { return m_pszPortName != NULL && m_pszKnownPorts != NULL; }

    char* m_pszPortName;    // NAME_BUFFER_SIZE bytes: the selected port
    char* m_pszKnownPorts;  // the ports shown at the last filling, each with its NUL, then an
                            // empty name; at least NAME_LIST_SIZE bytes
    CEdit m_editName;
    CListCtrl m_listPorts;
    CString m_strPrinterName;

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual BOOL OnInitDialog();
    virtual void OnOK();

    // Called when the name is edited.
    void OnChangePrinterName();
    // Called when the page is shown or hidden; a showing lists the ports afresh.
    void OnShowWindow(BOOL bShow, UINT nStatus);
    void OnItemchangedPorts(NMHDR* pNMHDR, LRESULT* pResult);
    // Called when "New &VOV Port..." is clicked.
    void OnNewPort();
    // A double-click on a port is Next.
    void OnDblclkPorts(NMHDR* pNMHDR, LRESULT* pResult);

    void SetupPortColumns();
    // Lists the monitor's ports and the file port, selecting the port that is new since the
    // last filling, else the one held, else the first.
    void FillPortList();
    // FALSE, after telling the user, when no printer can be made with this name.
    BOOL ValidatePrinterName(LPCSTR pszName);

    DECLARE_MESSAGE_MAP()

private:
    void EnableNext(BOOL bEnable);
    void SelectItem(int nItem);
    // The names of the enumeration to list, in its order and each once, in a block the caller
    // frees; NULL when the block cannot be had.
    char* PortNamesToList(const Enumeration& ports, LPCSTR pszMonitor, LPCSTR pszFilePort);
};
