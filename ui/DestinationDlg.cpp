#include "ui/DestinationDlg.h"
#include "base/Buffers.h"
#include "base/Directories.h"
#include "base/Messages.h"
#include "base/Text.h"
#include "res/resource.h"
#include "ui/CurrentDirectory.h"
#include <ctype.h>
#include <direct.h>
#include <string.h>

namespace {

const size_t VOLUME_NAME_SIZE = 1024;
const COLORREF FOLDER_KEY_COLOR = RGB(255, 0, 255);

// TRUE when the drive's root can be listed. The root of an empty disk lists nothing, and the
// search says so with ERROR_FILE_NOT_FOUND or ERROR_NO_MORE_FILES: that drive is ready. Any
// other failure (no medium, an unformatted volume, a network drive gone, access refused) leaves
// the drive unusable, with the last error telling why.
BOOL CanListDrive(char chDrive)
{
    char szPattern[] = "?:\\*.*";
    szPattern[0] = chDrive;
    WIN32_FIND_DATAA found;
    HANDLE hFind = FindFirstEntry(szPattern, &found);
    if (hFind != INVALID_HANDLE_VALUE) {
        ::FindClose(hFind);
        return TRUE;
    }
    DWORD dwError = ::GetLastError();
    return dwError == ERROR_FILE_NOT_FOUND || dwError == ERROR_NO_MORE_FILES;
}

// TRUE for the failures that say the drive has no medium, or is not there at all: the page's
// own words fit them. Any other failure is told with the system's text.
BOOL IsNotReady(DWORD dwError)
{
    return dwError == ERROR_NOT_READY || dwError == ERROR_NO_MEDIA_IN_DRIVE || dwError == ERROR_PATH_NOT_FOUND ||
           dwError == ERROR_INVALID_DRIVE;
}

// Tells why the drive cannot be used: the page's own text for a drive not ready, else the
// system's text for the failure, under the program's caption.
void RefuseDrive(HWND hOwner, DWORD dwError, UINT nNotReadyID, LPCSTR pszDrive, UINT uIcon)
{
    if (IsNotReady(dwError)) {
        ShowTableMessageWith(hOwner, nNotReadyID, pszDrive, IDS_CAPTION, MB_OK | uIcon);
        return;
    }
    char* pszCaption = LoadTextBuffer(IDS_CAPTION);
    if (pszCaption != NULL)
        ShowSystemText(hOwner, dwError, pszCaption, MB_OK | uIcon);
    FreeBuffer(pszCaption);
}

BOOL IsDirectory(LPCSTR pszPath)
{
    DWORD dwAttributes = ::GetFileAttributesA(pszPath);
    return dwAttributes != INVALID_FILE_ATTRIBUTES && (dwAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

void RefuseIllegalName(HWND hOwner)
{
    ShowTableMessage(hOwner, IDS_ILLEGAL_NAME, IDS_CAPTION, MB_OK | MB_ICONHAND);
}

} // namespace

BEGIN_MESSAGE_MAP(CDestinationDlg, CWizardPage)
    ON_BN_CLICKED(IDC_CREATE, OnCreateDir)
    ON_CBN_SELCHANGE(IDC_DRIVE, OnSelchangeDrive)
    ON_NOTIFY(TVN_SELCHANGED, IDC_DIRECTORY_TREE, OnSelchangedTree)
    ON_EN_CHANGE(IDC_DIRECTORY, OnChangeDir)
END_MESSAGE_MAP()

CDestinationDlg::CDestinationDlg(CWnd* pParent)
    : CWizardPage(IDD_DESTINATION, pParent),
      m_pszPath(AllocBuffer(NAME_BUFFER_SIZE)),
      m_cchDeepestFile(0),
      m_dwMakeError(0)
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

BOOL CDestinationDlg::OnInitDialog()
{
    CWizardPage::OnInitDialog();
    if (m_imageList.GetSafeHandle() == NULL) {
        // A mirrored tree flips what it draws: its folders are kept flipped to read right.
        if (::GetWindowLongA(m_treeDir.m_hWnd, GWL_EXSTYLE) & WS_EX_LAYOUTRTL)
            m_imageList.CreateMirrored(IDB_FOLDERS, 16, 10, FOLDER_KEY_COLOR);
        else
            m_imageList.Create(IDB_FOLDERS, 16, 10, FOLDER_KEY_COLOR);
    }
    m_treeDir.SetImageList(&m_imageList, TVSIL_NORMAL);

    if (m_pszPath[0] != '\0') {
        // Shown before: the tree opens down to the destination chosen then, on its drive. The
        // tree's own selections overwrite m_pszPath meanwhile.
        char* pszPrevious = AllocBuffer(NAME_BUFFER_SIZE);
        if (pszPrevious != NULL) {
            strcpy(pszPrevious, m_pszPath);
            if (BeginsWithDrive(pszPrevious))
                m_treeDir.m_chDrive = (char)toupper((unsigned char)pszPrevious[0]);
            m_treeDir.FillTree();
            FillDriveCombo();
            SelectInTree(pszPrevious);
            FreeBuffer(pszPrevious);
        }
    } else {
        m_treeDir.FillTree();
        FillDriveCombo();
        m_editDir.SetWindowText(m_treeDir.GetPath());
    }
    return TRUE;
}

BOOL CDestinationDlg::FillDriveCombo()
{
    DWORD dwDrives = ::GetLogicalDrives();
    if (dwDrives == 0) {
        ShowSystemText(m_hWnd, ::GetLastError(), "GetLastError - GetLogicalDrives failed", MB_OK | MB_ICONHAND);
        return FALSE;
    }
    m_cbDrive.ResetContent();
    char* pszVolume = AllocBuffer(VOLUME_NAME_SIZE);
    for (int nDrive = 0; nDrive < 26 && (dwDrives >> nDrive) != 0; ++nDrive) {
        if (!(dwDrives & (1u << nDrive)))
            continue;
        char chDrive = (char)('A' + nDrive);
        CString entry;
        entry.Format("%c: ", chDrive);
        // Asking the floppy drive would make it spin, or ask for a disk.
        if (nDrive != 0 && pszVolume != NULL) {
            ::SetErrorMode(SEM_FAILCRITICALERRORS);
            char szRoot[] = { chDrive, ':', '\\', '\0' };
            pszVolume[0] = '\0';
            if (ReadVolumeName(szRoot, pszVolume, (DWORD)VOLUME_NAME_SIZE))
                entry += pszVolume;
        }
        m_cbDrive.AddString(entry);
    }
    FreeBuffer(pszVolume);

    char* pszDirectory = ReadCurrentDirectory(m_hWnd, "GetLastError - GetCurrentDirectory failed");
    if (pszDirectory == NULL)
        return FALSE;
    SelectDrive(pszDirectory[0]);
    FreeBuffer(pszDirectory);
    return TRUE;
}

BOOL CDestinationDlg::CheckDrive(int nIndex)
{
    CString entry;
    m_cbDrive.GetLBText(nIndex, entry);
    if (entry.IsEmpty())
        return FALSE;
    if (CanListDrive(entry[0]))
        return TRUE;
    char szDrive[] = { entry[0], '\0' };
    RefuseDrive(m_hWnd, ::GetLastError(), IDS_DRIVE_NOT_READY, szDrive, MB_ICONEXCLAMATION);
    return FALSE;
}

void CDestinationDlg::SelectDrive(char chDrive)
{
    char szDrive[] = { chDrive, ':', '\0' };
    int nIndex = m_cbDrive.FindString(-1, szDrive);
    if (nIndex != CB_ERR)
        m_cbDrive.SetCurSel(nIndex);
}

void CDestinationDlg::OnSelchangeDrive()
{
    int nIndex = m_cbDrive.GetCurSel();
    if (CheckDrive(nIndex)) {
        CString entry;
        m_cbDrive.GetLBText(nIndex, entry);
        m_treeDir.m_chDrive = entry[0];
        m_treeDir.FillTree();
        m_editDir.SetWindowText(m_treeDir.GetPath());
    }
    // The tree may have fallen back to another drive: the list shows the drive the tree shows.
    SelectDrive(m_treeDir.m_chDrive);
}

void CDestinationDlg::OnSelchangedTree(NMHDR* pNMHDR, LRESULT* pResult)
{
    m_treeDir.OnSelChanged(pNMHDR, pResult);
    CString path = m_treeDir.GetPath();
    // A path too long for the buffer is not taken; the edit shows it, and Next refuses it.
    if (!CopyText(m_pszPath, NAME_BUFFER_SIZE, path))
        m_pszPath[0] = '\0';
    m_editDir.SetWindowText(path);
    *pResult = 0;
}

void CDestinationDlg::OnChangeDir()
{
    BOOL bHaveText = m_editDir.GetWindowTextLength() > 0;
    m_btnNext.EnableWindow(bHaveText);
    m_btnCreate.EnableWindow(bHaveText);
}

void CDestinationDlg::OnCreateDir()
{
    ValidateAndCreate(TRUE);
}

void CDestinationDlg::OnOK()
{
    m_nResult = PAGE_REFUSED;
    ValidateAndCreate(FALSE);
    if (m_nResult == PAGE_NEXT)
        CWizardPage::OnOK();
}

void CDestinationDlg::ValidateAndCreate(BOOL bCreate)
{
    UpdateData(TRUE);
    m_strDir.TrimRight();
    UpdateData(FALSE);

    // Never cut: a shortened entry would name another directory.
    if ((size_t)m_strDir.GetLength() >= NAME_BUFFER_SIZE) {
        RefuseIllegalName(m_hWnd);
        m_nResult = PAGE_REFUSED;
        return;
    }
    char* pszText = AllocBuffer(NAME_BUFFER_SIZE);
    if (pszText == NULL)
        return;
    strcpy(pszText, m_strDir);
    char* pszQualified = QualifyDrive(pszText);
    FreeBuffer(pszText);
    if (pszQualified == NULL) {
        m_nResult = PAGE_REFUSED;
        return;
    }

    // The path from the drive's root: X:foo becomes X:\foo, and X: becomes X:\.
    size_t cchQualified = strlen(pszQualified);
    BOOL bFromDrive = pszQualified[2] != '\\' && pszQualified[2] != '/';
    if (cchQualified + (bFromDrive ? 1 : 0) >= NAME_BUFFER_SIZE) {
        RefuseIllegalName(m_hWnd);
        FreeBuffer(pszQualified);
        m_nResult = PAGE_REFUSED;
        return;
    }
    strcpy(m_pszPath, pszQualified);
    FreeBuffer(pszQualified);
    for (char* p = m_pszPath; (p = FindChar(p, '/')) != NULL;)
        *p = '\\';
    if (bFromDrive) {
        memmove(m_pszPath + 3, m_pszPath + 2, strlen(m_pszPath + 2) + 1);
        m_pszPath[2] = '\\';
    }
    if (!CheckDirName(m_pszPath + 3)) {
        m_nResult = PAGE_REFUSED;
        return;
    }
    // The shell would skip, without a word, a file whose path does not fit.
    if (strlen(m_pszPath) + 1 + m_cchDeepestFile >= MAX_PATH) {
        RefuseIllegalName(m_hWnd);
        m_editDir.SetFocus();
        m_nResult = PAGE_REFUSED;
        return;
    }

    m_dwMakeError = 0;
    if (!IsDirectory(m_pszPath) && MakeDirectory(m_pszPath) != 0 && MakePath(m_pszPath) != -1)
        MakeDirectory(m_pszPath);
    // A directory that could not be made would fail the copy later, out of the user's sight.
    if (!IsDirectory(m_pszPath)) {
        DWORD dwError = m_dwMakeError != 0 ? m_dwMakeError : ::GetLastError();
        char* pszCaption = LoadTextBuffer(IDS_CAPTION);
        if (pszCaption != NULL)
            ShowSystemText(m_hWnd, dwError, pszCaption, MB_OK | MB_ICONERROR);
        FreeBuffer(pszCaption);
        m_nResult = PAGE_REFUSED;
        return;
    }

    if (bCreate) {
        // The tree shows the new directory; its selections set m_pszPath on the way down.
        char* pszCreated = AllocBuffer(NAME_BUFFER_SIZE);
        if (pszCreated != NULL)
            strcpy(pszCreated, m_pszPath);
        char chDrive = (char)toupper((unsigned char)m_pszPath[0]);
        m_treeDir.m_chDrive = chDrive;
        m_treeDir.FillTree();
        SelectDrive(m_treeDir.m_chDrive);
        m_editDir.SetWindowText(m_treeDir.GetPath());
        if (pszCreated != NULL)
            SelectInTree(pszCreated);
        FreeBuffer(pszCreated);
    }
    m_editDir.SetWindowText(m_pszPath);
    m_nResult = PAGE_NEXT;
}

void CDestinationDlg::SelectInTree(LPCSTR pszPath)
{
    m_treeDir.SelectPath(pszPath);
    // Where the tree cannot follow (a directory gone, a path too deep for it), the path stays
    // the destination rather than the last directory the tree found on the way.
    if (lstrcmpiA(m_pszPath, pszPath) != 0)
        strcpy(m_pszPath, pszPath);
    m_editDir.SetWindowText(m_pszPath);
}

char* CDestinationDlg::QualifyDrive(LPCSTR pszText)
{
    char* pszPath = AllocBuffer(NAME_BUFFER_SIZE);
    if (pszPath == NULL)
        return NULL;
    if (BeginsWithDrive(pszText)) {
        strcpy(pszPath, pszText);
    } else {
        if (strlen(pszText) + 2 >= NAME_BUFFER_SIZE) {
            RefuseIllegalName(m_hWnd);
            FreeBuffer(pszPath);
            return NULL;
        }
        pszPath[0] = (char)('A' + _getdrive() - 1);
        pszPath[1] = ':';
        strcpy(pszPath + 2, pszText);
    }
    if (!CanListDrive(pszPath[0])) {
        RefuseDrive(m_hWnd, ::GetLastError(), IDS_CANNOT_COPY_TO_DRIVE, NULL, MB_ICONHAND);
        FreeBuffer(pszPath);
        return NULL;
    }
    return pszPath;
}

BOOL CDestinationDlg::CheckDirName(LPCSTR pszDirectory)
{
    if (pszDirectory[0] == '\0') {
        ShowTableMessage(m_hWnd, IDS_NO_DIRECTORY, IDS_CAPTION, MB_OK | MB_ICONHAND);
        return FALSE;
    }
    // A leading backslash would make it a network path.
    if (FindCharIn(pszDirectory, ":*?\"<>|") != NULL || FindSubstring(pszDirectory, "\\\\") != NULL ||
        pszDirectory[0] == '\\') {
        RefuseIllegalName(m_hWnd);
        return FALSE;
    }
    size_t cch = strlen(pszDirectory);
    if ((cch == 8 && (_stricmp(pszDirectory, "RECYCLED") == 0 || _stricmp(pszDirectory, "RECYCLER") == 0)) ||
        (cch > 8 && _strnicmp(pszDirectory, "RECYCLED\\", 9) == 0)) {
        ShowTableMessageWith(m_hWnd, IDS_RECYCLE_FOLDER, pszDirectory, IDS_CAPTION, MB_OK | MB_ICONHAND);
        return FALSE;
    }
    return TRUE;
}

int CDestinationDlg::MakeDirectory(LPCSTR pszPath)
{
    int nResult = MakeOneDirectory(pszPath) ? 0 : -1;
    if (nResult != 0) {
        // An existing parent says nothing of why the directory itself could not be made.
        DWORD dwError = ::GetLastError();
        if (m_dwMakeError == 0 || dwError != ERROR_ALREADY_EXISTS)
            m_dwMakeError = dwError;
    }
    return nResult;
}

int CDestinationDlg::MakePath(LPCSTR pszPath)
{
    if (pszPath == NULL || strlen(pszPath) < 4)
        return 1;
    // Without a backslash there is no parent to make first.
    if (FindChar(pszPath, '\\') == NULL)
        return -1;
    char* pszCopy = AllocBuffer(NAME_BUFFER_SIZE);
    char* pszParent = AllocBuffer(NAME_BUFFER_SIZE);
    int nResult = 0;
    if (pszCopy != NULL && pszParent != NULL && CopyText(pszCopy, NAME_BUFFER_SIZE, pszPath)) {
        strcpy(pszParent, pszCopy);
        *FindLastChar(pszParent, '\\') = '\0';
        nResult = MakeDirectory(pszCopy);
        if (nResult == -1 && MakePath(pszParent) != -1)
            nResult = MakeDirectory(pszCopy);
    }
    FreeBuffer(pszCopy);
    FreeBuffer(pszParent);
    return nResult;
}
