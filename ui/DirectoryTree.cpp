#include "ui/DirectoryTree.h"
#include "base/Buffers.h"
#include "base/Directories.h"
#include "base/Messages.h"
#include "base/Text.h"
#include "ui/CurrentDirectory.h"
#include <algorithm>
#include <direct.h>
#include <string.h>
#include <string>
#include <vector>

IMPLEMENT_DYNAMIC(CDirectoryTree, CTreeCtrl)

BEGIN_MESSAGE_MAP(CDirectoryTree, CTreeCtrl)
    ON_NOTIFY_REFLECT(NM_DBLCLK, OnDblclk)
    ON_NOTIFY_REFLECT(TVN_ITEMEXPANDING, OnItemexpanding)
END_MESSAGE_MAP()

BOOL CDirectoryTree::s_bExpandEnabled = TRUE;

namespace {

// The path and the name with one backslash between them.
CString JoinPath(const CString& path, LPCSTR pszName)
{
    CString joined(path);
    if (!EndsWithChar(joined, '\\'))
        joined += '\\';
    joined += pszName;
    return joined;
}

// The names of the path's subdirectories, "." and ".." left out, in the order in which the
// control's sorted insertion would put them (a new name goes after the names it equals, ignoring
// case). FALSE when the path cannot be listed.
BOOL ListSubdirectories(const CString& path, std::vector<std::string>& names)
{
    CString pattern = JoinPath(path, "*.*");
    if ((size_t)pattern.GetLength() >= NAME_BUFFER_SIZE)
        return FALSE;
    WIN32_FIND_DATAA found;
    HANDLE hFind = FindFirstEntry(pattern, &found);
    if (hFind == INVALID_HANDLE_VALUE)
        return FALSE;
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && strcmp(found.cFileName, ".") != 0 &&
            strcmp(found.cFileName, "..") != 0)
            names.push_back(found.cFileName);
    } while (FindNextEntry(hFind, &found));
    ::FindClose(hFind);
    // Sorting first and appending is the same order as inserting each name sorted, without the
    // control's walk over the children already there for every new one.
    std::stable_sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return ::lstrcmpiA(a.c_str(), b.c_str()) < 0;
    });
    return TRUE;
}

} // namespace

CDirectoryTree::CDirectoryTree()
    : m_chDrive('a'), m_nImage(0), m_nSelectedImage(1), m_nOpenImage(2), m_nOpenSelectedImage(3)
{
}

BOOL CDirectoryTree::FillTree()
{
    CWaitCursor wait;
    _chdir("c:\\");
    if (m_chDrive != 'a') {
        char szRoot[4] = { m_chDrive, ':', '\\', '\0' };
        ::SetCurrentDirectoryA(szRoot);
    }
    DeleteAllItems();

    char* pszDirectory = ReadCurrentDirectory(m_hWnd, "GetLastError");
    if (pszDirectory == NULL)
        return FALSE;
    // Neither drive could be made current: the tree shows the root of the drive that is.
    if (BeginsWithDrive(pszDirectory) && pszDirectory[2] != '\0' && pszDirectory[3] != '\0') {
        pszDirectory[2] = '\\';
        pszDirectory[3] = '\0';
        ::SetCurrentDirectoryA(pszDirectory);
    }
    m_strPath = pszDirectory;
    m_chDrive = pszDirectory[0];
    FreeBuffer(pszDirectory);

    HTREEITEM hRoot = InsertItem(m_strPath, m_nOpenImage, m_nOpenSelectedImage, TVI_ROOT, TVI_LAST);
    SelectItem(hRoot);
    AddDirectories(m_strPath, hRoot, TRUE);
    return TRUE;
}

void CDirectoryTree::AddDirectories(const CString& path, HTREEITEM hParent, BOOL bLookAhead)
{
    LoadDirectories(path, hParent, bLookAhead, bLookAhead);
}

void CDirectoryTree::LoadDirectories(const CString& path, HTREEITEM hParent, BOOL bLookAhead, BOOL bExpand)
{
    DeleteChildren(hParent);
    std::vector<std::string> names;
    if (!ListSubdirectories(path, names))
        return;
    // All the children first, then their own: the control finds an item the faster the earlier
    // it was inserted, and the children are found again to take theirs.
    std::vector<HTREEITEM> children;
    children.reserve(names.size());
    for (const std::string& name : names)
        children.push_back(InsertItem(name.c_str(), m_nImage, m_nSelectedImage, hParent, TVI_LAST));
    if (bLookAhead) {
        std::vector<std::string> grandchildren;
        for (size_t i = 0; i < names.size(); ++i) {
            // A directory whose path would not fit a path buffer gets no children: it cannot
            // be the destination.
            CString childPath = JoinPath(path, names[i].c_str());
            grandchildren.clear();
            if (children[i] == NULL || (size_t)childPath.GetLength() >= NAME_BUFFER_SIZE ||
                !ListSubdirectories(childPath, grandchildren))
                continue;
            // A new item has no children to replace.
            for (const std::string& name : grandchildren)
                InsertItem(name.c_str(), m_nImage, m_nSelectedImage, children[i], TVI_LAST);
        }
    }
    if (bExpand)
        ExpandQuietly(hParent, TVE_EXPAND);
}

