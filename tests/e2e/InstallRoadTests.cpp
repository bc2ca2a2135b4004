// The install road of setup.exe against the real spooler, driven through its windows and the
// package monitor's own add-port dialog.
#include <doctest.h>
#include "res/resource.h"
#include "tests/harness/CodePage.h"
#include "tests/harness/Files.h"
#include "tests/harness/Keyboard.h"
#include "tests/harness/ListView.h"
#include "tests/harness/Process.h"
#include "tests/harness/Spooler.h"
#include "tests/harness/Windows.h"
#include "tests/e2e/Roads.h"
#include "vendor/pxmonitor/AddPortDialog.h"
#include <algorithm>
#include <set>
#include <string>
#include <vector>

using namespace harness;
typedef std::vector<std::string> Texts;

namespace {

std::string SelectedPort(HWND hPrinter)
{
    HWND hPorts = ::GetDlgItem(hPrinter, IDC_PORTS);
    int nItem = SelectedListItem(hPorts);
    Texts names = ListColumn(hPorts, 0);
    return nItem >= 0 && nItem < (int)names.size() ? names[nItem] : std::string();
}

// Next, then Finish on the summary page, which must show the printer and the port.
void FinishWith(WizardProcess& wizard, HWND hPrinter, const std::string& name, const std::string& port)
{
    PostClick(hPrinter, IDOK);
    HWND hSummary = wizard.WaitForPage(IDC_HEADING, 10000);
    REQUIRE(hSummary != NULL);
    CHECK(ControlText(hSummary, IDC_SUMMARY) == "\r\n\r\nPrinter name:\r\n\t" + name + "\r\n\r\nPort:\r\n\t" + port);
    // The Printers folder opens in a shell process of its own, often without a window, which
    // may end soon after: what the shell was asked to open is watched for from Finish on.
    FILETIME finish = ProcessClock();
    PostClick(hSummary, IDOK);
    std::set<std::string> opened;
    WaitFor([&] {
        for (const std::string& arguments : ProcessesNamed("explorer.exe", &finish))
            opened.insert(arguments);
        return !opened.empty() && !wizard.IsRunning();
    }, 60000);
    wizard.CheckEndsWell(0);
    CHECK(opened == std::set<std::string>{ kPrintersFolder });
}

void CheckPrinter(const char* pszName, const std::string& port)
{
    PrinterFacts printer = Printer(pszName);
    REQUIRE(printer.bFound);
    CHECK(printer.port == port);
    CHECK(printer.driver == "ZUV Izov");
    CHECK(printer.processor == "IzovPrint");
    CHECK(printer.share.empty());
    CHECK((printer.dwAttributes & PRINTER_ATTRIBUTE_SHARED) == 0);
}

} // namespace

TEST_CASE("install road right to left: every page mirrored, with the English texts")
{
    std::string package = StageSample();
    WizardProcess wizard;
    HWND hWelcome = wizard.StartAtWelcome(package);
    REQUIRE(hWelcome != NULL);
    CheckMirrored(hWelcome, IDD_WELCOME);
    HWND hPrinter = OpenPrinterPage(wizard, true);
    CheckMirrored(hPrinter, IDD_PRINTER);
    std::string port = AddPortThroughMonitor(wizard, hPrinter, 0, IDOK);
    TypeText(hPrinter, IDC_PRINTER_NAME, "Izov Office");
    PostClick(hPrinter, IDOK);
    HWND hSummary = wizard.WaitForPage(IDC_HEADING, 10000);
    REQUIRE(hSummary != NULL);
    CheckMirrored(hSummary, IDD_SUMMARY);
    // Back and forth: the printer page is shown anew, mirrored again.
    PostClick(hSummary, IDC_BACK);
    hPrinter = wizard.WaitForPage(IDC_NEW_PORT, 10000);
    REQUIRE(hPrinter != NULL);
    CheckMirrored(hPrinter, IDD_PRINTER);
    REQUIRE(SelectListItem(::GetDlgItem(hPrinter, IDC_PORTS), ItemOf(hPrinter, port)));
    FinishWith(wizard, hPrinter, "Izov Office", port);
    CheckPrinter("Izov Office", port);
}

