#include "ui/PrinterDlg.h"
#include "base/Buffers.h"
#include "base/Enumeration.h"
#include "base/Messages.h"
#include "base/Text.h"
#include "framework/WaitCursor.h"
#include "monitor/Ports.h"
#include "monitor/SpoolerService.h"
#include "platform/Platform.h"
#include "res/resource.h"
#include <string.h>

// The longest printer name the page accepts.
const int MAX_PRINTER_NAME = 220;

// Characters that no printer name may hold.
static const char kIllegalNameCharacters[] = "=,;\\*?/<>|\":";

BEGIN_MESSAGE_MAP(CPrinterDlg, CWizardPage)
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
    ON_BN_CLICKED(IDC_BACK, OnBack)
    ON_EN_CHANGE(IDC_PRINTER_NAME, OnChangePrinterName)
    ON_WM_SHOWWINDOW()
    ON_NOTIFY(LVN_ITEMCHANGED, IDC_PORTS, OnItemchangedPorts)
    ON_BN_CLICKED(IDCANCEL, OnCancel)
    ON_BN_CLICKED(IDC_NEW_PORT, OnNewPort)
    ON_NOTIFY(NM_DBLCLK, IDC_PORTS, OnDblclkPorts)
END_MESSAGE_MAP()

CPrinterDlg::CPrinterDlg(CWnd* pParent)
    : CWizardPage(IDD_PRINTER, pParent),
      m_pszPortName(AllocBuffer(NAME_BUFFER_SIZE)),
      m_pszKnownPorts(AllocBuffer(NAME_LIST_SIZE)),
      m_strPrinterName("ZUV Izov")
{
}

CPrinterDlg::~CPrinterDlg()
{
    FreeBuffer(m_pszPortName);
    FreeBuffer(m_pszKnownPorts);
}

void CPrinterDlg::DoDataExchange(CDataExchange* pDX)
{
    CWizardPage::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_PRINTER_NAME, m_editName);
    DDX_Control(pDX, IDC_PORTS, m_listPorts);
    DDX_Text(pDX, IDC_PRINTER_NAME, m_strPrinterName);
    DDV_MaxChars(pDX, m_strPrinterName, MAX_PRINTER_NAME);
}

BOOL CPrinterDlg::OnInitDialog()
{
    CWizardPage::OnInitDialog();
    SetupPortColumns();
    return TRUE;
}

