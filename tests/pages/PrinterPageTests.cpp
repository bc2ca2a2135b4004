// The printer page against a scripted spooler, with the monitor's port data in the registry:
// which ports it lists, when Next may be pressed, new ports, and the name checks.
#include <doctest.h>
#include "monitor/Pause.h"
#include "res/resource.h"
#include "tests/harness/Files.h"
#include "tests/harness/ListView.h"
#include "tests/harness/MessageBoxes.h"
#include "tests/harness/Pages.h"
#include "tests/harness/Process.h"
#include "tests/harness/ScriptedPlatform.h"
#include "tests/harness/Spooler.h"
#include "tests/harness/Texts.h"
#include "tests/harness/Windows.h"
#include "ui/PrinterDlg.h"
#include <string>
#include <vector>

using namespace harness;
typedef std::vector<std::string> Texts;

namespace {

const char kLocal[] = "Local Port";
const char kBlankName[] = "Please provide a printer name.\r\nCannot install a printer with a blank name.";

HWND Ports(HWND hPage)
{
    return ::GetDlgItem(hPage, IDC_PORTS);
}

// The spooler of the example: two local ports, the file port and the monitor's PX1 (USB) and
// PX2 (serial port 3), with the page's buffers and the process's directory as a run leaves them.
struct ExampleSpooler {
    ScriptedPlatform platform;
    SkippedPauses pauses;
    std::string before = CurrentDirectory();
    std::vector<std::string> registryPorts;

    ExampleSpooler()
    {
        platform.ports = { { "LPT1:", kLocal, "" }, { "COM1:", kLocal, "" }, { "FILE:", kLocal, "" },
                           { "PX2", kMonitorName, "" }, { "PX1", kMonitorName, "" } };
        SetType("PX1", 0);
        SetType("PX2", 3);
    }
    ~ExampleSpooler()
    {
        for (const std::string& port : registryPorts)
            RemoveMonitorPort(kMonitorName, port);
        ::SetCurrentDirectoryA(before.c_str());
    }
    void SetType(const std::string& port, DWORD dwType)
    {
        REQUIRE(WriteMonitorPort(kMonitorName, port, &dwType, sizeof(dwType)));
        registryPorts.push_back(port);
    }
};

} // namespace

TEST_CASE("printer page: the monitor's ports and the file port, each once, with their connections")
{
    ExampleSpooler spooler;
    ScriptedPlatform& platform = spooler.platform;
    // Listed twice, of a monitor named otherwise only by case, with a TYPE too short to read,
    // without TYPE, and enough long names to fill more than the usual list block.
    platform.ports.push_back({ "PX1", kMonitorName, "" });
    platform.ports.push_back({ "PXCASE", "ZUV Izov Language/port Monitor", "" });
    platform.ports.push_back({ "PX3", kMonitorName, "" });
    platform.ports.push_back({ "PX4", kMonitorName, "" });
    platform.ports.push_back({ std::string(260, 'L'), kMonitorName, "" });
    const WORD wShort = 2;
    REQUIRE(WriteMonitorPort(kMonitorName, "PX3", &wShort, sizeof(wShort), REG_BINARY));
    spooler.registryPorts.push_back("PX3");
    Texts longNames;
    for (char c = 'a'; c <= 'z'; ++c) {
        longNames.push_back("PY" + std::string(250, c));
        platform.ports.push_back({ longNames.back(), kMonitorName, "" });
    }

    CPrinterDlg printer;
    RunPage(printer, [&](HWND hPage) {
        Texts names = ListColumn(Ports(hPage), 0);
        Texts expected = { "FILE:", "PX1", "PX2", "PX3", "PX4" };
        expected.insert(expected.end(), longNames.begin(), longNames.end());
        CHECK(names == expected);
        Texts physical = ListColumn(Ports(hPage), 1);
        physical.resize(5);
        CHECK(physical == Texts{ "", "USB", "COM 3", "", "" });

        LVCOLUMNA column = {};
        char szHeading[64] = "";
        column.mask = LVCF_TEXT;
        column.pszText = szHeading;
        column.cchTextMax = sizeof(szHeading);
        ::SendMessageA(Ports(hPage), LVM_GETCOLUMNA, 1, (LPARAM)&column);
        CHECK(std::string(szHeading) == "Related physical port");
        Click(hPage, IDCANCEL);
    });
    // The first showing holds the first port in sorted order.
    CHECK(std::string(printer.m_pszPortName) == "FILE:");
}

