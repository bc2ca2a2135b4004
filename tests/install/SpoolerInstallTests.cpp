// Driver, print processor and printer installation, the package copy and the shell actions,
// against the real spooler and shell of this test's own Wine prefix.
#include <doctest.h>
#include "app/DriverWizardApp.h"
#include "app/Staging.h"
#include "install/PrintProcessor.h"
#include "tests/harness/Files.h"
#include "tests/harness/MessageBoxes.h"
#include "tests/harness/Process.h"
#include "tests/harness/Spooler.h"
#include "tests/harness/Texts.h"
#include "tests/harness/Windows.h"
#include <winspool.h>
#include <stdio.h>
#include <algorithm>
#include <set>
#include <string>
#include <vector>

using namespace harness;
typedef std::vector<std::string> Names;

namespace {

const char kDriver[] = "ZUV Izov";

// The sample package staged anew and made the current directory, as setup.exe runs in it.
struct StagedPackage {
    std::string path;
    InDirectory in;

    explicit StagedPackage(const char* pszName) : path(WizardProcess::StagePackage(pszName)), in(path)
    {
        REQUIRE_MESSAGE(in.bEntered, "the sample package could not be staged");
    }
    std::string File(const char* pszName) const { return path + "\\" + pszName; }
};

std::string DriverDirectory()
{
    char szDirectory[MAX_PATH];
    DWORD cbNeeded = 0;
    ::GetPrinterDriverDirectoryA(NULL, NULL, 1, (LPBYTE)szDirectory, sizeof(szDirectory), &cbNeeded);
    return szDirectory;
}

std::string ProcessorDirectory()
{
    char szDirectory[MAX_PATH];
    DWORD cbNeeded = 0;
    ::GetPrintProcessorDirectoryA(NULL, NULL, 1, (LPBYTE)szDirectory, sizeof(szDirectory), &cbNeeded);
    return szDirectory;
}

// The spooler's environment and directories of this test program's own architecture: the
// product's under 32-bit Wine, the x86_64 build's under 64-bit Wine.
#ifdef _WIN64
const char kEnvironment[] = "Windows x64";
const char kArchitectureDirectory[] = "\\x64";
#else
const char kEnvironment[] = "Windows NT x86";
const char kArchitectureDirectory[] = "\\w32x86";
#endif

bool EndsWithNoCase(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && lstrcmpiA(text.c_str() + text.size() - end.size(), end.c_str()) == 0;
}

} // namespace

TEST_CASE("the sample driver: files copied, driver and print processor registered, INF kept")
{
    MessageBoxRecorder boxes;
    StagedPackage package("driver-package");
    REQUIRE(Exists(package.File("setup.exe")));
    CDriverWizardApp app;

    REQUIRE(app.InstallPrinterDriver("izov.inf", kDriver, NULL));
    CHECK(boxes.boxes.empty());
    CHECK(DriverEnvironments(kDriver) == Names{ kEnvironment });
    CHECK(EndsWithNoCase(DriverDirectory(), kArchitectureDirectory));
    CHECK(EndsWithNoCase(ProcessorDirectory(), kArchitectureDirectory));
    for (const char* pszFile : { "IZOVDRV.DLL", "IZOVUI.DLL", "IZOV.GPD", "IZOV.HLP" })
        CHECK(Exists(DriverDirectory() + "\\3\\" + pszFile));
    CHECK(app.m_strPrintProcessor == "IzovPrint");
    CHECK(IsPrintProcessorInstalled("IzovPrint"));
    CHECK(Exists(ProcessorDirectory() + "\\IZOVPP.DLL"));
    // With its catalog, the system's own call keeps the INF among its OEM INF files.
    CHECK(FileText(SystemInfDirectory() + "\\izov.inf") == FileText(package.File("izov.inf")));

    Names infs = FilesIn(SystemInfDirectory(), "*.inf");
    REQUIRE(app.InstallPrinterDriver("izov.inf", kDriver, NULL));
    CHECK(FilesIn(SystemInfDirectory(), "*.inf") == infs);
    CHECK(IsDriverInstalled(kDriver));
}

