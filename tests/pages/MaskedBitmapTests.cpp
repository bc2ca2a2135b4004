// The header mark drawn with its key colour transparent, pixel by pixel.
#include <doctest.h>
#include "res/resource.h"
#include "tests/harness/Windows.h"
#include "ui/MaskedBitmap.h"

namespace {

const COLORREF kKey = RGB(255, 0, 255);
const COLORREF kMark = RGB(0, 102, 163);

// A target whose background differs at every pixel, so that "shows through" is exact.
COLORREF Background(int x, int y)
{
    return RGB((x * 7) & 0xFF, (y * 11) & 0xFF, ((x + y) * 5) & 0xFF);
}

struct Canvas {
    CDC dc;
    CBitmap bitmap;
    HGDIOBJ hOld = NULL;

    Canvas(int w, int h)
    {
        HDC hScreen = ::GetDC(NULL);
        CDC screen;
        screen.Attach(hScreen);
        dc.CreateCompatibleDC(&screen);
        bitmap.CreateCompatibleBitmap(&screen, w, h);
        screen.Detach();
        ::ReleaseDC(NULL, hScreen);
        hOld = dc.SelectObject(&bitmap);
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x)
                ::SetPixel(dc.m_hDC, x, y, Background(x, y));
        }
    }
    ~Canvas() { dc.SelectObject(hOld); }
    COLORREF At(int x, int y) const { return ::GetPixel(dc.m_hDC, x, y); }
};

} // namespace

TEST_CASE("DrawTransparent lays the mark on the target and leaves the key-coloured pixels alone")
{
    CMaskedBitmap mark;
    REQUIRE(mark.LoadBitmap(IDB_HEADER));
    const harness::WindowImage source = harness::ReadBitmapImage(IDB_HEADER);
    Canvas canvas(120, 50);
    const int x0 = 20;
    const int y0 = 12;

    LONG nObjects = CGdiObject::GetLiveCount();
    LONG nDCs = CDC::GetLiveCount();
    mark.DrawTransparent(&canvas.dc, x0, y0, kKey);
    CHECK(CGdiObject::GetLiveCount() == nObjects);
    CHECK(CDC::GetLiveCount() == nDCs);

    int nMarkPixels = 0;
    int nWrong = 0;
    for (int y = 0; y < 50; ++y) {
        for (int x = 0; x < 120; ++x) {
            bool bInside = x >= x0 && x < x0 + 82 && y >= y0 && y < y0 + 30;
            COLORREF expected = Background(x, y);
            if (bInside && source.At(x - x0, y - y0) == kMark) {
                expected = kMark;
                ++nMarkPixels;
            }
            if (canvas.At(x, y) != expected)
                ++nWrong;
        }
    }
    CHECK(nMarkPixels > 100);
    CHECK(nWrong == 0);
}

TEST_CASE("on a mirrored target both drawings keep the mark the right way round, where the layout puts it")
{
    CMaskedBitmap mark;
    REQUIRE(mark.LoadBitmap(IDB_HEADER));
    const harness::WindowImage source = harness::ReadBitmapImage(IDB_HEADER);
    const int w = 120;
    const int x0 = 20;
    for (bool bTransparent : { true, false }) {
        CAPTURE(bTransparent);
        Canvas canvas(w, 40);
        ::SetLayout(canvas.dc.m_hDC, LAYOUT_RTL);
        if (bTransparent)
            mark.DrawTransparent(&canvas.dc, x0, 4, kKey);
        else
            mark.Draw(&canvas.dc, x0, 4);
        CHECK(::GetLayout(canvas.dc.m_hDC) == LAYOUT_RTL);
        // Read in device order. Logical x0 of a mirrored target is device column w - x0 - 82, give
        // or take the pixel that mirroring conventions differ by.
        ::SetLayout(canvas.dc.m_hDC, 0);
        auto wrongPixels = [&](int xDevice, bool bMirrored) {
            int nWrong = 0;
            for (int y = 0; y < 30; ++y) {
                for (int x = 0; x < 82; ++x) {
                    COLORREF pixel = source.At(bMirrored ? 81 - x : x, y);
                    bool bShowsThrough = bTransparent && pixel == kKey;
                    COLORREF expected = bShowsThrough ? Background(xDevice + x, y + 4) : pixel;
                    nWrong += canvas.At(xDevice + x, y + 4) != expected;
                }
            }
            return nWrong;
        };
        const int xDevice = w - x0 - 82;
        CHECK((wrongPixels(xDevice, false) == 0 || wrongPixels(xDevice - 1, false) == 0));
        CHECK(wrongPixels(xDevice, true) > 100);
        CHECK(wrongPixels(xDevice - 1, true) > 100);
    }
}

TEST_CASE("Draw copies the whole bitmap, key colour included")
{
    CMaskedBitmap mark;
    REQUIRE(mark.LoadBitmap(IDB_HEADER));
    const harness::WindowImage source = harness::ReadBitmapImage(IDB_HEADER);
    Canvas canvas(100, 40);
    mark.Draw(&canvas.dc, 3, 4);
    int nWrong = 0;
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 82; ++x)
            nWrong += canvas.At(x + 3, y + 4) != source.At(x, y);
    }
    CHECK(nWrong == 0);
    CHECK(canvas.At(2, 4) == Background(2, 4));
    CHECK(canvas.At(85, 4) == Background(85, 4));
}

TEST_CASE("an empty bitmap draws nothing")
{
    CMaskedBitmap empty;
    Canvas canvas(10, 10);
    empty.DrawTransparent(&canvas.dc, 0, 0, kKey);
    empty.Draw(&canvas.dc, 0, 0);
    CHECK(canvas.At(5, 5) == Background(5, 5));
}
