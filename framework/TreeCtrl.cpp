#include "TreeCtrl.h"
#include "ImageList.h"

IMPLEMENT_DYNAMIC(CTreeCtrl, CWnd)

HTREEITEM CTreeCtrl::InsertItem(LPCSTR lpszItem, int nImage, int nSelectedImage, HTREEITEM hParent,
                                HTREEITEM hInsertAfter)
{
    TVINSERTSTRUCTA insert = {};
    insert.hParent = hParent;
    insert.hInsertAfter = hInsertAfter;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    insert.item.pszText = const_cast<LPSTR>(lpszItem);
    insert.item.iImage = nImage;
    insert.item.iSelectedImage = nSelectedImage;
    return (HTREEITEM)SendMessage(TVM_INSERTITEMA, 0, (LPARAM)&insert);
}

CString CTreeCtrl::GetItemText(HTREEITEM hItem) const
{
    // Directory names are at most MAX_PATH characters; a root item holds a whole path.
    CString text;
    TVITEMA item = {};
    item.mask = TVIF_TEXT;
    item.hItem = hItem;
    item.cchTextMax = 1024;
    item.pszText = text.GetBuffer(item.cchTextMax);
    item.pszText[0] = '\0';
    SendMessage(TVM_GETITEMA, 0, (LPARAM)&item);
    text.ReleaseBuffer();
    return text;
}

BOOL CTreeCtrl::SetItemImage(HTREEITEM hItem, int nImage, int nSelectedImage)
{
    TVITEMA item = {};
    item.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    item.hItem = hItem;
    item.iImage = nImage;
    item.iSelectedImage = nSelectedImage;
    return (BOOL)SendMessage(TVM_SETITEMA, 0, (LPARAM)&item);
}

HIMAGELIST CTreeCtrl::SetImageList(CImageList* pImageList, int nImageListType)
{
    HIMAGELIST hImageList = pImageList != NULL ? pImageList->GetSafeHandle() : NULL;
    return (HIMAGELIST)SendMessage(TVM_SETIMAGELIST, (WPARAM)nImageListType, (LPARAM)hImageList);
}
