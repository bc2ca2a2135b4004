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

// Which pixels of the header bitmap are the mark's colour, row by row.
std::vector<bool> MarkPixels()
{
    std::vector<bool> mark;
    CBitmap bitmap;
    REQUIRE(bitmap.LoadBitmap(IDB_HEADER));
    CDC dc;
    REQUIRE(dc.CreateCompatibleDC(NULL));
    HGDIOBJ hOld = dc.SelectObject(&bitmap);
    for (int y = 0; y < kMarkHeight; ++y) {
        for (int x = 0; x < kMarkWidth; ++x)
            mark.push_back(::GetPixel(dc.m_hDC, x, y) == kMark);
    }
    dc.SelectObject(hOld);
    return mark;
}

// The left edge of the first place where the image shows the mark exactly, or -1.
int FindMark(const WindowImage& image, const std::vector<bool>& mark, bool bMirrored)
{
    for (int oy = 0; oy + kMarkHeight <= image.cy; ++oy) {
        for (int ox = 0; ox + kMarkWidth <= image.cx; ++ox) {
            bool bMatch = true;
            for (int y = 0; y < kMarkHeight && bMatch; ++y) {
                for (int x = 0; x < kMarkWidth && bMatch; ++x) {
                    bool bMarkPixel = mark[(size_t)y * kMarkWidth + (bMirrored ? kMarkWidth - 1 - x : x)];
                    bMatch = (image.At(ox + x, oy + y) == kMark) == bMarkPixel;
                }
            }
            if (bMatch)
                return ox;
        }
    }
    return -1;
}

std::unique_ptr<CWizardPage> MakePage(UINT nID)
{
    switch (nID) {
    case IDD_WELCOME:
        return std::unique_ptr<CWizardPage>(new CWelcomeDlg);
    case IDD_PRINTER:
        return std::unique_ptr<CWizardPage>(new CPrinterDlg);
    case IDD_DESTINATION:
        return std::unique_ptr<CWizardPage>(new CDestinationDlg);
    default:
        return std::unique_ptr<CWizardPage>(new CSummaryDlg);
    }
}

} // namespace

TEST_CASE("right-to-left: every page is mirrored, and its header mark reads the right way round")
{
    ScriptedPlatform platform;
    platform.ports = { { "FILE:", "Local Port", "" } };
    const std::vector<bool> mark = MarkPixels();
    for (UINT nID : { IDD_WELCOME, IDD_PRINTER, IDD_DESTINATION, IDD_SUMMARY }) {
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
            Click(hPage, IDCANCEL);
        });
    }
}
