// CDC: a device context. A DC that CreateCompatibleDC made belongs to the wrapper and is
// deleted with it; an attached DC is only borrowed. CPaintDC paints a window between
// BeginPaint and EndPaint.
#pragma once
#include "GdiObject.h"

class CWnd;

class CDC : public CObject {
public:
    CDC() : m_hDC(NULL), m_hAttribDC(NULL), m_bOwned(FALSE) {}
    virtual ~CDC() { DeleteDC(); }

    HDC m_hDC;        // where output goes
    HDC m_hAttribDC;  // where attributes such as the map mode are read
    HDC GetSafeHdc() const { return m_hDC; }

    BOOL CreateCompatibleDC(CDC* pDC);
    BOOL DeleteDC();
    BOOL Attach(HDC hDC);
    HDC Detach();

    // Returns the object that was selected before, to select back later.
    HGDIOBJ SelectObject(CGdiObject* pObject) { return ::SelectObject(m_hDC, pObject->m_hObject); }
    HGDIOBJ SelectObject(HGDIOBJ hObject) { return ::SelectObject(m_hDC, hObject); }
    BOOL BitBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc, DWORD dwRop)
    {
        return ::BitBlt(m_hDC, x, y, nWidth, nHeight, pSrcDC ? pSrcDC->m_hDC : NULL, xSrc, ySrc, dwRop);
    }
    COLORREF SetBkColor(COLORREF crColor) { return ::SetBkColor(m_hDC, crColor); }
    int GetMapMode() const { return ::GetMapMode(m_hAttribDC); }
    int SetMapMode(int nMapMode) { return ::SetMapMode(m_hDC, nMapMode); }
    BOOL DrawIcon(int x, int y, HICON hIcon) { return ::DrawIcon(m_hDC, x, y, hIcon); }

    // DCs currently made by wrappers, for leak checks.
    static LONG GetLiveCount();

private:
    BOOL m_bOwned;
};

class CPaintDC : public CDC {
public:
    explicit CPaintDC(CWnd* pWnd);
    virtual ~CPaintDC();

    PAINTSTRUCT m_ps;

private:
    HWND m_hWnd;
};
