#include "ui/PrinterDlg.h"
#include "app/Buffers.h"
#include "res/resource.h"

// The longest printer name the page accepts.
const int MAX_PRINTER_NAME = 220;

BEGIN_MESSAGE_MAP(CPrinterDlg, CWizardPage)
    ON_WM_QUERYDRAGICON()
    ON_BN_CLICKED(IDCANCEL, OnCancel)
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
