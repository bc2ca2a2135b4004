// GDI objects, device contexts and image lists own what they make.
#include <doctest.h>
#include "framework/Afx.h"
#include "res/resource.h"

TEST_CASE("a GDI wrapper holds one object and deletes it")
{
    LONG nBefore = CGdiObject::GetLiveCount();
    HGDIOBJ hReleased;
    {
        CBitmap bitmap;
        REQUIRE(bitmap.LoadBitmap(IDB_HEADER));
        BITMAP bm;
        REQUIRE(bitmap.GetBitmap(&bm));
        CHECK(bm.bmWidth == 82);
        CHECK(bm.bmHeight == 30);
        CHECK(CGdiObject::GetLiveCount() == nBefore + 1);

        HBITMAP hOther = ::CreateBitmap(2, 2, 1, 1, NULL);
        CHECK_FALSE(bitmap.Attach(hOther));
        ::DeleteObject(hOther);
        CHECK_FALSE(bitmap.Attach(NULL));
        hReleased = bitmap.GetSafeHandle();
    }
    CHECK(::GetObjectType(hReleased) == 0);
    CHECK(CGdiObject::GetLiveCount() == nBefore);

    CBitmap detached;
    REQUIRE(detached.CreateBitmap(4, 4, 1, 1, NULL));
    HGDIOBJ hKept = detached.Detach();
    CHECK(CGdiObject::GetLiveCount() == nBefore);
    CHECK(::GetObjectType(hKept) == OBJ_BITMAP);
    ::DeleteObject(hKept);
}

TEST_CASE("a DC deletes what it created and leaves an attached one alone")
{
    LONG nBefore = CDC::GetLiveCount();
    HDC hScreen = ::GetDC(NULL);
    {
        CDC screen;
        REQUIRE(screen.Attach(hScreen));
        CDC memory;
        REQUIRE(memory.CreateCompatibleDC(&screen));
        CHECK(CDC::GetLiveCount() == nBefore + 1);
        CHECK(memory.GetMapMode() == MM_TEXT);
    }
    CHECK(CDC::GetLiveCount() == nBefore);
    CHECK(::GetDeviceCaps(hScreen, BITSPIXEL) > 0);
    ::ReleaseDC(NULL, hScreen);
}

TEST_CASE("the folder images make an image list of four")
{
    CImageList images;
    REQUIRE(images.Create(IDB_FOLDERS, 16, 10, RGB(255, 0, 255)));
    CHECK(images.GetImageCount() == 4);
    CHECK_FALSE(images.Create(IDB_FOLDERS, 16, 10, RGB(255, 0, 255)));
    CHECK(images.DeleteImageList());
    CHECK(images.GetSafeHandle() == NULL);
}