void CPrinterDlg::SetupPortColumns()
{
    m_listPorts.ModifyStyle(0, LVS_SHOWSELALWAYS);
    m_listPorts.SetExtendedStyle(LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    CRect rect;
    m_listPorts.GetClientRect(&rect);
    int nWidth = rect.Width() / 2;
    char* pszPortColumn = LoadTextBuffer(IDS_COLUMN_PORT);
    char* pszPhysicalColumn = LoadTextBuffer(IDS_COLUMN_PHYSICAL_PORT);
    if (pszPortColumn != NULL && pszPhysicalColumn != NULL) {
        m_listPorts.InsertColumn(0, pszPortColumn, LVCFMT_LEFT, nWidth - ::GetSystemMetrics(SM_CXVSCROLL));
        m_listPorts.InsertColumn(1, pszPhysicalColumn, LVCFMT_LEFT, nWidth);
    }
    FreeBuffer(pszPortColumn);
    FreeBuffer(pszPhysicalColumn);
}

void CPrinterDlg::EnableNext(BOOL bEnable)
{
    if (CWnd* pNext = GetDlgItem(IDOK))
        pNext->EnableWindow(bEnable);
}

void CPrinterDlg::SelectItem(int nItem)
{
    m_listPorts.SetItemState(nItem, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    m_listPorts.SetSelectionMark(nItem);
    m_listPorts.EnsureVisible(nItem, FALSE);
}

char* CPrinterDlg::PortNamesToList(const Enumeration& ports, LPCSTR pszMonitor, LPCSTR pszFilePort)
{
    // Room for every name the spooler returned, so that none of the monitor's is left out.
    const PORT_INFO_2A* pPorts = reinterpret_cast<const PORT_INFO_2A*>(ports.pBuffer);
    size_t cbList = 1;
    for (DWORD i = 0; i < ports.nCount; ++i)
        cbList += pPorts[i].pPortName != NULL ? strlen(pPorts[i].pPortName) + 1 : 0;
    char* pszList = AllocBuffer(cbList > NAME_LIST_SIZE ? cbList : NAME_LIST_SIZE);  // zero-filled
    if (pszList == NULL)
        return NULL;

    char* pszEnd = pszList;
    for (DWORD i = 0; i < ports.nCount; ++i) {
        LPCSTR pszName = pPorts[i].pPortName;
        LPCSTR pszPortMonitor = pPorts[i].pMonitorName;
        // A name the page could not hold as the chosen port is not offered.
        if (pszName == NULL || *pszName == '\0' || strlen(pszName) >= NAME_BUFFER_SIZE)
            continue;
        bool bTaken = (pszPortMonitor != NULL && strcmp(pszPortMonitor, pszMonitor) == 0) ||
                      strcmp(pszName, pszFilePort) == 0;
        if (!bTaken)
            continue;
        // A port the spooler lists twice is shown once.
        if (ListHoldsName(pszList, pszName))
            continue;
        strcpy(pszEnd, pszName);
        pszEnd += strlen(pszName) + 1;
    }
    return pszList;
}

void CPrinterDlg::FillPortList()
{
    CWaitCursor wait;
    m_listPorts.DeleteAllItems();

    char* pszMonitor = LoadTextBuffer(IDS_MONITOR_NAME);
    char* pszFilePort = LoadTextBuffer(IDS_FILE_PORT);
    Enumeration ports = EnumeratePorts();
    if (pszMonitor == NULL || pszFilePort == NULL ||
        (!ports.bRead && ::GetLastError() == ERROR_NOT_ENOUGH_MEMORY)) {
        // Nothing is listed; the port held stays remembered, but cannot be handed on.
    } else if (!ports.bRead) {
        // Without the spooler's list the file port is the one port there surely is.
        strcpy(m_pszPortName, pszFilePort);
        SelectItem(m_listPorts.InsertItem(m_listPorts.GetItemCount(), pszFilePort));
    } else if (char* pszNames = PortNamesToList(ports, pszMonitor, pszFilePort)) {
        bool bHeldListed = false;
        // Filled unseen and shown once whole: a list redrawn at every port costs as much again.
        m_listPorts.SetRedraw(FALSE);
        for (LPCSTR pszName = pszNames; *pszName != '\0'; pszName += strlen(pszName) + 1) {
            int nItem = m_listPorts.InsertItem(m_listPorts.GetItemCount(), pszName);
            m_listPorts.SetItemText(nItem, 1, GetPhysicalPort(pszName));
            if (!IsKnownPort(pszName, m_pszKnownPorts))
                strcpy(m_pszPortName, pszName);
            if (lstrcmpiA(pszName, m_pszPortName) == 0) {
                SelectItem(nItem);
                bHeldListed = true;
            }
        }
        m_listPorts.SetRedraw(TRUE);
        m_listPorts.Invalidate();
        int nSelected = m_listPorts.GetNextItem(-1, LVNI_SELECTED);
        if (nSelected >= 0)
            m_listPorts.EnsureVisible(nSelected, FALSE);
        FreeBuffer(m_pszKnownPorts);
        m_pszKnownPorts = pszNames;

        // A port held from before that is gone, or is now another monitor's, is forgotten: it
        // is not selected, and Next, enabled for the port held, would hand it on.
        if (!bHeldListed)
            m_pszPortName[0] = '\0';
        if (m_pszPortName[0] == '\0' && m_listPorts.GetItemCount() > 0) {
            SelectItem(0);
            CopyWholeChars(m_pszPortName, NAME_BUFFER_SIZE, m_listPorts.GetItemText(0, 0));
        }
        Invalidate();
        UpdateWindow();
    }
    // Emptying the list deselects without a word to the page: Next follows the list as it is
    // now, on every path.
    EnableNext(m_listPorts.GetSelectedCount() > 0);
    FreeBuffer(ports.pBuffer);
    FreeBuffer(pszMonitor);
    FreeBuffer(pszFilePort);
}

void CPrinterDlg::OnShowWindow(BOOL bShow, UINT nStatus)
{
    CWizardPage::OnShowWindow(bShow, nStatus);
    // Hiding is the page closing: the port chosen stays as the user left it.
    if (!bShow)
        return;
    FillPortList();
    // The user picks the port anew at every showing, although the one held stays remembered.
    m_listPorts.SetItemState(-1, 0, LVIS_SELECTED);
}

void CPrinterDlg::OnChangePrinterName()
{
    m_editName.GetWindowText(m_strPrinterName);
    EnableNext(!m_strPrinterName.IsEmpty() && m_listPorts.GetSelectedCount() > 0);
}

void CPrinterDlg::OnItemchangedPorts(NMHDR* pNMHDR, LRESULT* pResult)
{
    const NMLISTVIEW* pChange = reinterpret_cast<const NMLISTVIEW*>(pNMHDR);
    if ((pChange->uChanged & LVIF_STATE) != 0 && (pChange->uNewState & LVIS_SELECTED) != 0) {
        CopyWholeChars(m_pszPortName, NAME_BUFFER_SIZE, m_listPorts.GetItemText(pChange->iItem, 0));
        m_editName.GetWindowText(m_strPrinterName);
        if (!m_strPrinterName.IsEmpty())
            EnableNext(TRUE);
    } else {
        EnableNext(FALSE);
    }
    *pResult = 0;
}

void CPrinterDlg::OnDblclkPorts(NMHDR* pNMHDR, LRESULT* pResult)
{
    if (reinterpret_cast<const NMITEMACTIVATE*>(pNMHDR)->iItem >= 0)
        OnOK();
    *pResult = 0;
}

void CPrinterDlg::OnNewPort()
{
    char* pszNewPort = AllocBuffer(NAME_BUFFER_SIZE);
    if (pszNewPort == NULL)
        return;
    if (AddMonitorPort(this, pszNewPort)) {
        if (pszNewPort[0] != '\0')
            strcpy(m_pszPortName, pszNewPort);
        FillPortList();
    }
    FreeBuffer(pszNewPort);
}

void CPrinterDlg::OnOK()
{
    // Enter and a double-click reach here as Next does: only a port listed and selected is
    // handed on.
    int nSelected = (int)m_listPorts.SendMessage(LVM_GETNEXTITEM, (WPARAM)-1, LVNI_SELECTED);
    if (nSelected < 0)
        return;
    CopyWholeChars(m_pszPortName, NAME_BUFFER_SIZE, m_listPorts.GetItemText(nSelected, 0));
    m_strPrinterName.TrimLeft();
    m_strPrinterName.TrimRight();
    EnsureSpoolerRunning(this);
    if (!ValidatePrinterName(m_strPrinterName))
        return;
    // The name checked is the name handed on: the data exchange reads the edit again.
    m_editName.SetWindowText(m_strPrinterName);
    CWizardPage::OnOK();
}

BOOL CPrinterDlg::ValidatePrinterName(LPCSTR pszName)
{
    UINT nRefusal = 0;
    HANDLE hPrinter = NULL;
    Platform& platform = ThePlatform();
    if (*pszName == '\0') {
        nRefusal = IDS_BLANK_PRINTER_NAME;
    } else if (platform.OpenPrinterA(const_cast<LPSTR>(pszName), &hPrinter, NULL)) {
        platform.ClosePrinter(hPrinter);
        nRefusal = IDS_PRINTER_EXISTS;
    } else if (FindCharIn(pszName, kIllegalNameCharacters) != NULL) {
        nRefusal = IDS_ILLEGAL_NAME;
    }
    if (nRefusal == 0)
        return TRUE;
    ShowTableMessage(m_hWnd, nRefusal, IDS_CAPTION, MB_OK | MB_ICONERROR);
    m_editName.SetFocus();
    return FALSE;
}
