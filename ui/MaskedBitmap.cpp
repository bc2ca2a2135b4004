#include "ui/MaskedBitmap.h"

// The raster operation "destination AND NOT source".
const DWORD ROP_DSNA = 0x00220326;

namespace {

// A mirrored (right-to-left) target would mirror every bitmap copied to it, and the mark would
// read backwards; while the object lives, bitmaps keep their own orientation there.
class PreservedOrientation {
public:
    explicit PreservedOrientation(CDC* pDC) : m_hDC(pDC->m_hDC), m_dwLayout(::GetLayout(m_hDC))
    {
        if (IsMirrored())
            ::SetLayout(m_hDC, m_dwLayout | LAYOUT_BITMAPORIENTATIONPRESERVED);
    }
    ~PreservedOrientation()
    {
        if (IsMirrored())
            ::SetLayout(m_hDC, m_dwLayout);
    }

private:
    bool IsMirrored() const { return m_dwLayout != GDI_ERROR && (m_dwLayout & LAYOUT_RTL) != 0; }

    HDC m_hDC;
    DWORD m_dwLayout;
};

} // namespace

void CMaskedBitmap::Draw(CDC* pDC, int x, int y)
{
    BITMAP bm;
    if (!GetBitmap(&bm))
        return;
    CDC dcImage;
    if (!dcImage.CreateCompatibleDC(pDC))
        return;
    HGDIOBJ hOldImage = dcImage.SelectObject(this);
    dcImage.SetMapMode(pDC->GetMapMode());
    PreservedOrientation orientation(pDC);
    pDC->BitBlt(x, y, bm.bmWidth, bm.bmHeight, &dcImage, 0, 0, SRCCOPY);
    dcImage.SelectObject(hOldImage);
}

void CMaskedBitmap::DrawTransparent(CDC* pDC, int x, int y, COLORREF clrTransparency)
{
    BITMAP bm;
    if (!GetBitmap(&bm))
        return;
    const int w = bm.bmWidth;
    const int h = bm.bmHeight;
    const int nMapMode = pDC->GetMapMode();

    // Declared before the DCs so that the DCs go first when the function ends.
    CBitmap bmMask, bmColor, bmWork;
    CDC dcImage, dcMask, dcColor, dcWork;
    if (!dcImage.CreateCompatibleDC(pDC) || !dcMask.CreateCompatibleDC(pDC) ||
        !dcColor.CreateCompatibleDC(pDC) || !dcWork.CreateCompatibleDC(pDC))
        return;

    HGDIOBJ hOldImage = dcImage.SelectObject(this);
    dcImage.SetMapMode(nMapMode);
    dcMask.SetMapMode(nMapMode);
    dcColor.SetMapMode(nMapMode);
    dcWork.SetMapMode(nMapMode);

    if (bmMask.CreateBitmap(w, h, 1, 1, NULL) && bmColor.CreateCompatibleBitmap(&dcImage, w, h) &&
        bmWork.CreateCompatibleBitmap(&dcImage, w, h)) {
        // Mask: white where the image has the key colour, black elsewhere.
        HGDIOBJ hOldMask = dcMask.SelectObject(&bmMask);
        dcImage.SetBkColor(clrTransparency);
        dcMask.BitBlt(0, 0, w, h, &dcImage, 0, 0, SRCCOPY);

        // The image with its key-coloured pixels made black.
        HGDIOBJ hOldColor = dcColor.SelectObject(&bmColor);
        dcColor.BitBlt(0, 0, w, h, &dcImage, 0, 0, SRCCOPY);
        dcColor.BitBlt(0, 0, w, h, &dcMask, 0, 0, ROP_DSNA);

        // The background, blacked out under the mark, then the mark laid in.
        PreservedOrientation orientation(pDC);
        HGDIOBJ hOldWork = dcWork.SelectObject(&bmWork);
        dcWork.BitBlt(0, 0, w, h, pDC, x, y, SRCCOPY);
        dcWork.BitBlt(0, 0, w, h, &dcMask, 0, 0, SRCAND);
        dcWork.BitBlt(0, 0, w, h, &dcColor, 0, 0, SRCINVERT);

        pDC->BitBlt(x, y, w, h, &dcWork, 0, 0, SRCCOPY);

        dcWork.SelectObject(hOldWork);
        dcColor.SelectObject(hOldColor);
        dcMask.SelectObject(hOldMask);
    }
    dcImage.SelectObject(hOldImage);
}
