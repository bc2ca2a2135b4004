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

BOOL CImageList::CreateMirrored(UINT nBitmapID, int cx, int nGrow, COLORREF crMask)
{
    if (m_hImageList != NULL || cx <= 0)
        return FALSE;
    LPCSTR lpszBitmap = MAKEINTRESOURCEA(nBitmapID);
    HINSTANCE hInstance = AfxFindResourceHandle(lpszBitmap, RT_BITMAP);
    HBITMAP hSource = (HBITMAP)::LoadImageA(hInstance, lpszBitmap, IMAGE_BITMAP, 0, 0, 0);
    BITMAP bm;
    if (hSource == NULL || !::GetObjectA(hSource, sizeof(bm), &bm)) {
        if (hSource != NULL)
            ::DeleteObject(hSource);
        return FALSE;
    }
    const int nImages = bm.bmWidth / cx;
    HDC hScreen = ::GetDC(NULL);
    HDC hSourceDC = ::CreateCompatibleDC(hScreen);
    HDC hFlippedDC = ::CreateCompatibleDC(hScreen);
    HBITMAP hFlipped = ::CreateCompatibleBitmap(hScreen, bm.bmWidth, bm.bmHeight);
    ::ReleaseDC(NULL, hScreen);
    HGDIOBJ hOldSource = ::SelectObject(hSourceDC, hSource);
    HGDIOBJ hOldFlipped = ::SelectObject(hFlippedDC, hFlipped);
    for (int i = 0; i < nImages; ++i)
        ::StretchBlt(hFlippedDC, i * cx + cx - 1, 0, -cx, bm.bmHeight, hSourceDC, i * cx, 0, cx, bm.bmHeight, SRCCOPY);
    ::SelectObject(hSourceDC, hOldSource);
    ::SelectObject(hFlippedDC, hOldFlipped);
    ::DeleteDC(hSourceDC);
    ::DeleteDC(hFlippedDC);

    m_hImageList = ImageList_Create(cx, bm.bmHeight, ILC_COLOR24 | ILC_MASK, nImages, nGrow);
    if (m_hImageList != NULL && ImageList_AddMasked(m_hImageList, hFlipped, crMask) < 0)
        DeleteImageList();
    ::DeleteObject(hFlipped);
    ::DeleteObject(hSource);
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
