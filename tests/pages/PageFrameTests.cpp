// What the four pages share: how they close, their icon, and the header mark.
#include <doctest.h>
#include "res/resource.h"
#include "tests/harness/ListView.h"
#include "tests/harness/MessageBoxes.h"
#include "tests/harness/Pages.h"
#include "tests/harness/ScriptedPlatform.h"
#include "tests/harness/Windows.h"
#include "ui/DestinationDlg.h"
#include "ui/PrinterDlg.h"
#include "ui/SummaryDlg.h"
#include "ui/WelcomeDlg.h"
#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace harness;

namespace {

enum CloseAction { NEXT_BUTTON, ENTER_KEY, BACK_BUTTON, CANCEL_BUTTON, ESCAPE_KEY, CLOSE_BOX };

// The printer page offers Next once a port is chosen.
void ChooseAPort(HWND hPage)
{
    HWND hPorts = ::GetDlgItem(hPage, IDC_PORTS);
    if (hPorts != NULL && ClassName(hPorts) == "SysListView32")
        SelectListItem(hPorts, 0);
}

// A spooler that runs and offers the file port.
struct RunningSpooler {
    ScriptedPlatform platform;
    RunningSpooler() { platform.ports = { { "FILE:", "Local Port", "" } }; }
};

void Close(HWND hPage, CloseAction action)
{
    if (action == NEXT_BUTTON || action == ENTER_KEY)
        ChooseAPort(hPage);
    switch (action) {
    case NEXT_BUTTON:
        Click(hPage, IDOK);
        break;
    case ENTER_KEY:
        ::PostMessageA(::GetFocus(), WM_KEYDOWN, VK_RETURN, 0);
        break;
    case BACK_BUTTON:
        Click(hPage, IDC_BACK);
        break;
    case CANCEL_BUTTON:
        Click(hPage, IDCANCEL);
        break;
    case ESCAPE_KEY:
        ::PostMessageA(::GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0);
        break;
    case CLOSE_BOX:
        ::PostMessageA(hPage, WM_SYSCOMMAND, SC_CLOSE, 0);
        break;
    }
}

} // namespace

TEST_CASE("every page closes with Next, Back and Cancel codes however the user closes it")
{
    MessageBoxRecorder boxes;
    RunningSpooler spooler;
    struct Case {
        CloseAction action;
        int nExpected;
    };
    const Case cases[] = { { NEXT_BUTTON, PAGE_NEXT }, { ENTER_KEY, PAGE_NEXT }, { BACK_BUTTON, PAGE_BACK },
                           { CANCEL_BUTTON, PAGE_CANCEL }, { ESCAPE_KEY, PAGE_CANCEL }, { CLOSE_BOX, PAGE_CANCEL } };
    for (UINT nID : kWizardPages) {
        for (const Case& c : cases) {
            if (nID == IDD_WELCOME && c.action == BACK_BUTTON)
                continue;
            CAPTURE(nID);
            CAPTURE(c.action);
            std::unique_ptr<CWizardPage> page = MakePage(nID);
            PageRun run = RunPage(*page, [&](HWND hPage) {
                // The destination page's Next needs a directory that can be made or is there.
                if (nID == IDD_DESTINATION)
                    TypeText(hPage, IDC_DIRECTORY, "C:\\windows");
                Close(hPage, c.action);
            });
            CHECK(run.bScriptRan);
            CHECK_FALSE(run.bLeftOpen);
            CHECK(page->m_nResult == c.nExpected);
        }
    }
    CHECK(boxes.boxes.empty());
}

TEST_CASE("the welcome page has no Back button")
{
    CWelcomeDlg welcome;
    RunPage(welcome, [&](HWND hPage) {
        CHECK(::GetDlgItem(hPage, IDC_BACK) == NULL);
        Click(hPage, IDCANCEL);
    });
    CHECK(welcome.m_nResult == PAGE_CANCEL);
}

