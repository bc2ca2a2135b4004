// The package's port monitor installed and upgraded by setup.exe against the real spooler.
#include <doctest.h>
#include "res/resource.h"
#include "tests/e2e/Roads.h"
#include "tests/harness/Files.h"
#include "tests/harness/Process.h"
#include "tests/harness/Spooler.h"
#include "tests/harness/Windows.h"
#include <string>

using namespace harness;

namespace {

const DWORD kTimeoutMs = 30000;

// Starts the wizard and chooses "Install a new printer" on its welcome page; then the message
// box it shows before the printer page (read into pBox), or NULL when the page comes first.
HWND ChooseInstall(WizardProcess& wizard, const std::string& package, MessageBoxRecord* pBox)
{
    HWND hWelcome = wizard.StartAtWelcome(package, kTimeoutMs);
    REQUIRE(hWelcome != NULL);
    REQUIRE(IsChecked(hWelcome, IDC_INSTALL));
    PostClick(hWelcome, IDOK);
    return wizard.WaitForMessageBox(pBox, kTimeoutMs, IDC_NEW_PORT);
}

} // namespace

TEST_CASE("monitor: installed from the package, then found by a second run")
{
    std::string package = StageSample();
    {
        WizardProcess wizard;
        // A new system's spooler is stopped: the wizard asks to start it.
        MessageBoxRecord box;
        HWND hBox = ChooseInstall(wizard, package, &box);
        REQUIRE(hBox != NULL);
        CHECK(box.text == kStartSpooler);
        CHECK(box.type == (MB_YESNO | MB_ICONQUESTION));
        AnswerMessageBox(hBox, IDYES);

        HWND hPrinter = wizard.WaitForPage(IDC_NEW_PORT, kTimeoutMs);
        REQUIRE(hPrinter != NULL);
        CHECK(FileText(SystemDirectoryFile("ZADAZARE.HLP")) ==
              FileText(package + "\\pxmonitor\\ZADAZARE.HLP"));
        CHECK(::GetFileAttributesA(SystemDirectoryFile("ZADAZARE.DLL").c_str()) != INVALID_FILE_ATTRIBUTES);
        std::vector<InstalledMonitorInfo> monitors = InstalledMonitors();
        bool bListed = false;
        for (const InstalledMonitorInfo& monitor : monitors)
            bListed = bListed || (monitor.name == kMonitorName && monitor.dll == "ZADAZARE.DLL");
        CHECK(bListed);
        CHECK(MonitorVersion(kMonitorName) == "1.0.0.4");
        PostClick(hPrinter, IDCANCEL);  // which ends the wizard
        wizard.CheckEndsWell(10000);
    }
    {
        WizardProcess wizard;
        CHECK(ChooseInstall(wizard, package, NULL) == NULL);
        HWND hPrinter = wizard.WaitForPage(IDC_NEW_PORT, kTimeoutMs);
        REQUIRE(hPrinter != NULL);
        CHECK(InstalledMonitors().size() == 2);  // the system's own, and the package's
        PostClick(hPrinter, IDCANCEL);  // which ends the wizard
        wizard.CheckEndsWell(10000);
    }
}

TEST_CASE("monitor: an older installed version is replaced when the user agrees")
{
    std::string package = StageSample();
    REQUIRE(StartSpoolerService());
    REQUIRE(InstallPackageMonitor(package, kMonitorName));
    REQUIRE(SetMonitorVersion(kMonitorName, "1.0.0.3"));
    REQUIRE(WriteTextFile(SystemDirectoryFile("ZADAZARE.HLP"), "the installed, older help"));
    DWORD dwSpoolerBefore = SpoolerProcessId();
    REQUIRE(dwSpoolerBefore != 0);

    const bool bAgree = getenv("WIZARD_ANSWER") == NULL || std::string(getenv("WIZARD_ANSWER")) != "no";
    CAPTURE(bAgree);
    WizardProcess wizard;
    MessageBoxRecord box;
    HWND hBox = ChooseInstall(wizard, package, &box);
    REQUIRE(hBox != NULL);
    CHECK(box.text == kUpgradeQuestion);
    CHECK(box.caption == kCaption);
    CHECK(box.type == (MB_YESNO | MB_ICONQUESTION));
    AnswerMessageBox(hBox, bAgree ? IDYES : IDNO);

    HWND hPrinter = wizard.WaitForPage(IDC_NEW_PORT, 60000);
    REQUIRE(hPrinter != NULL);
    if (bAgree) {
        CHECK(FileText(SystemDirectoryFile("ZADAZARE.HLP")) == FileText(package + "\\pxmonitor\\ZADAZARE.HLP"));
        CHECK(SpoolerProcessId() != 0);
        CHECK(SpoolerProcessId() != dwSpoolerBefore);
    } else {
        CHECK(FileText(SystemDirectoryFile("ZADAZARE.HLP")) == "the installed, older help");
        CHECK(SpoolerProcessId() == dwSpoolerBefore);
    }
    CHECK(MonitorVersion(kMonitorName) == "1.0.0.3");
    PostClick(hPrinter, IDCANCEL);  // which ends the wizard
    wizard.CheckEndsWell(10000);
}

TEST_CASE("monitor: one installed under another name is kept under that name")
{
    std::string package = StageSample();
    REQUIRE(StartSpoolerService());
    REQUIRE(InstallPackageMonitor(package, "Older Izov Monitor"));

    WizardProcess wizard;
    CHECK(ChooseInstall(wizard, package, NULL) == NULL);
    HWND hPrinter = wizard.WaitForPage(IDC_NEW_PORT, kTimeoutMs);
    REQUIRE(hPrinter != NULL);
    CHECK(IsMonitorInstalled("Older Izov Monitor"));
    CHECK_FALSE(IsMonitorInstalled(kMonitorName));
    PostClick(hPrinter, IDCANCEL);  // which ends the wizard
    wizard.CheckEndsWell(10000);
}

TEST_CASE("monitor: a package without its monitor directory names the INF and ends")
{
    std::string package = StageSample();
    REQUIRE(StartSpoolerService());
    for (const char* pszFile : { "ZADAZARE.DLL", "ZADAZARE.HLP", "monitor.inf", "monitorxp.inf" })
        ::DeleteFileA((package + "\\pxmonitor\\" + pszFile).c_str());
    REQUIRE(::RemoveDirectoryA((package + "\\pxmonitor").c_str()));

    WizardProcess wizard;
    MessageBoxRecord box;
    HWND hBox = ChooseInstall(wizard, package, &box);
    REQUIRE(hBox != NULL);
    CHECK(box.text == kNoMonitorInf);
    CHECK(box.type == (MB_OK | MB_ICONERROR));
    AnswerMessageBox(hBox, IDOK);
    wizard.CheckEndsWell(10000);
    CHECK_FALSE(IsMonitorInstalled(kMonitorName));
}
