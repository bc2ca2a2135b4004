// Driver, print processor and printer installation against a scripted spooler: the failures
// and situations the real one will not produce on demand.
#include <doctest.h>
#include "app/DriverWizardApp.h"
#include "install/PrintProcessor.h"
#include "tests/harness/Files.h"
#include "tests/harness/MessageBoxes.h"
#include "tests/harness/ScriptedPlatform.h"
#include <string>
#include <vector>

using harness::MessageBoxRecorder;
using harness::ScriptedPlatform;
typedef std::vector<std::string> Calls;

namespace {

// A package directory made current, holding empty stand-ins of the sample driver's files, and
// directories standing in for the spooler's driver and print processor directories.
struct Package {
    harness::TempDirectory package{ "scripted-package" };
    harness::TempDirectory drivers{ "scripted-drivers" };
    harness::TempDirectory processors{ "scripted-processors" };
    harness::InDirectory in{ package.path };

    explicit Package(ScriptedPlatform& platform)
    {
        for (const char* pszFile : { "IZOV.GPD", "IZOVDRV.DLL", "IZOVUI.DLL", "IZOV.HLP", "IZOVPP.DLL" })
            REQUIRE(harness::WriteTextFile(pszFile, std::string("new ") + pszFile));
        platform.driverDirectory = drivers.path;
        platform.processorDirectory = processors.path;
    }
};

} // namespace

TEST_CASE("without the printer-driver directory nothing is copied or installed, and the user is told")
{
    ScriptedPlatform platform;
    MessageBoxRecorder boxes;
    Package package(platform);
    platform.Fail("GetPrinterDriverDirectoryA", ERROR_ACCESS_DENIED);

    CDriverWizardApp app;
    CHECK_FALSE(app.InstallPrinterDriver("izov.inf", "ZUV Izov", NULL));
    REQUIRE(boxes.boxes.size() == 1);
    CHECK(boxes.boxes[0].text == harness::SystemErrorText(ERROR_ACCESS_DENIED));
    CHECK_FALSE(harness::Exists(package.drivers.path + "\\IZOVDRV.DLL"));
    CHECK(platform.CallsTo("SetupCopyOEMInfA").empty());
    CHECK(platform.CallsTo("AddPrinterDriverExA").empty());
}

TEST_CASE("the driver is registered from its description, with bare file names")
{
    ScriptedPlatform platform;
    MessageBoxRecorder boxes;
    Package package(platform);

    CDriverWizardApp app;
    REQUIRE(app.InstallPrinterDriver("izov.inf", "ZUV Izov", NULL));
    CHECK(app.m_strPrintProcessor == "IzovPrint");
    REQUIRE(platform.drivers.size() == 1);
    const ScriptedPlatform::Driver& driver = platform.drivers[0];
    CHECK(driver.name == "ZUV Izov");
    CHECK(driver.driverPath == "IZOVDRV.DLL");
    CHECK(driver.dataFile == "IZOV.GPD");
    CHECK(driver.configFile == "IZOVUI.DLL");
    CHECK(driver.helpFile == "IZOV.HLP");
    CHECK(driver.defaultDataType == "RAW");
    CHECK(driver.dependentFiles == Calls{ "IZOV.GPD", "IZOVDRV.DLL", "IZOVUI.DLL", "IZOV.HLP" });
    CHECK(driver.dwCopyFlags == APD_COPY_ALL_FILES);
    CHECK(platform.CallsTo("AddPrinterDriverExA") == Calls{ "3 ZUV Izov 4" });
    for (const char* pszFile : { "IZOV.GPD", "IZOVDRV.DLL", "IZOVUI.DLL", "IZOV.HLP" })
        CHECK(harness::Exists(package.drivers.path + "\\" + pszFile));
    CHECK(boxes.boxes.empty());
}

