#include "ImageList.h"
#include "WinApp.h"

BOOL CImageList::Create(UINT nBitmapID, int cx, int nGrow, COLORREF crMask)
{
    if (m_hImageList != NULL)
        return FALSE;
    LPCSTR lpszBitmap = MAKEINTRESOURCEA(nBitmapID);
    HINSTANCE hInstance = AfxFindResourceHandle(lpszBitmap, RT_BITMAP);
    m_hImageList = ImageList_LoadImageA(hInstance, lpszBitmap, cx, nGrow, crMask, IMAGE_BITMAP, 0);
    return m_hImageList != NULL;
}

BOOL CImageList::DeleteImageList()
{
    if (m_hImageList == NULL)
        return FALSE;
    BOOL bDestroyed = ImageList_Destroy(m_hImageList);
    m_hImageList = NULL;
    return bDestroyed;
}

int CImageList::GetImageCount() const
{
    return m_hImageList != NULL ? ImageList_GetImageCount(m_hImageList) : 0;
}