TEST_CASE("printer page: Next waits for a port and a name, at every showing")
{
    ExampleSpooler spooler;
    CPrinterDlg printer;
    RunPage(printer, [&](HWND hPage) {
        HWND hPorts = Ports(hPage);
        CHECK(SelectedListItem(hPorts) == -1);
        CHECK_FALSE(IsEnabled(hPage, IDOK));
        REQUIRE(SelectListItem(hPorts, 2));
        CHECK(IsEnabled(hPage, IDOK));
        CHECK(std::string(printer.m_pszPortName) == "PX2");

        TypeText(hPage, IDC_PRINTER_NAME, "");
        CHECK_FALSE(IsEnabled(hPage, IDOK));
        REQUIRE(SelectListItem(hPorts, 1));
        CHECK_FALSE(IsEnabled(hPage, IDOK));
        TypeText(hPage, IDC_PRINTER_NAME, "Office");
        CHECK(IsEnabled(hPage, IDOK));
        Click(hPage, IDOK);
    });
    CHECK(printer.m_nResult == PAGE_NEXT);
    CHECK(printer.m_strPrinterName == "Office");
    CHECK(std::string(printer.m_pszPortName) == "PX1");

    // Back from the summary: listed afresh (a port removed meanwhile is gone), nothing selected,
    // the port chosen before still held.
    spooler.platform.ports.erase(spooler.platform.ports.begin() + 3);
    RunPage(printer, [&](HWND hPage) {
        CHECK(ListColumn(Ports(hPage), 0) == Texts{ "FILE:", "PX1" });
        CHECK(SelectedListItem(Ports(hPage)) == -1);
        CHECK_FALSE(IsEnabled(hPage, IDOK));
        Click(hPage, IDC_BACK);
    });
    CHECK(printer.m_nResult == PAGE_BACK);
    CHECK(std::string(printer.m_pszPortName) == "PX1");
}

TEST_CASE("printer page: a held port that vanished before the next showing is forgotten, and Next waits")
{
    ExampleSpooler spooler;
    CPrinterDlg printer;
    RunPage(printer, [&](HWND hPage) {
        REQUIRE(SelectListItem(Ports(hPage), 2));
        Click(hPage, IDC_BACK);
    });
    REQUIRE(std::string(printer.m_pszPortName) == "PX2");

    SUBCASE("deleted") {
        spooler.platform.ports.erase(spooler.platform.ports.begin() + 3);
    }
    SUBCASE("now another monitor's") {
        spooler.platform.ports[3].monitor = kLocal;
    }
    PageRun run = RunPage(printer, [&](HWND hPage) {
        CHECK(ListColumn(Ports(hPage), 0) == Texts{ "FILE:", "PX1" });
        CHECK(SelectedListItem(Ports(hPage)) == -1);
        CHECK_FALSE(IsEnabled(hPage, IDOK));
        Click(hPage, IDCANCEL);
    });
    CHECK(run.bScriptRan);
    CHECK(printer.m_nResult == PAGE_CANCEL);
    CHECK(std::string(printer.m_pszPortName) != "PX2");
}

TEST_CASE("printer page: New VOV Port selects the port the monitor added")
{
    MessageBoxRecorder boxes;
    ExampleSpooler spooler;
    ScriptedPlatform& platform = spooler.platform;
    platform.monitors = { { kMonitorName, "Windows NT x86", "ZADAZARE.DLL" } };
    std::string package = PathFromEnvironment("WIZARD_PACKAGE_DIR");
    REQUIRE(::SetCurrentDirectoryA(package.c_str()));
    HWND hOwner = NULL;
    std::string monitorDirectory;
    platform.whileAddingPort = [&](HWND hWnd) {
        hOwner = hWnd;
        monitorDirectory = CurrentDirectory();
        // The monitor's dialog may browse elsewhere.
        ::SetCurrentDirectoryA("C:\\windows");
    };

    // More ports than the list shows at once, the new one sorting last.
    Texts listed = { "FILE:", "PX1", "PX2" };
    for (int i = 10; i < 40; ++i) {
        listed.push_back("PY" + std::to_string(i));
        platform.ports.push_back({ listed.back(), kMonitorName, "" });
    }
    listed.push_back("PZ10");
    const int nNew = (int)listed.size() - 1;

    CPrinterDlg printer;
    RunPage(printer, [&](HWND hPage) {
        HWND hPorts = Ports(hPage);
        REQUIRE(SelectListItem(hPorts, 1));
        platform.portToAdd = "PZ10";
        Click(hPage, IDC_NEW_PORT);
        CHECK(hOwner == hPage);
        CHECK(monitorDirectory == package + "\\pxmonitor");
        CHECK(CurrentDirectory() == package);
        CHECK(ListColumn(hPorts, 0) == listed);
        CHECK(SelectedListItem(hPorts) == nNew);
        CHECK(ListItemShown(hPorts, nNew));
        CHECK_FALSE(ListItemShown(hPorts, 0));
        CHECK(std::string(printer.m_pszPortName) == "PZ10");
        CHECK(IsEnabled(hPage, IDOK));

        // The user cancels the monitor's dialog: nothing changes.
        platform.portToAdd.clear();
        Click(hPage, IDC_NEW_PORT);
        CHECK(ListColumn(hPorts, 0) == listed);
        CHECK(SelectedListItem(hPorts) == nNew);
        CHECK(CurrentDirectory() == package);

        // Without the monitor directory: the INF is named, and the list is not filled again, so
        // a port made elsewhere meanwhile does not appear.
        TempDirectory empty("no-monitor-package");
        REQUIRE(::SetCurrentDirectoryA(empty.path.c_str()));
        platform.ports.push_back({ "PX5", kMonitorName, "" });
        Click(hPage, IDC_NEW_PORT);
        CHECK(ListColumn(hPorts, 0) == listed);
        CHECK(CurrentDirectory() == empty.path);
        REQUIRE(::SetCurrentDirectoryA(package.c_str()));
        Click(hPage, IDCANCEL);
    });
    CHECK(platform.CallsTo("AddPortA") == Texts{ kMonitorName, kMonitorName });
    REQUIRE(boxes.boxes.size() == 1);
    CHECK(boxes.boxes[0].text == kNoMonitorInf);
    CHECK(boxes.boxes[0].type == (MB_OK | MB_ICONERROR));
}