TEST_CASE("install road: a printer on a new port of the monitor, then a second one beside it")
{
    CheckCodePage();
    std::string package = StageSample();
    // In a double-byte code page the name holds characters whose second byte is '\' and '|'.
    const std::string office = InCodePage(L"Izov ソポ Office");
    {
        WizardProcess wizard;
        REQUIRE(wizard.Start(package));
        HWND hPrinter = OpenPrinterPage(wizard, true);
        CHECK(IsMonitorInstalled(kMonitorName));
        CHECK(ListColumn(::GetDlgItem(hPrinter, IDC_PORTS), 0) == Texts{ "FILE:" });

        std::string port = AddPortThroughMonitor(wizard, hPrinter, 2, IDOK);
        CHECK(port == "IZOV1:");
        CHECK(ListColumn(::GetDlgItem(hPrinter, IDC_PORTS), 0) == Texts{ "FILE:", "IZOV1:" });
        CHECK(ListColumn(::GetDlgItem(hPrinter, IDC_PORTS), 1) == Texts{ "", "COM 2" });
        CHECK(SelectedPort(hPrinter) == "IZOV1:");
        TypeText(hPrinter, IDC_PRINTER_NAME, office.c_str());
        CHECK(IsEnabled(hPrinter, IDOK));
        FinishWith(wizard, hPrinter, office, "IZOV1:");
        CheckPrinter(office.c_str(), "IZOV1:");
    }

    // Again: the name is taken now; another one on the file port is not.
    WizardProcess wizard;
    REQUIRE(wizard.Start(package));
    HWND hPrinter = OpenPrinterPage(wizard, false);
    REQUIRE(SelectListItem(::GetDlgItem(hPrinter, IDC_PORTS), ItemOf(hPrinter, "FILE:")));
    TypeText(hPrinter, IDC_PRINTER_NAME, office.c_str());
    PostClick(hPrinter, IDOK);
    MessageBoxRecord box;
    HWND hBox = wizard.WaitForMessageBox(&box, 10000);
    REQUIRE(hBox != NULL);
    CHECK(box.text == kNameTaken);
    AnswerMessageBox(hBox, IDOK);
    CHECK(wizard.WaitForPage(IDC_NEW_PORT, 5000) == hPrinter);

    TypeText(hPrinter, IDC_PRINTER_NAME, "Izov Reception");
    FinishWith(wizard, hPrinter, "Izov Reception", "FILE:");
    CheckPrinter("Izov Reception", "FILE:");
    CheckPrinter(office.c_str(), "IZOV1:");
}

TEST_CASE("install road: the monitor's dialog cancelled leaves the ports as they were")
{
    std::string package = StageSample();
    WizardProcess wizard;
    REQUIRE(wizard.Start(package));
    HWND hPrinter = OpenPrinterPage(wizard, true);
    AddPortThroughMonitor(wizard, hPrinter, 0, IDOK);
    REQUIRE(SelectListItem(::GetDlgItem(hPrinter, IDC_PORTS), ItemOf(hPrinter, "FILE:")));
    // The port added is seen where the cancelled one would show: the spooler's list and the
    // monitor's key.
    const Texts spoolerPorts = SpoolerPorts();
    CHECK(std::count(spoolerPorts.begin(), spoolerPorts.end(), "IZOV1:") == 1);
    CHECK(MonitorPortKeys(kMonitorName) == Texts{ "IZOV1:" });

    AddPortThroughMonitor(wizard, hPrinter, 0, IDCANCEL);
    CHECK(ListColumn(::GetDlgItem(hPrinter, IDC_PORTS), 0) == Texts{ "FILE:", "IZOV1:" });
    CHECK(ListColumn(::GetDlgItem(hPrinter, IDC_PORTS), 1) == Texts{ "", "USB" });
    CHECK(SelectedPort(hPrinter) == "FILE:");
    CHECK(SpoolerPorts() == spoolerPorts);
    CHECK(MonitorPortKeys(kMonitorName) == Texts{ "IZOV1:" });

    PostClick(hPrinter, IDCANCEL);
    wizard.CheckEndsWell(10000);
}

