// What the four pages share: how they close, their icon, and the header mark.
#include <doctest.h>
#include "res/resource.h"
#include "tests/harness/ListView.h"
#include "tests/harness/MessageBoxes.h"
#include "tests/harness/Pages.h"
#include "tests/harness/ScriptedPlatform.h"
#include "tests/harness/Windows.h"
#include "ui/PrinterDlg.h"
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

TEST_CASE("Back runs no data check; Next runs it, staying on a page whose data is refused, and takes the data")
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
        ChooseAPort(hPage);
        TypeText(hPage, IDC_PRINTER_NAME, std::string(221, 'n').c_str());
        Click(hPage, IDOK);
        CHECK(::IsWindowVisible(hPage));
        REQUIRE(boxes.boxes.size() == 1);
        CHECK(boxes.boxes[0].text == "Enter no more than 220 characters.");
        TypeText(hPage, IDC_PRINTER_NAME, "Typed name");
        Click(hPage, IDOK);
    });
    CHECK(printer.m_nResult == PAGE_NEXT);
    CHECK(printer.m_strPrinterName == "Typed name");
}

TEST_CASE("every page carries the program's icon, big and small, and minimised comes back")
{
    RunningSpooler spooler;
    // The program's icon resource, loaded here on its own: the system hands out one handle for it.
    HICON hProgramIcon = ::LoadIconA(::GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDR_MAINFRAME));
    REQUIRE(hProgramIcon != NULL);
    for (UINT nID : kWizardPages) {
        CAPTURE(nID);
        std::unique_ptr<CWizardPage> page = MakePage(nID);
        RunPage(*page, [&](HWND hPage) {
            CHECK((HICON)::SendMessageA(hPage, WM_GETICON, ICON_BIG, 0) == hProgramIcon);
            CHECK((HICON)::SendMessageA(hPage, WM_GETICON, ICON_SMALL, 0) == hProgramIcon);
            if (nID == IDD_PRINTER)
                CHECK((HICON)::SendMessageA(hPage, WM_QUERYDRAGICON, 0, 0) == hProgramIcon);
            // The caption of a minimised page shows its small icon; the system draws it.
            ::ShowWindow(hPage, SW_MINIMIZE);
            CHECK(::IsIconic(hPage));
            ::ShowWindow(hPage, SW_RESTORE);
            CHECK_FALSE(::IsIconic(hPage));
            Click(hPage, IDCANCEL);
        });
        CHECK(page->m_nResult == PAGE_CANCEL);
    }
}

TEST_CASE("every page paints the header mark 5 pixels from the right edge and 12 from the top")
{
    RunningSpooler spooler;
    for (UINT nID : kWizardPages) {
        CAPTURE(nID);
        std::unique_ptr<CWizardPage> page = MakePage(nID);
        RunPage(*page, [&](HWND hPage) {
            ::RedrawWindow(hPage, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
            CHECK(HeaderMismatches(hPage, false) == 0);
            Click(hPage, IDCANCEL);
        });
    }
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
