// CGdiObject and CBitmap: a GDI object that the wrapper owns and deletes. A wrapper holds
// one object at a time; it cannot be copied.
#pragma once
#include "Object.h"

class CDC;

class CGdiObject : public CObject {
public:
    CGdiObject() : m_hObject(NULL) {}
    virtual ~CGdiObject() { DeleteObject(); }

    HGDIOBJ m_hObject;
    HGDIOBJ GetSafeHandle() const { return m_hObject; }

    // Takes ownership of the object; FALSE (and nothing taken) for NULL or while the
    // wrapper still holds another one.
    BOOL Attach(HGDIOBJ hObject);
    HGDIOBJ Detach();
    BOOL DeleteObject();
    int GetObject(int nCount, LPVOID lpObject) const;

    // Objects currently owned by wrappers, for leak checks.
    static LONG GetLiveCount();
};

class CBitmap : public CGdiObject {
public:
    BOOL LoadBitmap(UINT nIDResource);
    BOOL CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitsPerPixel, const void* lpBits);
    BOOL CreateCompatibleBitmap(CDC* pDC, int nWidth, int nHeight);
    int GetBitmap(BITMAP* pBitmap) const { return GetObject((int)sizeof(BITMAP), pBitmap); }
    operator HBITMAP() const { return (HBITMAP)m_hObject; }
};