TEST_CASE("install road by keyboard: mnemonics, arrows, Enter and Esc alone")
{
    std::string package = StageSample();
    WizardProcess wizard;
    HWND hWelcome = wizard.StartAtWelcome(package);
    REQUIRE(hWelcome != NULL);
    REQUIRE(WaitForKeyboard(hWelcome, 10000));
    PressKey('N', VK_MENU);
    MessageBoxRecord box;
    HWND hBox = wizard.WaitForMessageBox(&box, 10000);
    REQUIRE(hBox != NULL);
    CHECK(box.text == kStartSpooler);
    REQUIRE(WaitForKeyboard(hBox, 10000));
    PressKey(VK_RETURN);  // Yes
    HWND hPrinter = wizard.WaitForPage(IDC_NEW_PORT, 60000);
    REQUIRE(hPrinter != NULL);
    REQUIRE(WaitForKeyboard(hPrinter, 10000));
    HWND hPorts = ::GetDlgItem(hPrinter, IDC_PORTS);

    // The monitor's dialog: once left with Esc, then a serial port chosen with the arrows.
    PressKey('V', VK_MENU);
    HWND hDialog = wizard.WaitForWindow(kAddPortTitle, 30000);
    REQUIRE(hDialog != NULL);
    REQUIRE(WaitForKeyboard(hDialog, 10000));
    PressKey(VK_ESCAPE);
    REQUIRE(WaitFor([&] { return !::IsWindow(hDialog); }, 10000));
    REQUIRE(WaitForKeyboard(hPrinter, 10000));
    PressKey('V', VK_MENU);
    hDialog = wizard.WaitForWindow(kAddPortTitle, 30000);
    REQUIRE(hDialog != NULL);
    REQUIRE(WaitForKeyboard(hDialog, 10000));
    PressKey('C', VK_MENU);
    PressKey(VK_DOWN);
    PressKey(VK_RETURN);
    REQUIRE(WaitFor([&] { return ItemOf(hPrinter, "IZOV1:") >= 0; }, 10000));
    CHECK(ListColumn(hPorts, 1) == Texts{ "", "COM 1" });
    CHECK(SelectedPort(hPrinter) == "IZOV1:");
    REQUIRE(WaitForKeyboard(hPrinter, 10000));

    // Into the list and up and down it; then the name, typed over the proposed one.
    PressKey('O', VK_MENU);
    PressKey(VK_UP);
    CHECK(WaitFor([&] { return SelectedPort(hPrinter) == "FILE:"; }, 5000));
    PressKey(VK_DOWN);
    CHECK(WaitFor([&] { return SelectedPort(hPrinter) == "IZOV1:"; }, 5000));
    PressKey('P', VK_MENU);
    PressKey(VK_HOME);
    PressKey(VK_END, VK_SHIFT);
    TypeKeys("Izov Keys");
    CHECK(WaitFor([&] { return ControlText(hPrinter, IDC_PRINTER_NAME) == "Izov Keys"; }, 5000));

    PressKey('N', VK_MENU);
    HWND hSummary = wizard.WaitForPage(IDC_HEADING, 10000);
    REQUIRE(hSummary != NULL);
    CHECK(ControlText(hSummary, IDC_SUMMARY) == "\r\n\r\nPrinter name:\r\n\tIzov Keys\r\n\r\nPort:\r\n\tIZOV1:");
    REQUIRE(WaitForKeyboard(hSummary, 10000));
    PressKey(VK_RETURN);  // Finish
    wizard.CheckEndsWell(60000);
    CheckPrinter("Izov Keys", "IZOV1:");
}

