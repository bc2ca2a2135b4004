// setup.exe started in the sample package under the Windows version that ctest chose.
#include <doctest.h>
#include "res/resource.h"
#include "tests/e2e/Roads.h"
#include "tests/harness/Process.h"
#include "tests/harness/Windows.h"
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
    std::string directory = StageSample();
    REQUIRE(WizardProcess::SetWindowsVersion(pszVersion));
    REQUIRE(wizard.Start(directory));
    return pszVersion;
}

} // namespace

TEST_CASE("welcome page is shown on Windows 2000, XP and Server 2003")
{
    WizardProcess wizard;
    std::string version = StartWizard(wizard);
    CAPTURE(version);

    // The welcome page (its texts are the template's, which the unit tests read in the product).
    HWND hPage = wizard.WaitForWindow(kPageTitle, kStartTimeoutMs);
    REQUIRE(hPage != NULL);
    // An administrator, and a package with its driver INF: both tasks are offered.
    CHECK(IsEnabled(hPage, IDC_INSTALL));
    CHECK(IsChecked(hPage, IDC_INSTALL));
    CHECK(IsEnabled(hPage, IDC_COPY));
    CHECK(WaitFor([&] { return HeaderMismatches(hPage, true) == 0; }, 5000));

    PostClick(hPage, IDCANCEL);
    wizard.CheckEndsWell(10000);
}

TEST_CASE("refused on Windows NT 4.0, Vista and Windows 98")
{
    WizardProcess wizard;
    std::string version = StartWizard(wizard);
    CAPTURE(version);

    MessageBoxRecord box;
    HWND hBox = wizard.WaitForMessageBox(&box, kStartTimeoutMs, IDC_INSTALL);
    REQUIRE(hBox != NULL);
    CHECK(box.text == "Application cannot run on this operating system");
    CHECK(box.caption == kCaption);
    CHECK(box.type == (MB_OK | MB_ICONERROR));
    CHECK(wizard.VisibleWindows().size() == 1);

    // No page shows, before the refusal or after it until the end: the look that finds the
    // welcome page on the systems supported.
    AnswerMessageBox(hBox, IDOK);
    HWND hPage = NULL;
    WaitFor([&] { return (hPage = wizard.WaitForWindow(kPageTitle, 0)) != NULL || !wizard.IsRunning(); }, 10000);
    CHECK(hPage == NULL);
    wizard.CheckEndsWell(10000);
}

TEST_CASE("without administrator rights only the copy task is offered, on every return to the page")
{
    std::string directory = StageSample();
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
    wizard.CheckEndsWell(10000);
}
