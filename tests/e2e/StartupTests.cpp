// setup.exe started in the sample package under the Windows version that ctest chose.
#include <doctest.h>
#include "framework/Afx.h"
#include "res/resource.h"
#include "tests/harness/Process.h"
#include "tests/harness/Windows.h"
#include <algorithm>
#include <stdlib.h>
#include <string>
#include <vector>

using namespace harness;

namespace {

const char* const kPageTitle = "ZUV Izov Printer Driver Wizard";
const DWORD kStartTimeoutMs = 30000;

std::string StartWizard(WizardProcess& wizard)
{
    const char* pszVersion = getenv("WIZARD_WINVER");
    REQUIRE_MESSAGE(pszVersion != NULL, "WIZARD_WINVER names the Windows version");
    std::string directory = WizardProcess::StagePackage("package");
    REQUIRE(!directory.empty());
    REQUIRE(WizardProcess::SetWindowsVersion(pszVersion));
    REQUIRE(wizard.Start(directory));
    return pszVersion;
}

bool Contains(const std::vector<std::string>& texts, const char* pszText)
{
    return std::find(texts.begin(), texts.end(), pszText) != texts.end();
}

// Pixels of the page's header mark on the screen that differ from the bitmap.
int HeaderMismatches(HWND hPage)
{
    const COLORREF kMark = RGB(0, 102, 163);
    CBitmap reference;
    reference.LoadBitmap(IDB_HEADER);
    CDC referenceDC;
    referenceDC.CreateCompatibleDC(NULL);
    HGDIOBJ hOld = referenceDC.SelectObject(&reference);

    RECT client = ClientRectOnScreen(hPage);
    const int x0 = client.right - 87;
    const int y0 = client.top + 12;
    HDC hScreen = ::GetDC(NULL);
    COLORREF background = ::GetPixel(hScreen, x0 - 2, y0 + 15);
    int nWrong = background == kMark ? 1 : 0;
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 82; ++x) {
            bool bMark = ::GetPixel(referenceDC.m_hDC, x, y) == kMark;
            nWrong += ::GetPixel(hScreen, x0 + x, y0 + y) != (bMark ? kMark : background);
        }
    }
    ::ReleaseDC(NULL, hScreen);
    referenceDC.SelectObject(hOld);
    return nWrong;
}

} // namespace

TEST_CASE("welcome page is shown on Windows 2000, XP and Server 2003")
{
    WizardProcess wizard;
    std::string version = StartWizard(wizard);
    CAPTURE(version);

    HWND hPage = wizard.WaitForWindow(kPageTitle, kStartTimeoutMs);
    REQUIRE(hPage != NULL);
    std::vector<std::string> texts = ChildTexts(hPage);
    CHECK(Contains(texts, "This wizard helps you install ZUV Izov Printer Driver."));
    CHECK(Contains(texts, "Which task do you want to do?"));
    CHECK(ControlText(hPage, IDC_INSTALL) == "&Install a new printer");
    // An administrator, and a package with its driver INF: both tasks are offered.
    CHECK(IsEnabled(hPage, IDC_INSTALL));
    CHECK(IsChecked(hPage, IDC_INSTALL));
    CHECK(ControlText(hPage, IDC_COPY) == "&Copy a printer driver to a directory");
    CHECK(ControlText(hPage, IDC_VIEW_README) == "&View Readme file");
    CHECK(ControlText(hPage, IDOK) == "&Next >");
    CHECK(ControlText(hPage, IDCANCEL) == "Cancel");
    CHECK(::GetDlgItem(hPage, IDC_BACK) == NULL);
    CHECK(WaitFor([&] { return HeaderMismatches(hPage) == 0; }, 5000));

    PostClick(hPage, IDCANCEL);
    DWORD dwExitCode = 1;
    CHECK(wizard.WaitForExit(10000, &dwExitCode));
    CHECK(dwExitCode == 0);
}

TEST_CASE("refused on Windows NT 4.0, Vista and Windows 98")
{
    WizardProcess wizard;
    std::string version = StartWizard(wizard);
    CAPTURE(version);

    MessageBoxRecord box;
    HWND hBox = wizard.WaitForMessageBox(&box, kStartTimeoutMs);
    REQUIRE(hBox != NULL);
    CHECK(box.text == "Application cannot run on this operating system");
    CHECK(box.caption == "ZUV Izov Printer Software Wizard");
    CHECK(box.type == (MB_OK | MB_ICONERROR));
    CHECK(wizard.VisibleWindows().size() == 1);

    AnswerMessageBox(hBox, IDOK);
    DWORD dwExitCode = 1;
    CHECK(wizard.WaitForExit(10000, &dwExitCode));
    CHECK(dwExitCode == 0);
    CHECK(wizard.WaitForWindow(kPageTitle, 0) == NULL);
}

TEST_CASE("without administrator rights only the copy task is offered, on every return to the page")
{
    std::string directory = WizardProcess::StagePackage("package");
    REQUIRE(!directory.empty());
    WizardProcess wizard;
    REQUIRE(wizard.StartWithoutAdminRights(directory));

    for (int nShowing = 0; nShowing < 2; ++nShowing) {
        CAPTURE(nShowing);
        HWND hWelcome = wizard.WaitForPage(IDC_INSTALL, kStartTimeoutMs);
        REQUIRE(hWelcome != NULL);
        CHECK_FALSE(IsEnabled(hWelcome, IDC_INSTALL));
        CHECK_FALSE(IsChecked(hWelcome, IDC_INSTALL));
        CHECK(IsChecked(hWelcome, IDC_COPY));
        PostClick(hWelcome, IDOK);

        HWND hDestination = wizard.WaitForPage(IDC_DRIVE, 10000);
        REQUIRE(hDestination != NULL);
        PostClick(hDestination, nShowing == 0 ? IDC_BACK : IDCANCEL);
    }
    DWORD dwExitCode = 1;
    CHECK(wizard.WaitForExit(10000, &dwExitCode));
    CHECK(dwExitCode == 0);
}
