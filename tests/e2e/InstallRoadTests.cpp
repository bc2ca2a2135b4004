// The install road of setup.exe against the real spooler, as far as its pages lead today: the
// monitor, the API library and the driver are installed; a printer without a port is refused
// and the printer page comes back.
#include <doctest.h>
#include "res/resource.h"
#include "tests/harness/Process.h"
#include "tests/harness/Spooler.h"
#include "tests/harness/Windows.h"
#include <string>

using namespace harness;


TEST_CASE("install road: monitor, API library and driver installed through the wizard's pages")
{
    std::string package = WizardProcess::StagePackage("package");
    REQUIRE(!package.empty());
    REQUIRE(StartSpoolerService());
    WizardProcess wizard;
    REQUIRE(wizard.Start(package));

    HWND hWelcome = wizard.WaitForPage(IDC_INSTALL, 30000);
    REQUIRE(hWelcome != NULL);
    PostClick(hWelcome, IDOK);
    HWND hPrinter = wizard.WaitForPage(IDC_NEW_PORT, 30000);
    REQUIRE(hPrinter != NULL);
    CHECK(IsMonitorInstalled("ZUV Izov Language/Port Monitor"));
    CHECK(ControlText(hPrinter, IDC_PRINTER_NAME) == "ZUV Izov");
    PostClick(hPrinter, IDOK);

    HWND hSummary = wizard.WaitForPage(IDC_HEADING, 10000);
    REQUIRE(hSummary != NULL);
    CHECK(ControlText(hSummary, IDOK) == "&Finish");
    PostClick(hSummary, IDOK);

    // No port was chosen: the driver goes in, the printer cannot be made.
    MessageBoxRecord box;
    HWND hBox = wizard.WaitForMessageBox(&box, 60000);
    REQUIRE(hBox != NULL);
    CHECK(box.caption == "Unable to complete the install.");
    HANDLE hNoPrinter = NULL;
    CHECK_FALSE(::OpenPrinterA(const_cast<LPSTR>("ZUV Izov"), &hNoPrinter, NULL));
    CHECK(box.type == (MB_OK | MB_ICONERROR));
    CHECK(IsDriverInstalled("ZUV Izov"));
    CHECK(::GetFileAttributesA(SystemDirectoryFile("DEROvurEZA.DLL").c_str()) != INVALID_FILE_ATTRIBUTES);
    AnswerMessageBox(hBox, IDOK);

    hPrinter = wizard.WaitForPage(IDC_NEW_PORT, 30000);
    REQUIRE(hPrinter != NULL);
    PostClick(hPrinter, IDCANCEL);
    DWORD dwExitCode = 1;
    CHECK(wizard.WaitForExit(10000, &dwExitCode));
    CHECK(dwExitCode == 0);
}
