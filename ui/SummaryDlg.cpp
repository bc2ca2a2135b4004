#include "ui/SummaryDlg.h"
#include "app/Buffers.h"
#include "res/resource.h"

namespace {

void SetText(char* pszBuffer, LPCSTR pszText)
{
    if (pszBuffer != NULL)
        lstrcpynA(pszBuffer, pszText != NULL ? pszText : "", (int)NAME_BUFFER_SIZE);
}

} // namespace

CSummaryDlg::CSummaryDlg(CWnd* pParent)
    : CWizardPage(IDD_SUMMARY, pParent),
      m_bCopyTask(FALSE),
      m_pszDestination(AllocBuffer(NAME_BUFFER_SIZE)),
      m_pszPrinterName(AllocBuffer(NAME_BUFFER_SIZE)),
      m_pszPort(AllocBuffer(NAME_BUFFER_SIZE))
{
}

CSummaryDlg::~CSummaryDlg()
{
    FreeBuffer(m_pszDestination);
    FreeBuffer(m_pszPrinterName);
    FreeBuffer(m_pszPort);
}

void CSummaryDlg::SetDestination(LPCSTR pszDestination)
{
    SetText(m_pszDestination, pszDestination);
}

void CSummaryDlg::SetPrinterName(LPCSTR pszPrinterName)
{
    SetText(m_pszPrinterName, pszPrinterName);
}

void CSummaryDlg::SetPort(LPCSTR pszPort)
{
    SetText(m_pszPort, pszPort);
}

void CSummaryDlg::DoDataExchange(CDataExchange* pDX)
{
    CWizardPage::DoDataExchange(pDX);
    DDX_Control(pDX, IDOK, m_btnFinish);
    DDX_Control(pDX, IDC_HEADING, m_stHeading);
}

BOOL CSummaryDlg::OnInitDialog()
{
    CWizardPage::OnInitDialog();
    // Enter finishes: the focus starts on "&Finish", not in the read-only text.
    if (CWnd* pFinish = GetDlgItem(IDOK)) {
        pFinish->SetFocus();
        return FALSE;
    }
    return TRUE;
}