void CDirectoryTree::ExpandQuietly(HTREEITEM hItem, UINT nCode)
{
    // The tree's own expansions and collapses must not reload what it is loading.
    BOOL bWasEnabled = s_bExpandEnabled;
    s_bExpandEnabled = FALSE;
    Expand(hItem, nCode);
    s_bExpandEnabled = bWasEnabled;
}

void CDirectoryTree::DeleteChildren(HTREEITEM hItem)
{
    CWaitCursor wait;
    // A selection below the item moves up to it first, with the notification the owner follows.
    for (HTREEITEM hSelected = GetSelectedItem(); hSelected != NULL; hSelected = GetParentItem(hSelected)) {
        if (GetParentItem(hSelected) == hItem) {
            SelectItem(hItem);
            break;
        }
    }
    // Collapsing with a reset removes all the children in one go, where deleting them one by
    // one costs the control a search of all its items for each. Whatever a control leaves of
    // them (one that resets only an expanded item) is deleted one by one; deleting a child
    // deletes its own children with it. The item stays collapsed until it is expanded again.
    ExpandQuietly(hItem, TVE_COLLAPSE | TVE_COLLAPSERESET);
    HTREEITEM hChild;
    while ((hChild = GetChildItem(hItem)) != NULL)
        DeleteItem(hChild);
}

CString CDirectoryTree::GetItemPath(HTREEITEM hItem) const
{
    CString path = GetItemText(hItem);
    for (HTREEITEM hAncestor = GetParentItem(hItem); hAncestor != NULL; hAncestor = GetParentItem(hAncestor))
        path = JoinPath(GetItemText(hAncestor), path);
    return path;
}

void CDirectoryTree::SetPathFromItem(HTREEITEM hItem)
{
    m_strPath = GetItemPath(hItem);
}

void CDirectoryTree::OnSelChanged(NMHDR*, LRESULT* pResult)
{
    HTREEITEM hItem = GetSelectedItem();
    if (hItem != NULL) {
        SetPathFromItem(hItem);
        *pResult = 0;
    }
}

void CDirectoryTree::SelectPath(LPCSTR pszPath)
{
    HTREEITEM hRoot = GetRootItem();
    if (pszPath == NULL || hRoot == NULL)
        return;
    // The walk starts at the root; selecting it first keeps the rebuild below from moving the
    // selection through the children it deletes.
    SelectItem(hRoot);
    SetPathFromItem(hRoot);
    AddDirectories(m_strPath, hRoot, TRUE);
    const char* pszSeparator = FindChar(pszPath, '\\');
    if (pszSeparator != NULL)
        SelectChild(pszSeparator + 1, hRoot);
}

HTREEITEM CDirectoryTree::SelectChild(LPCSTR pszRest, HTREEITEM hParent)
{
    if (pszRest == NULL)
        return NULL;
    // The component is the text up to the first backslash, the remainder what follows it.
    const char* pszSeparator = FindChar(pszRest, '\\');
    size_t cchComponent = pszSeparator != NULL ? (size_t)(pszSeparator - pszRest) : strlen(pszRest);
    const char* pszRemainder = pszSeparator != NULL ? pszSeparator + 1 : NULL;
    if (cchComponent >= NAME_BUFFER_SIZE)
        return NULL;
    char* pszComponent = AllocBuffer(NAME_BUFFER_SIZE);
    if (pszComponent == NULL)
        return NULL;
    memcpy(pszComponent, pszRest, cchComponent);

    HTREEITEM hMatch = NULL;
    if (pszComponent[0] != '\0') {
        for (HTREEITEM hChild = GetChildItem(hParent); hChild != NULL; hChild = GetNextSiblingItem(hChild)) {
            if (GetItemText(hChild).CompareNoCase(pszComponent) == 0) {
                hMatch = hChild;
                break;
            }
        }
    }
    FreeBuffer(pszComponent);
    if (hMatch == NULL)
        return NULL;

    // Opened as a double-click opens it; one reading of the directory does for both.
    SelectItem(hMatch);
    SetItemImage(hMatch, m_nOpenImage, m_nOpenSelectedImage);
    SetPathFromItem(hMatch);
    AddDirectories(m_strPath, hMatch, TRUE);
    SelectChild(pszRemainder, hMatch);
    return hMatch;
}

void CDirectoryTree::OnDblclk(NMHDR*, LRESULT* pResult)
{
    CWaitCursor wait;
    HTREEITEM hItem = GetSelectedItem();
    if (hItem != NULL) {
        SetItemImage(hItem, m_nOpenImage, m_nOpenSelectedImage);
        SetPathFromItem(hItem);
        AddDirectories(m_strPath, hItem, TRUE);
    }
    // The control's own double-click handling would collapse an open item.
    *pResult = 1;
}

void CDirectoryTree::OnItemexpanding(NMHDR* pNMHDR, LRESULT* pResult)
{
    *pResult = 0;
    if (!s_bExpandEnabled)
        return;
    s_bExpandEnabled = FALSE;
    // The control goes on to expand or collapse the item as the user asked.
    HTREEITEM hItem = reinterpret_cast<NMTREEVIEWA*>(pNMHDR)->itemNew.hItem;
    LoadDirectories(GetItemPath(hItem), hItem, TRUE, FALSE);
    s_bExpandEnabled = TRUE;
}