TEST_CASE("the print processor: installed fresh, replaced when unused, moved aside when in use")
{
    // Each situation: the processors registered, the printers, what is deleted and registered.
    struct Situation {
        const char* pszName;
        Calls registered;
        const char* pszUsedBy;  // the processor a printer uses
        Calls deleted;
        Calls after;
    };
    const Situation situations[] = {
        { "not installed yet", {}, "WinPrint", {}, { "IzovPrint" } },
        { "installed and unused", { "IzovPrint" }, "WinPrint", { "NULL IzovPrint" }, { "IzovPrint" } },
        { "installed and in use: its file moved aside, its registration kept", { "IzovPrint" }, "IzovPrint", {},
          { "IzovPrint" } },
        { "installed under a name that differs only in case", { "izovprint" }, "izovprint", {},
          { "izovprint", "IzovPrint" } },
    };
    for (const Situation& situation : situations) {
        CAPTURE(situation.pszName);
        ScriptedPlatform platform;
        MessageBoxRecorder boxes;
        Package package(platform);
        std::string installed = package.processors.path + "\\IZOVPP.DLL";
        platform.printProcessors = situation.registered;
        platform.printers = { { "Office", "FILE:", "ZUV Izov", situation.pszUsedBy, "" } };
        harness::WriteTextFile(installed, "old processor");
        // The spooler holds the file it loaded: it can be renamed, and goes when let go.
        HANDLE hHeld = ::CreateFileA(installed.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, NULL,
                                     OPEN_EXISTING, 0, NULL);
        REQUIRE(hHeld != INVALID_HANDLE_VALUE);
        bool bInUse = std::string(situation.pszUsedBy) == "IzovPrint";
        if (!bInUse)
            ::CloseHandle(hHeld);

        CHECK(InstallPrintProcessor("IzovPrint", "IZOVPP.DLL", NULL));
        CHECK(harness::FileText(installed) == "new IZOVPP.DLL");
        CHECK(harness::FilesIn(package.processors.path, "set*.tmp").size() == (bInUse ? 1u : 0u));
        if (bInUse)
            ::CloseHandle(hHeld);
        CHECK(platform.CallsTo("DeletePrintProcessorA") == situation.deleted);
        CHECK(platform.CallsTo("AddPrintProcessorA") == Calls{ "NULL IZOVPP.DLL IzovPrint" });
        CHECK(platform.printProcessors == situation.after);
        CHECK(boxes.boxes.empty());
    }
}

TEST_CASE("files of the included INF that the package lacks are taken from the driver directory, or refused")
{
    // The included INF's needed sections copy BASE1.DLL, BASE2.DLL, SECOND.DLL and THIRD.DLL.
    std::string base = harness::FileText(harness::ProgramDirectory() + "\\testbase.inf");
    REQUIRE(harness::WriteTextFile(harness::SystemInfDirectory() + "\\testbase.inf", base));
    ScriptedPlatform platform;
    MessageBoxRecorder boxes;
    Package package(platform);
    for (const char* pszFile : { "WITHDRV.DLL", "WITHPP.DLL", "BASE1.DLL" })
        REQUIRE(harness::WriteTextFile(pszFile, std::string("new ") + pszFile));
    ::CreateDirectoryA((package.drivers.path + "\\3").c_str(), NULL);
    for (const char* pszFile : { "BASE2.DLL", "3\\SECOND.DLL" })
        REQUIRE(harness::WriteTextFile(package.drivers.path + "\\" + pszFile, "installed"));

    CDriverWizardApp app;
    CHECK_FALSE(app.InstallPrinterDriver("include.inf", "With Include", NULL));
    REQUIRE(boxes.boxes.size() == 1);
    CHECK(boxes.boxes[0].text == harness::SystemErrorText(ERROR_FILE_NOT_FOUND));
    CHECK(platform.CallsTo("EnumPrintProcessorsA").empty());

    REQUIRE(harness::WriteTextFile(package.drivers.path + "\\3\\THIRD.DLL", "installed"));
    CHECK(app.InstallPrinterDriver("include.inf", "With Include", NULL));
    CHECK(harness::FileText(package.drivers.path + "\\BASE1.DLL") == "new BASE1.DLL");
    CHECK(harness::FileText(package.drivers.path + "\\BASE2.DLL") == "installed");
    ::DeleteFileA((harness::SystemInfDirectory() + "\\testbase.inf").c_str());
}

TEST_CASE("an INF without Include installs no print processor")
{
    ScriptedPlatform platform;
    MessageBoxRecorder boxes;
    Package package(platform);
    REQUIRE(harness::WriteTextFile("WITHOUTDRV.DLL", "new WITHOUTDRV.DLL"));
    CDriverWizardApp app;
    app.m_strPrintProcessor = "left from before";
    CHECK(app.InstallPrinterDriver("noinclude.inf", "Without Include", NULL));
    CHECK(app.m_strPrintProcessor.IsEmpty());
    CHECK(platform.CallsTo("EnumPrintProcessorsA").empty());
    CHECK(platform.CallsTo("AddPrintProcessorA").empty());
}

TEST_CASE("the printer is local and never shared, on the package's print processor or WinPrint")
{
    ScriptedPlatform platform;
    MessageBoxRecorder boxes;
    platform.services["lanmanserver"].dwState = SERVICE_STOPPED;
    CDriverWizardApp app;

    CHECK(app.CreatePrinter(NULL, "Office", "ZUV Izov", "FILE:", NULL, NULL, NULL));
    app.m_strPrintProcessor = "IzovPrint";
    CHECK(app.CreatePrinter(NULL, "Office 2", "ZUV Izov", "IZOV1:", NULL, NULL, NULL));
    CHECK(platform.CallsTo("AddPrinterA") ==
          Calls{ "NULL 2 Office|FILE:|ZUV Izov|WinPrint|NULL|0", "NULL 2 Office 2|IZOV1:|ZUV Izov|IzovPrint|NULL|0" });
    // Each creation leaves no handle open.
    CHECK(platform.OpenServiceHandles() == 0);
    CHECK(platform.OpenPrinterHandles() == 0);
    CHECK(boxes.boxes.empty());
}