TEST_CASE("Back runs no data check; Next takes the data")
{
    MessageBoxRecorder boxes;
    RunningSpooler spooler;
    CPrinterDlg printer;
    RunPage(printer, [&](HWND hPage) {
        CHECK(ControlText(hPage, IDC_PRINTER_NAME) == "ZUV Izov");
        TypeText(hPage, IDC_PRINTER_NAME, std::string(221, 'n').c_str());
        Click(hPage, IDC_BACK);
    });
    CHECK(printer.m_nResult == PAGE_BACK);
    CHECK(boxes.boxes.empty());

    RunPage(printer, [&](HWND hPage) {
        TypeText(hPage, IDC_PRINTER_NAME, "Typed name");
        ChooseAPort(hPage);
        Click(hPage, IDOK);
    });
    CHECK(printer.m_nResult == PAGE_NEXT);
    CHECK(printer.m_strPrinterName == "Typed name");
}

TEST_CASE("a page whose data check fails on Next stays open")
{
    MessageBoxRecorder boxes;
    RunningSpooler spooler;
    CPrinterDlg printer;
    RunPage(printer, [&](HWND hPage) {
        ChooseAPort(hPage);
        TypeText(hPage, IDC_PRINTER_NAME, std::string(221, 'n').c_str());
        Click(hPage, IDOK);
        CHECK(::IsWindowVisible(hPage));
        Click(hPage, IDCANCEL);
    });
    CHECK(printer.m_nResult == PAGE_CANCEL);
    REQUIRE(boxes.boxes.size() == 1);
    CHECK(boxes.boxes[0].text == "Enter no more than 220 characters.");
}

TEST_CASE("every page carries the program's icon, big and small")
{
    RunningSpooler spooler;
    for (UINT nID : kWizardPages) {
        CAPTURE(nID);
        std::unique_ptr<CWizardPage> page = MakePage(nID);
        REQUIRE(page->m_hIcon != NULL);
        RunPage(*page, [&](HWND hPage) {
            CHECK((HICON)::SendMessageA(hPage, WM_GETICON, ICON_BIG, 0) == page->m_hIcon);
            CHECK((HICON)::SendMessageA(hPage, WM_GETICON, ICON_SMALL, 0) == page->m_hIcon);
            Click(hPage, IDCANCEL);
        });
    }
    CPrinterDlg printer;
    RunPage(printer, [&](HWND hPage) {
        CHECK((HICON)::SendMessageA(hPage, WM_QUERYDRAGICON, 0, 0) == printer.m_hIcon);
        Click(hPage, IDCANCEL);
    });
}

