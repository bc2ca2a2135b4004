// The pages under a right-to-left user locale (ctest runs this part with LANG and LC_ALL set to
// one): the mirrored copies of the dialogs, with the header mark reading as on English pages.
#include <doctest.h>
#include "res/resource.h"
#include "tests/harness/Pages.h"
#include "tests/harness/ScriptedPlatform.h"
#include "tests/harness/Windows.h"
#include "ui/DestinationDlg.h"
#include "ui/PrinterDlg.h"
#include "ui/SummaryDlg.h"
#include "ui/WelcomeDlg.h"
#include <memory>
#include <vector>

using namespace harness;

namespace {

const COLORREF kMark = RGB(0, 102, 163);
const int kMarkWidth = 82;
const int kMarkHeight = 30;

// The left edge of the first place where the image shows the mark exactly, or -1.
int FindMark(const WindowImage& image, const WindowImage& mark, bool bMirrored)
{
    for (int oy = 0; oy + kMarkHeight <= image.cy; ++oy) {
        for (int ox = 0; ox + kMarkWidth <= image.cx; ++ox) {
            bool bMatch = true;
            for (int y = 0; y < kMarkHeight && bMatch; ++y) {
                for (int x = 0; x < kMarkWidth && bMatch; ++x) {
                    bool bMarkPixel = mark.At(bMirrored ? kMarkWidth - 1 - x : x, y) == kMark;
                    bMatch = (image.At(ox + x, oy + y) == kMark) == bMarkPixel;
                }
            }
            if (bMatch)
                return ox;
        }
    }
    return -1;
}

// Where the image shows the 16-pixel folder image k of the tree's bitmap (its key colour left
// out of the comparison), the right way round or mirrored; false when nowhere.
bool ShowsFolder(const WindowImage& image, int k, bool bMirrored)
{
    const WindowImage folders = ReadBitmapImage(IDB_FOLDERS);
    REQUIRE(folders.cx >= 16 * (k + 1));
    auto pixel = [&](int x, int y) { return folders.At(16 * k + (bMirrored ? 15 - x : x), y); };
    const COLORREF key = RGB(255, 0, 255);
    for (int oy = 0; oy + 16 <= image.cy; ++oy) {
        for (int ox = 0; ox + 16 <= image.cx; ++ox) {
            bool bMatch = true;
            for (int y = 0; y < 16 && bMatch; ++y) {
                for (int x = 0; x < 16 && bMatch; ++x)
                    bMatch = pixel(x, y) == key || image.At(ox + x, oy + y) == pixel(x, y);
            }
            if (bMatch)
                return true;
        }
    }
    return false;
}

} // namespace

TEST_CASE("right-to-left: every page is mirrored, and its images read the right way round")
{
    ScriptedPlatform platform;
    platform.ports = { { "FILE:", "Local Port", "" } };
    const WindowImage mark = ReadBitmapImage(IDB_HEADER);
    REQUIRE((mark.cx == kMarkWidth && mark.cy == kMarkHeight));
    for (UINT nID : kWizardPages) {
        CAPTURE(nID);
        std::unique_ptr<CWizardPage> page = MakePage(nID);
        RunPage(*page, [&](HWND hPage) {
            CHECK((::GetWindowLongA(hPage, GWL_EXSTYLE) & WS_EX_LAYOUTRTL) != 0);
            ::RedrawWindow(hPage, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
            WindowImage image = ReadWindowImage(hPage);
            REQUIRE(image.cx > 0);
            // Mirrored, the page puts the mark on its left.
            int x = FindMark(image, mark, false);
            CHECK(x >= 0);
            CHECK(x < image.cx / 2);
            CHECK(FindMark(image, mark, true) < 0);
            // The tree's closed folders (the root's directories) read as the bitmap draws them.
            if (nID == IDD_DESTINATION) {
                CHECK(ShowsFolder(image, 0, false));
                CHECK_FALSE(ShowsFolder(image, 0, true));
            }
            Click(hPage, IDCANCEL);
        });
    }
}
