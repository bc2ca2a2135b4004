// CDirectoryTree: the directories of one drive as a tree, for the destination page. A
// directory's subdirectories are read when it is opened, and one level further, so that an
// item has an expand button exactly when its directory has subdirectories. Nothing is cached:
// every opening reads the disk again. The tree changes the process's current directory.
#pragma once
#include "framework/Afx.h"

class CDirectoryTree : public CTreeCtrl {
    DECLARE_DYNAMIC(CDirectoryTree)
public:
    CDirectoryTree();

    // Clears the tree and shows the root of drive m_chDrive (of drive C: while none was
    // chosen), selected and opened. FALSE, after telling the user, when the current directory
    // cannot be read.
    BOOL FillTree();
    // Replaces the item's children by the subdirectories of the path, in the order the
    // control sorts them; with bLookAhead also reads each child's subdirectories and expands
    // the item.
    void AddDirectories(const CString& path, HTREEITEM hParent, BOOL bLookAhead);
    void DeleteChildren(HTREEITEM hItem);
    // The item's text with those of its ancestors before it, one backslash between each.
    CString GetItemPath(HTREEITEM hItem) const;
    void SetPathFromItem(HTREEITEM hItem);
    // Called by the owner when the tree's selection changed.
    void OnSelChanged(NMHDR* pNMHDR, LRESULT* pResult);
    CString GetPath() const { return m_strPath; }
    // Reloads the root's children and opens the tree down along the path's directories, as
    // far as they are found; the path's drive letter is not looked at.
    void SelectPath(LPCSTR pszPath);
    // One step of SelectPath: selects and opens the child of hParent named by the first
    // component of pszRest, then goes on with the rest; returns that child, or NULL.
    HTREEITEM SelectChild(LPCSTR pszRest, HTREEITEM hParent);

    CString m_strPath;  // the tree's current directory: the root, or the selected item's path
    char m_chDrive;     // the drive FillTree shows; 'a' while none was chosen
    int m_nImage;
    int m_nSelectedImage;
    int m_nOpenImage;
    int m_nOpenSelectedImage;

    // FALSE while the tree itself expands an item, so that the expansion does not reload it.
    static BOOL s_bExpandEnabled;

protected:
    // Called when an item is double-clicked: opens the selected item without collapsing it.
    void OnDblclk(NMHDR* pNMHDR, LRESULT* pResult);
    // Called before an item expands or collapses: reloads its subdirectories.
    void OnItemexpanding(NMHDR* pNMHDR, LRESULT* pResult);

    DECLARE_MESSAGE_MAP()

private:
    void LoadDirectories(const CString& path, HTREEITEM hParent, BOOL bLookAhead, BOOL bExpand);
    void ExpandQuietly(HTREEITEM hItem, UINT nCode);
};
