// CMaskedBitmap: a bitmap that can draw itself with one colour left transparent.
#pragma once
#include "framework/Afx.h"

class CMaskedBitmap : public CBitmap {
public:
    // Copies the whole bitmap to (x, y).
    virtual void Draw(CDC* pDC, int x, int y);
    // Copies the bitmap to (x, y); where it has the key colour the target shows through.
    virtual void DrawTransparent(CDC* pDC, int x, int y, COLORREF clrTransparency);
};
