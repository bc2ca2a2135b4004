// CImageList: an image list that the object owns and destroys.
#pragma once
#include "Object.h"
#include <commctrl.h>

class CImageList : public CObject {
public:
    CImageList() : m_hImageList(NULL) {}
    virtual ~CImageList() { DeleteImageList(); }

    // Cuts bitmap nBitmapID into images cx pixels wide; crMask is drawn transparent.
    BOOL Create(UINT nBitmapID, int cx, int nGrow, COLORREF crMask);
    // The same with every image flipped left to right, for a control whose mirrored
    // (right-to-left) layout flips what it draws.
    BOOL CreateMirrored(UINT nBitmapID, int cx, int nGrow, COLORREF crMask);
    BOOL DeleteImageList();
    int GetImageCount() const;
    HIMAGELIST GetSafeHandle() const { return m_hImageList; }

    HIMAGELIST m_hImageList;
};