TEST_CASE("without its catalog the INF gets an OEM copy: one per content, under the lowest free number")
{
    MessageBoxRecorder boxes;
    StagedPackage package("oem-package");
    ::DeleteFileA(package.File("izov.cat").c_str());
    CDriverWizardApp app;
    REQUIRE(FilesIn(SystemInfDirectory(), "OEM*.inf").empty());

    SUBCASE("a first copy is OEM0.inf, a second run writes none, a changed byte writes OEM1.inf") {
        REQUIRE(app.InstallPrinterDriver("izov.inf", kDriver, NULL));
        CHECK(FilesIn(SystemInfDirectory(), "OEM*.inf") == Names{ "OEM0.inf" });
        CHECK(FileText(SystemInfDirectory() + "\\OEM0.inf") == FileText(package.File("izov.inf")));
        REQUIRE(app.InstallPrinterDriver("izov.inf", kDriver, NULL));
        CHECK(FilesIn(SystemInfDirectory(), "OEM*.inf") == Names{ "OEM0.inf" });

        std::string changed = FileText(package.File("izov.inf"));
        changed[changed.find("ZUV Izov printer driver")] = 'z';
        REQUIRE(WriteTextFile(package.File("izov.inf"), changed));
        REQUIRE(app.InstallPrinterDriver("izov.inf", kDriver, NULL));
        CHECK(FilesIn(SystemInfDirectory(), "OEM*.inf") == Names{ "OEM0.inf", "OEM1.inf" });
        CHECK(FileText(SystemInfDirectory() + "\\OEM1.inf") == changed);

        // An identical copy is found under any number.
        REQUIRE(app.InstallPrinterDriver("izov.inf", kDriver, NULL));
        CHECK(FilesIn(SystemInfDirectory(), "OEM*.inf").size() == 2);
    }
    SUBCASE("a catalog named but empty takes the same road; a read-only INF's copy is writable") {
        REQUIRE(WriteTextFile(package.File("izov.cat"), ""));
        ::SetFileAttributesA(package.File("izov.inf").c_str(), FILE_ATTRIBUTE_READONLY);
        REQUIRE(app.InstallPrinterDriver("izov.inf", kDriver, NULL));
        REQUIRE(FilesIn(SystemInfDirectory(), "OEM*.inf") == Names{ "OEM0.inf" });
        DWORD dwAttributes = ::GetFileAttributesA((SystemInfDirectory() + "\\OEM0.inf").c_str());
        CHECK((dwAttributes & FILE_ATTRIBUTE_READONLY) == 0);
        ::SetFileAttributesA(package.File("izov.inf").c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    SUBCASE("an INF stored in UTF-16 is found identical to its earlier copy") {
        std::string text = FileText(package.File("izov.inf"));
        std::string utf16 = "\xFF\xFE";
        for (char ch : text) {
            utf16 += ch;
            utf16 += '\0';
        }
        ProgramFile programInf("izov16.inf", utf16);
        REQUIRE(WriteTextFile(package.File("izov16.inf"), utf16));
        REQUIRE(app.InstallPrinterDriver("izov16.inf", kDriver, NULL));
        REQUIRE(app.InstallPrinterDriver("izov16.inf", kDriver, NULL));
        CHECK(FilesIn(SystemInfDirectory(), "OEM*.inf") == Names{ "OEM0.inf" });
    }
    for (const std::string& name : FilesIn(SystemInfDirectory(), "OEM*.inf"))
        ::DeleteFileA((SystemInfDirectory() + "\\" + name).c_str());
    CHECK(boxes.boxes.empty());
}

TEST_CASE("an empty INF name installs nothing and reports the refusal of a driver without its files")
{
    MessageBoxRecorder boxes;
    StagedPackage package("empty-package");
    Names infs = FilesIn(SystemInfDirectory(), "*.inf");
    CDriverWizardApp app;
    CHECK_FALSE(app.InstallPrinterDriver("", "Nameless Driver", NULL));
    CHECK(FilesIn(SystemInfDirectory(), "*.inf") == infs);
    REQUIRE(boxes.boxes.size() == 1);
    CHECK(boxes.boxes[0].text == SystemErrorText(ERROR_INVALID_PARAMETER));
    CHECK(boxes.boxes[0].caption == kErrorCaption);
    CHECK(boxes.boxes[0].type == (MB_OK | MB_ICONERROR));
    CHECK_FALSE(IsDriverInstalled("Nameless Driver"));
}

TEST_CASE("printers on the file port and on the package monitor's port, never shared")
{
    MessageBoxRecorder boxes;
    StagedPackage package("printer-package");
    REQUIRE(StartSpoolerService());
    REQUIRE(InstallPackageMonitor(package.path, kMonitorName));
    const DWORD dwUsb = 0;
    REQUIRE(WriteMonitorPort(kMonitorName, "IZOV1:", &dwUsb, sizeof(dwUsb)));

    CDriverWizardApp app;
    REQUIRE(app.InstallPrinterDriver("izov.inf", kDriver, NULL));
    REQUIRE(app.CreatePrinter(NULL, "Izov on file", kDriver, "FILE:", NULL, NULL, NULL));
    app.m_strPrintProcessor.Empty();
    REQUIRE(app.CreatePrinter(NULL, "Izov on port", kDriver, "IZOV1:", NULL, NULL, NULL));
    CHECK(boxes.boxes.empty());

    PrinterFacts onFile = Printer("Izov on file");
    REQUIRE(onFile.bFound);
    CHECK(onFile.port == "FILE:");
    CHECK(onFile.driver == kDriver);
    CHECK(onFile.processor == "IzovPrint");
    CHECK(onFile.share.empty());
    CHECK((onFile.dwAttributes & PRINTER_ATTRIBUTE_SHARED) == 0);

    PrinterFacts onPort = Printer("Izov on port");
    REQUIRE(onPort.bFound);
    CHECK(onPort.port == "IZOV1:");
    CHECK(onPort.processor == "WinPrint");
    CHECK((onPort.dwAttributes & PRINTER_ATTRIBUTE_SHARED) == 0);

    // A port list longer than the first read of it takes (some 24 KB): its ports are known too.
    std::vector<std::string> longList;
    for (int i = 0; i < 1500; ++i) {
        char szPort[16];
        sprintf(szPort, "IZOVL%04d:", i);
        longList.push_back(szPort);
        REQUIRE(WriteMonitorPort(kMonitorName, szPort, &dwUsb, sizeof(dwUsb)));
    }
    CHECK(app.CreatePrinter(NULL, "Izov far down", kDriver, longList.back().c_str(), NULL, NULL, NULL));
    CHECK(Printer("Izov far down").port == longList.back());
    CHECK(boxes.boxes.empty());
    for (const std::string& port : longList)
        RemoveMonitorPort(kMonitorName, port);

    SUBCASE("the print processor in use: its file moved aside, its registration kept") {
        std::string installed = ProcessorDirectory() + "\\IZOVPP.DLL";
        REQUIRE(WriteTextFile(installed, "the loaded, older processor"));
        HANDLE hHeld = ::CreateFileA(installed.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, NULL,
                                     OPEN_EXISTING, 0, NULL);
        REQUIRE(hHeld != INVALID_HANDLE_VALUE);
        InstallPrintProcessor("IzovPrint", "IZOVPP.DLL", NULL);
        CHECK(FilesIn(ProcessorDirectory(), "set*.tmp").size() == 1);
        ::CloseHandle(hHeld);
        CHECK(FileText(installed) == FileText(package.File("IZOVPP.DLL")));
        CHECK(IsPrintProcessorInstalled("IzovPrint"));
    }
}

TEST_CASE("the API library goes to the system directory")
{
    StagedPackage package("api-package");
    ::DeleteFileA(SystemDirectoryFile("DEROvurEZA.DLL").c_str());
    CopyApiDll();
    CHECK(FileText(SystemDirectoryFile("DEROvurEZA.DLL")) == FileText(package.File("DEROvurEZA.DLL")));

    // From a directory whose path leaves no room for the name, the shell would skip it unsaid.
    std::string deep = "C:\\" + std::string(243, 'd');
    REQUIRE(::CreateDirectoryA(deep.c_str(), NULL));
    InDirectory in(deep);
    REQUIRE(WriteTextFile("DEROvurEZA.DLL", "from too deep"));
    MessageBoxRecorder boxes;
    CopyApiDll();
    REQUIRE(boxes.boxes.size() == 1);
    CHECK(boxes.boxes[0].text == SystemErrorText(ERROR_FILENAME_EXCED_RANGE));
}

TEST_CASE("the copy task copies the package's files and its monitor's, nothing else, replacing what is there")
{
    MessageBoxRecorder boxes;
    StagedPackage package("copy-package");
    ::CreateDirectoryA(package.File("extra").c_str(), NULL);
    WriteTextFile(package.File("extra\\inner.txt"), "not copied");
    TempDirectory destination("copy-destination");
    WriteTextFile(destination.path + "\\readme.txt", "an older readme");

    SUBCASE("with the monitor directory") {
        CopyPackage((destination.path + "\\.").c_str());
        CHECK(FilesIn(destination.path) == FilesIn(package.path));
        CHECK(FilesIn(destination.path + "\\pxmonitor") == FilesIn(package.File("pxmonitor")));
        CHECK(FileText(destination.path + "\\readme.txt") == FileText(package.File("readme.txt")));
        CHECK_FALSE(Exists(destination.path + "\\extra"));
    }
    SUBCASE("without it: the top-level files only, and no message") {
        for (const std::string& name : FilesIn(package.File("pxmonitor")))
            ::DeleteFileA((package.File("pxmonitor") + "\\" + name).c_str());
        REQUIRE(::RemoveDirectoryA(package.File("pxmonitor").c_str()));
        CopyPackage((destination.path + "\\.").c_str());
        CHECK(FilesIn(destination.path) == FilesIn(package.path));
        CHECK_FALSE(Exists(destination.path + "\\pxmonitor"));
    }
    SUBCASE("into a destination that does not exist yet") {
        std::string nested = destination.path + "\\new\\deeper";
        CopyPackage((nested + "\\.").c_str());
        CHECK(FilesIn(nested) == FilesIn(package.path));
    }
    CHECK(boxes.boxes.empty());
    char szCurrent[MAX_PATH];
    ::GetCurrentDirectoryA(MAX_PATH, szCurrent);
    CHECK(std::string(szCurrent) == package.path);
}

TEST_CASE("the shell opens the Printers folder and the destination, nothing for no path, without holding up the wizard")
{
    TempDirectory destination("opened-destination");
    // Each opens in a shell process of its own; the Printers folder's often shows no window and
    // ends soon: what the shell was asked to open is read from the time of the first call on.
    FILETIME start = ProcessClock();
    std::set<std::string> opened;
    auto OpenedSoFar = [&] {
        for (const std::string& arguments : ProcessesNamed("explorer.exe", &start))
            opened.insert(arguments);
        return opened;
    };
    OpenWithShell("");
    OpenWithShell(NULL);
    DWORD dwStart = ::GetTickCount();
    OpenPrintersFolder();
    CHECK(::GetTickCount() - dwStart < 10000);
    WaitFor([&] { return OpenedSoFar().count(kPrintersFolder) > 0; }, 10000);
    dwStart = ::GetTickCount();
    OpenWithShell(destination.path.c_str());
    CHECK(::GetTickCount() - dwStart < 10000);
    WaitFor([&] { return ::FindWindowA("ExplorerWClass", "opened-destination") != NULL; }, 10000);
    CHECK(OpenedSoFar() == std::set<std::string>{ kPrintersFolder, "\"" + destination.path + "\"" });
    std::vector<std::string> titles = CloseWindowsOfClass("ExplorerWClass", 0);
    CHECK(std::count(titles.begin(), titles.end(), "opened-destination") == 1);
}
