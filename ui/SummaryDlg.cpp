#include "ui/SummaryDlg.h"
#include "base/Buffers.h"
#include "base/Text.h"
#include "monitor/SpoolerService.h"
#include "res/resource.h"
#include <string.h>

namespace {

// Room for each of the three parts at its longest: a label and a whole name or path.
const size_t SUMMARY_TEXT_SIZE = 3 * 2 * NAME_BUFFER_SIZE;

void SetText(char* pszBuffer, LPCSTR pszText)
{
    if (pszBuffer != NULL)
        CopyWholeChars(pszBuffer, NAME_BUFFER_SIZE, pszText != NULL ? pszText : "");
}

// Appends the label and the value to the summary text, when there is a value.
void AppendPart(char* pszSummary, char* pszLabel, UINT nLabelID, LPCSTR pszValue)
{
    if (pszValue[0] == '\0')
        return;
    ::LoadStringA(AfxGetResourceHandle(), nLabelID, pszLabel, (int)NAME_BUFFER_SIZE);
    size_t cch = strlen(pszSummary);
    CopyWholeChars(pszSummary + cch, SUMMARY_TEXT_SIZE - cch, pszLabel);
    cch = strlen(pszSummary);
    CopyWholeChars(pszSummary + cch, SUMMARY_TEXT_SIZE - cch, pszValue);
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
    char* pszSummary = AllocBuffer(SUMMARY_TEXT_SIZE);
    char* pszPiece = AllocBuffer(NAME_BUFFER_SIZE);
    if (pszSummary != NULL && pszPiece != NULL && GetDlgItem(IDC_SUMMARY) != NULL) {
        AppendPart(pszSummary, pszPiece, IDS_LABEL_PRINTER, m_pszPrinterName);
        AppendPart(pszSummary, pszPiece, IDS_LABEL_PORT, m_pszPort);
        AppendPart(pszSummary, pszPiece, IDS_LABEL_DESTINATION, m_pszDestination);
        ::LoadStringA(AfxGetResourceHandle(), m_bCopyTask ? IDS_HEADING_COPY : IDS_HEADING_INSTALL, pszPiece,
                      (int)NAME_BUFFER_SIZE);
        m_stHeading.SetWindowText(pszPiece);
        GetDlgItem(IDC_SUMMARY)->SetWindowText(pszSummary);
    }
    FreeBuffer(pszSummary);
    FreeBuffer(pszPiece);

    // Enter finishes: the focus starts on "&Finish", not in the read-only text.
    if (CWnd* pFinish = GetDlgItem(IDOK)) {
        pFinish->SetFocus();
        return FALSE;
    }
    return TRUE;
}

void CSummaryDlg::OnOK()
{
    EnsureSpoolerRunning(this);
    CWizardPage::OnOK();
}