TEST_CASE("every page paints the header mark 5 pixels from the right edge and 12 from the top")
{
    RunningSpooler spooler;
    const COLORREF kMark = RGB(0, 102, 163);
    CBitmap reference;
    REQUIRE(reference.LoadBitmap(IDB_HEADER));
    CDC referenceDC;
    REQUIRE(referenceDC.CreateCompatibleDC(NULL));
    HGDIOBJ hOld = referenceDC.SelectObject(&reference);

    for (UINT nID : kWizardPages) {
        CAPTURE(nID);
        std::unique_ptr<CWizardPage> page = MakePage(nID);
        RunPage(*page, [&](HWND hPage) {
            ::RedrawWindow(hPage, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
            RECT client;
            ::GetClientRect(hPage, &client);
            const int x0 = client.right - 82 - 5;
            const int y0 = client.top + 12;
            HDC hDC = ::GetDC(hPage);
            COLORREF background = ::GetPixel(hDC, x0 - 2, y0 + 15);
            int nWrong = 0;
            for (int y = 0; y < 30; ++y) {
                for (int x = 0; x < 82; ++x) {
                    bool bMark = ::GetPixel(referenceDC.m_hDC, x, y) == kMark;
                    nWrong += ::GetPixel(hDC, x0 + x, y0 + y) != (bMark ? kMark : background);
                }
            }
            ::ReleaseDC(hPage, hDC);
            CHECK(background != kMark);
            CHECK(nWrong == 0);
            Click(hPage, IDCANCEL);
        });
    }
    referenceDC.SelectObject(hOld);
}

TEST_CASE("a page shown 20 times keeps one header bitmap and leaves no GDI object behind")
{
    RunningSpooler spooler;
    for (UINT nID : kWizardPages) {
        CAPTURE(nID);
        std::vector<HGDIOBJ> headers;
        LONG nObjects = CGdiObject::GetLiveCount();
        LONG nDCs = CDC::GetLiveCount();
        {
            std::unique_ptr<CWizardPage> page = MakePage(nID);
            for (int i = 0; i < 20; ++i) {
                RunPage(*page, [&](HWND hPage) {
                    ::RedrawWindow(hPage, NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW);
                    headers.push_back(page->m_bmpHeader.GetSafeHandle());
                    Click(hPage, IDCANCEL);
                });
            }
            REQUIRE(headers.size() == 20);
            for (size_t i = 0; i + 1 < headers.size(); ++i)
                CHECK(::GetObjectType(headers[i]) == 0);
            CHECK(::GetObjectType(headers.back()) == OBJ_BITMAP);
            CHECK(CGdiObject::GetLiveCount() == nObjects + 1);
            CHECK(CDC::GetLiveCount() == nDCs);
        }
        CHECK(::GetObjectType(headers.back()) == 0);
        CHECK(CGdiObject::GetLiveCount() == nObjects);
    }
}

namespace {

// Whether the window's own pixels (its frame included) show the icon as the system draws it
// small: every pixel the icon covers, at one place.
bool ShowsSmallIcon(HWND hWnd, HICON hIcon)
{
    const int kSize = ::GetSystemMetrics(SM_CXSMICON);
    CDC onWhite, onBlack;
    onWhite.CreateCompatibleDC(NULL);
    onBlack.CreateCompatibleDC(NULL);
    HDC hWindow = ::GetWindowDC(hWnd);
    CBitmap white, black;
    white.Attach(::CreateCompatibleBitmap(hWindow, kSize, kSize));
    black.Attach(::CreateCompatibleBitmap(hWindow, kSize, kSize));
    HGDIOBJ hOldWhite = onWhite.SelectObject(&white);
    HGDIOBJ hOldBlack = onBlack.SelectObject(&black);
    ::PatBlt(onWhite.m_hDC, 0, 0, kSize, kSize, WHITENESS);
    ::PatBlt(onBlack.m_hDC, 0, 0, kSize, kSize, BLACKNESS);
    ::DrawIconEx(onWhite.m_hDC, 0, 0, hIcon, kSize, kSize, 0, NULL, DI_NORMAL);
    ::DrawIconEx(onBlack.m_hDC, 0, 0, hIcon, kSize, kSize, 0, NULL, DI_NORMAL);
    // The icon's own pixels are those it draws alike on either background.
    std::vector<std::pair<POINT, COLORREF>> covered;
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            COLORREF color = ::GetPixel(onWhite.m_hDC, x, y);
            if (color == ::GetPixel(onBlack.m_hDC, x, y))
                covered.push_back({ POINT{ x, y }, color });
        }
    }
    RECT rect;
    ::GetWindowRect(hWnd, &rect);
    bool bShown = false;
    for (int oy = 0; oy + kSize <= rect.bottom - rect.top && !bShown; ++oy) {
        for (int ox = 0; ox + kSize <= rect.right - rect.left && !bShown; ++ox) {
            bShown = covered.size() >= (size_t)kSize;
            for (size_t i = 0; i < covered.size() && bShown; ++i)
                bShown = ::GetPixel(hWindow, ox + covered[i].first.x, oy + covered[i].first.y) == covered[i].second;
        }
    }
    onWhite.SelectObject(hOldWhite);
    onBlack.SelectObject(hOldBlack);
    ::ReleaseDC(hWnd, hWindow);
    return bShown;
}

} // namespace

TEST_CASE("a minimised page paints its icon and comes back")
{
    CSummaryDlg summary;
    RunPage(summary, [&](HWND hPage) {
        ::ShowWindow(hPage, SW_MINIMIZE);
        ::RedrawWindow(hPage, NULL, NULL, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
        CHECK(::IsIconic(hPage));
        // Minimised, the page is a caption bar without a client area: the program's icon shows
        // there.
        CHECK(ShowsSmallIcon(hPage, summary.m_hIcon));
        ::ShowWindow(hPage, SW_RESTORE);
        CHECK_FALSE(::IsIconic(hPage));
        Click(hPage, IDCANCEL);
    });
    CHECK(summary.m_nResult == PAGE_CANCEL);
}
