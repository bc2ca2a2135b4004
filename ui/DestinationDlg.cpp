#include "ui/DestinationDlg.h"
#include "app/Buffers.h"
#include "res/resource.h"

CDestinationDlg::CDestinationDlg(CWnd* pParent)
    : CWizardPage(IDD_DESTINATION, pParent), m_pszPath(AllocBuffer(NAME_BUFFER_SIZE))
{
}

CDestinationDlg::~CDestinationDlg()
{
    FreeBuffer(m_pszPath);
}

void CDestinationDlg::DoDataExchange(CDataExchange* pDX)
{
    CWizardPage::DoDataExchange(pDX);
    DDX_Control(pDX, IDOK, m_btnNext);
    DDX_Control(pDX, IDC_DRIVE, m_cbDrive);
    DDX_Control(pDX, IDC_DIRECTORY_TREE, m_treeDir);
    DDX_Control(pDX, IDC_DIRECTORY, m_editDir);
    DDX_Text(pDX, IDC_DIRECTORY, m_strDir);
    DDX_Control(pDX, IDC_CREATE, m_btnCreate);
}