TEST_CASE("printer page: the name is checked before the page closes, and handed on trimmed")
{
    MessageBoxRecorder boxes;
    ExampleSpooler spooler;
    ScriptedPlatform& platform = spooler.platform;
    platform.printers = { { "Accounts", "FILE:", "ZUV Izov", "WinPrint", "" },
                          { "Sales, East", "FILE:", "ZUV Izov", "WinPrint", "" } };
    struct Case {
        std::string name;
        const char* pszRefusal;
    };
    std::vector<Case> cases = { { "   ", kBlankName }, { "Accounts", kNameTaken }, { "Sales, East", kNameTaken } };
    for (char c : std::string("=,;\\*?/<>|\":"))
        cases.push_back({ std::string("Office") + c + "2", kIllegalName });

    CPrinterDlg printer;
    RunPage(printer, [&](HWND hPage) {
        REQUIRE(SelectListItem(Ports(hPage), 0));
        for (const Case& c : cases) {
            CAPTURE(c.name);
            size_t nBoxes = boxes.boxes.size();
            TypeText(hPage, IDC_PRINTER_NAME, c.name.c_str());
            Click(hPage, IDOK);
            REQUIRE(boxes.boxes.size() == nBoxes + 1);
            CHECK(boxes.boxes.back().text == c.pszRefusal);
            CHECK(boxes.boxes.back().caption == kCaption);
            CHECK(boxes.boxes.back().type == (MB_OK | MB_ICONERROR));
            CHECK(::IsWindowVisible(hPage));
            CHECK(::GetFocus() == ::GetDlgItem(hPage, IDC_PRINTER_NAME));
        }

        // Typed, the name stops at 220 characters.
        TypeText(hPage, IDC_PRINTER_NAME, "");
        HWND hEdit = ::GetDlgItem(hPage, IDC_PRINTER_NAME);
        for (int i = 0; i < 221; ++i)
            ::SendMessageA(hEdit, WM_CHAR, 'n', 0);
        CHECK(ControlText(hPage, IDC_PRINTER_NAME) == std::string(220, 'n'));

        TypeText(hPage, IDC_PRINTER_NAME, " Office ");
        Click(hPage, IDOK);
    });
    CHECK(printer.m_nResult == PAGE_NEXT);
    CHECK(printer.m_strPrinterName == "Office");
    CHECK(boxes.boxes.size() == cases.size());
    // Every printer that opened was closed again.
    CHECK(platform.OpenPrinterHandles() == 0);
    CHECK_FALSE(platform.ClosedUnknownPrinter());
}

TEST_CASE("printer page: a double-click on a port is Next")
{
    MessageBoxRecorder boxes;
    ExampleSpooler spooler;
    CPrinterDlg printer;
    RunPage(printer, [&](HWND hPage) {
        TypeText(hPage, IDC_PRINTER_NAME, "");
        REQUIRE(SelectListItem(Ports(hPage), 1));
        DoubleClickListItem(Ports(hPage), 1);
        REQUIRE(boxes.boxes.size() == 1);
        CHECK(boxes.boxes[0].text == kBlankName);
        CHECK(::IsWindowVisible(hPage));

        TypeText(hPage, IDC_PRINTER_NAME, "Office");
        REQUIRE(SelectListItem(Ports(hPage), 2));
        DoubleClickListItem(Ports(hPage), 2);
    });
    CHECK(printer.m_nResult == PAGE_NEXT);
    CHECK(std::string(printer.m_pszPortName) == "PX2");
    CHECK(printer.m_strPrinterName == "Office");
}