TEST_CASE("bad input: a driver file missing from the package is refused, and no printer is made")
{
    std::string package = StageSample();
    REQUIRE(::DeleteFileA((package + "\\IZOV.HLP").c_str()));
    WizardProcess wizard;
    REQUIRE(wizard.Start(package));
    HWND hPrinter = OpenPrinterPage(wizard, true);
    REQUIRE(SelectListItem(::GetDlgItem(hPrinter, IDC_PORTS), ItemOf(hPrinter, "FILE:")));
    TypeText(hPrinter, IDC_PRINTER_NAME, "Izov Incomplete");
    PostClick(hPrinter, IDOK);
    HWND hSummary = wizard.WaitForPage(IDC_HEADING, 10000);
    REQUIRE(hSummary != NULL);
    PostClick(hSummary, IDOK);

    // Whatever the shell says of the missing file (a few boxes at most), the installation's own
    // word follows, and nothing is registered.
    MessageBoxRecord box;
    HWND hBox = NULL;
    std::vector<std::string> seen;
    while ((hBox = wizard.WaitForMessageBox(&box, 30000)) != NULL && box.caption != kErrorCaption) {
        seen.push_back(box.caption + ": " + box.text);
        AnswerMessageBox(hBox, IDOK);
        if (!WaitFor([&] { return !::IsWindow(hBox); }, 5000) || seen.size() >= 10) {
            hBox = NULL;
            break;
        }
    }
    CAPTURE(seen);
    REQUIRE(hBox != NULL);
    CHECK(box.type == (MB_OK | MB_ICONERROR));
    CHECK(box.text == SystemErrorText(ERROR_FILE_NOT_FOUND));
    AnswerMessageBox(hBox, IDOK);
    hPrinter = wizard.WaitForPage(IDC_NEW_PORT, 30000);
    REQUIRE(hPrinter != NULL);
    CHECK_FALSE(Printer("Izov Incomplete").bFound);
    CHECK_FALSE(IsDriverInstalled("ZUV Izov"));
    PostClick(hPrinter, IDCANCEL);
    wizard.CheckEndsWell(10000);
}

TEST_CASE("bad input: a package deep down, a name with accented letters, the spooler stopped at the summary")
{
    // A package directory of more than 200 characters.
    std::string deep = "C:";
    for (int i = 0; i < 5; ++i) {
        deep += "\\" + std::string(38, (char)('a' + i));
        REQUIRE((::CreateDirectoryA(deep.c_str(), NULL) || ::GetLastError() == ERROR_ALREADY_EXISTS));
    }
    std::string package = StageSample(deep.substr(3) + "\\package");
    REQUIRE(package.size() >= 200);
    WizardProcess wizard;
    REQUIRE(wizard.Start(package));
    HWND hPrinter = OpenPrinterPage(wizard, true);
    std::string port = AddPortThroughMonitor(wizard, hPrinter, 0, IDOK);
    const std::string name = "M\xFCller B\xFCro";
    TypeText(hPrinter, IDC_PRINTER_NAME, name.c_str());
    PostClick(hPrinter, IDOK);
    HWND hSummary = wizard.WaitForPage(IDC_HEADING, 10000);
    REQUIRE(hSummary != NULL);
    CHECK(ControlText(hSummary, IDC_SUMMARY) == "\r\n\r\nPrinter name:\r\n\t" + name + "\r\n\r\nPort:\r\n\t" + port);

    // Someone stops the spooler meanwhile: Finish asks to start it again.
    SC_HANDLE hManager = ::OpenSCManagerA(NULL, NULL, SC_MANAGER_CONNECT);
    SC_HANDLE hSpooler = hManager ? ::OpenServiceA(hManager, "Spooler", SERVICE_STOP | SERVICE_QUERY_STATUS) : NULL;
    REQUIRE(hSpooler != NULL);
    SERVICE_STATUS status = {};
    CHECK(::ControlService(hSpooler, SERVICE_CONTROL_STOP, &status));
    CHECK(WaitFor([&] { return ::QueryServiceStatus(hSpooler, &status) && status.dwCurrentState == SERVICE_STOPPED; },
                  30000));
    ::CloseServiceHandle(hSpooler);
    ::CloseServiceHandle(hManager);
    PostClick(hSummary, IDOK);
    MessageBoxRecord box;
    HWND hBox = wizard.WaitForMessageBox(&box, 10000);
    REQUIRE(hBox != NULL);
    CHECK(box.text == kStartSpooler);
    AnswerMessageBox(hBox, IDYES);
    wizard.CheckEndsWell(60000);
    CheckPrinter(name.c_str(), port);
}

