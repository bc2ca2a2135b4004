// The copy task's page: the user picks a drive and a directory, or types one and may create it
// at once. On Next the path is checked and the directory made, with any missing parents.
#pragma once
#include "ui/DirectoryTree.h"
#include "ui/WizardPage.h"

class CDestinationDlg : public CWizardPage {
public:
    explicit CDestinationDlg(CWnd* pParent = NULL);
    virtual ~CDestinationDlg();

    // FALSE when the page's buffer could not be had.
    BOOL HasBuffers() const { return m_pszPath != NULL; }

    // Makes the directory and its missing parents, from the top down; the result of _mkdir
    // for the path itself (-1 on failure). A path shorter than a drive's root counts as made.
    int MakePath(LPCSTR pszPath);

    char* m_pszPath;  // NAME_BUFFER_SIZE bytes: the destination directory, kept between showings
    // The longest path, below the destination, of a file that will be written there; a
    // destination under which it would not fit MAX_PATH is refused. Set before each showing.
    size_t m_cchDeepestFile;
    CButton m_btnNext;
    CComboBox m_cbDrive;
    CDirectoryTree m_treeDir;
    CEdit m_editDir;
    CString m_strDir;
    CButton m_btnCreate;
    CImageList m_imageList;  // made at the first showing

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual BOOL OnInitDialog();
    virtual void OnOK();

    // Called when "&Create" is clicked: checks and makes the directory; the page stays open.
    void OnCreateDir();
    // Called when another drive is chosen: the tree shows it, or the choice goes back.
    void OnSelchangeDrive();
    // Called when the tree's selection changed: its path becomes the destination.
    void OnSelchangedTree(NMHDR* pNMHDR, LRESULT* pResult);
    // Called when the directory's text changed: Next and Create need one.
    void OnChangeDir();

    DECLARE_MESSAGE_MAP()

private:
    BOOL FillDriveCombo();
    // TRUE when the drive of the combo's entry can be listed; otherwise the user is told.
    BOOL CheckDrive(int nIndex);
    void SelectDrive(char chDrive);
    // Takes the typed directory into m_pszPath, checks it and makes it; m_nResult is PAGE_NEXT
    // when it can be the destination, PAGE_REFUSED when the user was told why not.
    void ValidateAndCreate(BOOL bCreate);
    // Opens the tree down to the path, which becomes the destination.
    void SelectInTree(LPCSTR pszPath);
    // The typed text with its drive (the current one if it names none), in a buffer the caller
    // frees with FreeBuffer; NULL, after telling the user, when the drive cannot be listed or
    // the path would not fit.
    char* QualifyDrive(LPCSTR pszText);
    // Refuses, telling the user, an empty directory part, one with characters that no name
    // may hold, and the recycle bin's folders.
    BOOL CheckDirName(LPCSTR pszDirectory);
    int MakeDirectory(LPCSTR pszPath);

    DWORD m_dwMakeError;  // why the last directory could not be made
};
