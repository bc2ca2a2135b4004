// The README's pictures of the pages, taken from a real run of setup.exe: a tool, not a test,
// that scripts/screenshots.sh runs. It saves BMP files into SCREENSHOT_DIR.
#include <doctest.h>
#include "res/resource.h"
#include "tests/harness/Process.h"
#include "tests/harness/Windows.h"
#include "tests/e2e/Roads.h"
#include <string>

using namespace harness;

namespace {

void Shoot(HWND hWnd, const std::string& name)
{
    ::Sleep(500);  // let the page finish painting
    std::string directory = PathFromEnvironment("SCREENSHOT_DIR");
    REQUIRE(!directory.empty());
    CHECK(SaveWindowImage(hWnd, directory + "\\" + name + ".bmp"));
}

// Next to the summary page, its picture, then Cancel.
void ShootSummaryAndCancel(WizardProcess& wizard, HWND hPage, const char* pszName)
{
    PostClick(hPage, IDOK);
    HWND hSummary = wizard.WaitForPage(IDC_HEADING, 10000);
    REQUIRE(hSummary != NULL);
    Shoot(hSummary, pszName);
    PostClick(hSummary, IDCANCEL);
    CHECK(wizard.WaitForExit(10000));
}

} // namespace

TEST_CASE("screenshots: the welcome, printer and summary pages")
{
    std::string package = StageSample();
    WizardProcess wizard;
    HWND hWelcome = wizard.StartAtWelcome(package);
    REQUIRE(hWelcome != NULL);
    Shoot(hWelcome, "welcome");

    HWND hPrinter = OpenPrinterPage(wizard, true);
    AddPortThroughMonitor(wizard, hPrinter, 0, IDOK);
    TypeText(hPrinter, IDC_PRINTER_NAME, "Izov Office");
    Shoot(hPrinter, "printer");
    ShootSummaryAndCancel(wizard, hPrinter, "summary");
}

TEST_CASE("screenshots: the destination page with a directory selected")
{
    std::string package = StageSample();
    for (const char* pszDirectory : { "C:\\Drivers", "C:\\Drivers\\Printers", "C:\\Drivers\\Scanners" })
        ::CreateDirectoryA(pszDirectory, NULL);
    WizardProcess wizard;
    REQUIRE(wizard.Start(package));
    HWND hDestination = ChooseCopyTask(wizard);
    TypeText(hDestination, IDC_DIRECTORY, "C:\\Drivers\\ZUV Izov");
    PostClick(hDestination, IDC_CREATE);
    REQUIRE(WaitFor([&] { return ::GetFileAttributesA("C:\\Drivers\\ZUV Izov") != INVALID_FILE_ATTRIBUTES; },
                    10000));
    // The focus on the tree, so that the selection shows in its colours.
    ::PostMessageA(hDestination, WM_NEXTDLGCTL, (WPARAM)::GetDlgItem(hDestination, IDC_DIRECTORY_TREE), TRUE);
    Shoot(hDestination, "destination");
    ShootSummaryAndCancel(wizard, hDestination, "summary-copy");
}

// Run under a right-to-left locale (LANG and LC_ALL set to one).
TEST_CASE("screenshots right to left: the welcome page")
{
    std::string package = StageSample();
    WizardProcess wizard;
    HWND hWelcome = wizard.StartAtWelcome(package);
    REQUIRE(hWelcome != NULL);
    Shoot(hWelcome, "welcome-rtl");
    PostClick(hWelcome, IDCANCEL);
    CHECK(wizard.WaitForExit(10000));
}