TEST_CASE("install road: a driver INF in the shapes Windows reads")
{
    // Several CopyFiles lines, the driver's keys in the install section, file-list lines with
    // flags, and a file copied from a package file of another name.
    std::string package = StageSample();
    std::string inf = FileText(package + "\\izov.inf");
    std::string shaped = inf.substr(0, inf.find("[IZOV.INSTALL]")) +
                         "[IZOV.INSTALL]\r\nCopyFiles=@IZOV.GPD\r\nCopyFiles=IZOV.DRIVER\r\nCopyFiles=IZOV.HELP\r\n"
                         "DriverFile=IZOVDRV.DLL\r\nConfigFile=IZOVUI.DLL\r\nHelpFile=IZOV.HLP\r\n"
                         "Include=NTPRINT.INF\r\nNeeds=UNIDRV.OEM\r\nPrintProcessor=IzovPrint,IZOVPP.DLL\r\n"
                         "DefaultData=RAW\r\n\r\n[IZOV.DRIVER]\r\nIZOVDRV.DLL,,,0x00000020\r\n"
                         "IZOVUI.DLL,IZOVUI.NEW,,0x00000020\r\n\r\n" +
                         inf.substr(inf.find("[IZOV.HELP]"));
    REQUIRE(WriteTextFile(package + "\\izov.inf", shaped));
    REQUIRE(::MoveFileA((package + "\\IZOVUI.DLL").c_str(), (package + "\\IZOVUI.NEW").c_str()));

    WizardProcess wizard;
    REQUIRE(wizard.Start(package));
    HWND hPrinter = OpenPrinterPage(wizard, true);
    REQUIRE(SelectListItem(::GetDlgItem(hPrinter, IDC_PORTS), ItemOf(hPrinter, "FILE:")));
    TypeText(hPrinter, IDC_PRINTER_NAME, "Izov Shapes");
    FinishWith(wizard, hPrinter, "Izov Shapes", "FILE:");
    CheckPrinter("Izov Shapes", "FILE:");
    // Driver, configuration, data and help file, then every file the INF copies.
    CHECK(DriverFiles("ZUV Izov") == Texts{ "IZOVDRV.DLL", "IZOVUI.DLL", "IZOV.GPD", "IZOV.HLP", "IZOV.GPD", "IZOV.HLP",
                                            "IZOVDRV.DLL", "IZOVUI.DLL" });
}

TEST_CASE("bad input: a printer name of exactly 220 characters")
{
    std::string package = StageSample();
    WizardProcess wizard;
    REQUIRE(wizard.Start(package));
    HWND hPrinter = OpenPrinterPage(wizard, true);
    REQUIRE(SelectListItem(::GetDlgItem(hPrinter, IDC_PORTS), ItemOf(hPrinter, "FILE:")));
    const std::string name = "Izov " + std::string(215, 'n');
    TypeText(hPrinter, IDC_PRINTER_NAME, name.c_str());
    FinishWith(wizard, hPrinter, name, "FILE:");
    CheckPrinter(name.c_str(), "FILE:");
}
