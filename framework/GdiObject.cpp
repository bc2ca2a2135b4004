#include "GdiObject.h"
#include "DC.h"
#include "WinApp.h"

namespace {
LONG g_nLiveObjects = 0;
}

BOOL CGdiObject::Attach(HGDIOBJ hObject)
{
    if (hObject == NULL || m_hObject != NULL)
        return FALSE;
    m_hObject = hObject;
    ++g_nLiveObjects;
    return TRUE;
}

HGDIOBJ CGdiObject::Detach()
{
    HGDIOBJ hObject = m_hObject;
    if (hObject != NULL)
        --g_nLiveObjects;
    m_hObject = NULL;
    return hObject;
}

BOOL CGdiObject::DeleteObject()
{
    if (m_hObject == NULL)
        return FALSE;
    return ::DeleteObject(Detach());
}

int CGdiObject::GetObject(int nCount, LPVOID lpObject) const
{
    return m_hObject != NULL ? ::GetObjectA(m_hObject, nCount, lpObject) : 0;
}

LONG CGdiObject::GetLiveCount()
{
    return g_nLiveObjects;
}

BOOL CBitmap::LoadBitmap(UINT nIDResource)
{
    LPCSTR lpszBitmap = MAKEINTRESOURCEA(nIDResource);
    HINSTANCE hInstance = AfxFindResourceHandle(lpszBitmap, RT_BITMAP);
    return Attach(::LoadBitmapA(hInstance, lpszBitmap));
}

BOOL CBitmap::CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitsPerPixel, const void* lpBits)
{
    return Attach(::CreateBitmap(nWidth, nHeight, nPlanes, nBitsPerPixel, lpBits));
}

BOOL CBitmap::CreateCompatibleBitmap(CDC* pDC, int nWidth, int nHeight)
{
    return Attach(::CreateCompatibleBitmap(pDC->m_hDC, nWidth, nHeight));
}
