// Installing and upgrading the port monitor from a package's monitor directory, with the
// spooler scripted and the files and registry real.
#include <doctest.h>
#include "base/SystemVersion.h"
#include "monitor/MonitorInstall.h"
#include "monitor/Pause.h"
#include "tests/harness/Children.h"
#include "tests/harness/Files.h"
#include "tests/harness/MessageBoxes.h"
#include "tests/harness/ScriptedPlatform.h"
#include <string>
#include <vector>

using harness::MessageBoxRecorder;
using harness::ScriptedPlatform;
typedef std::vector<std::string> Calls;

namespace {

const char kMonitorName[] = "ZUV Izov Language/Port Monitor";
const char kMonitorsKey[] = "System\\CurrentControlSet\\Control\\Print\\Monitors\\";
const char kTestFile[] = "MONITORTEST.TXT";
const char kUpgradeQuestion[] = "To install this printer driver, the newest version of the VEL VOV Language/Port "
                                "Monitor must be installed.  During this installation, the spooler on this machine "
                                "will be stopped and restarted.\n\nDo you want to proceed?";

std::string SystemFile(const char* pszName)
{
    char szSystem[MAX_PATH];
    ::GetSystemDirectoryA(szSystem, MAX_PATH);
    return std::string(szSystem) + "\\" + pszName;
}

// An XP-style monitor INF that names one harmless file.
std::string XpInf(const char* pszFile)
{
    return std::string("[PortMonitors]\r\n\"") + kMonitorName + "\" = IZOVMON\r\n\r\n[SourceDisksFiles]\r\n" +
           pszFile + " = 1\r\n\r\n; end\r\n";
}

// A package directory made current for the test, restored afterwards; the test file is
// removed from the system directory again. (No assertions here: child processes use it.)
struct Package {
    char szBefore[MAX_PATH];
    harness::TempDirectory directory;
    harness::SkippedPauses pauses;
    bool bEntered;

    Package() : directory("monitor-package")
    {
        ::GetCurrentDirectoryA(MAX_PATH, szBefore);
        bEntered = ::SetCurrentDirectoryA(directory.path.c_str()) != FALSE;
    }
    ~Package()
    {
        ::SetCurrentDirectoryA(szBefore);
        ::DeleteFileA(SystemFile(kTestFile).c_str());
    }
    void AddMonitorDirectory(const std::string& infText, const char* pszInfName = "monitorxp.inf")
    {
        ::CreateDirectoryA("pxmonitor", NULL);
        harness::WriteTextFile(std::string("pxmonitor\\") + pszInfName, infText);
        harness::WriteTextFile(std::string("pxmonitor\\") + kTestFile, "monitor file");
    }
};

// A monitor the registry knows, as the spooler records it, for as long as the object lives.
struct InstalledMonitor {
    std::string key;
    InstalledMonitor(const char* pszName, const char* pszDriver, const char* pszVersion)
        : key(std::string(kMonitorsKey) + pszName)
    {
        HKEY hKey;
        if (::RegCreateKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, NULL, 0, KEY_ALL_ACCESS, NULL, &hKey, NULL) !=
            ERROR_SUCCESS)
            return;
        ::RegSetValueExA(hKey, "Driver", 0, REG_SZ, (const BYTE*)pszDriver, lstrlenA(pszDriver) + 1);
        if (pszVersion != NULL)
            ::RegSetValueExA(hKey, "Version", 0, REG_SZ, (const BYTE*)pszVersion, lstrlenA(pszVersion) + 1);
        ::RegCloseKey(hKey);
    }
    ~InstalledMonitor() { ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, key.c_str()); }
};

} // namespace

TEST_CASE("versions of dot-separated numbers compare number by number, others as text")
{
    CHECK(IsOlderVersion("1.0.0.3", "1.0.0.4"));
    CHECK_FALSE(IsOlderVersion("1.0.0.4", "1.0.0.4"));
    CHECK_FALSE(IsOlderVersion("1.0.0.10", "1.0.0.9"));
    CHECK(IsOlderVersion("1.0.0.9", "1.0.0.10"));
    CHECK(IsOlderVersion("2.0", "10.0"));
    CHECK_FALSE(IsOlderVersion("1.0", "1.0.0"));
    CHECK(IsOlderVersion("1.0", "1.0.1"));
    CHECK_FALSE(IsOlderVersion("01.2", "1.2"));
    CHECK(IsOlderVersion("99999999999999999999.1", "99999999999999999999.2"));
    // Anything else orders as text, byte by byte.
    CHECK(IsOlderVersion("1.10b", "1.9b"));
    CHECK_FALSE(IsOlderVersion("2.0 beta", "10.0"));
    CHECK(IsOlderVersion("", "1.0"));
    CHECK_FALSE(IsOlderVersion("1..0", "1..0"));
    CHECK(IsOlderVersion("1.0.", "1.0.1"));
}

TEST_CASE("a package without a monitor directory: the INF named in a message, and no printer page")
{
    ScriptedPlatform platform;
    MessageBoxRecorder boxes;
    Package package;
    REQUIRE(package.bEntered);
    CHECK_FALSE(CheckMonitor(NULL));
    REQUIRE(boxes.boxes.size() == 1);
    CHECK(boxes.boxes[0].text == "Unable to open file: monitorxp.inf.\nInstallation aborted.");
    CHECK(boxes.boxes[0].type == (MB_OK | MB_ICONERROR));
    CHECK(platform.CallsTo("AddMonitorA").empty());
}

TEST_CASE("a monitor INF that names no files installs nothing")
{
    ScriptedPlatform platform;
    MessageBoxRecorder boxes;
    Package package;
    REQUIRE(package.bEntered);
    package.AddMonitorDirectory("[PortMonitors]\r\n\"Mon\" = KEY\r\n");
    char szBefore[MAX_PATH];
    ::GetCurrentDirectoryA(MAX_PATH, szBefore);
    CHECK_FALSE(CheckMonitor(NULL));
    CHECK(platform.CallsTo("AddMonitorA").empty());
    char szAfter[MAX_PATH];
    ::GetCurrentDirectoryA(MAX_PATH, szAfter);
    CHECK(std::string(szAfter) == szBefore);
}

TEST_CASE("a monitor the spooler does not know is copied to the system directory and registered")
{
    ScriptedPlatform platform;
    MessageBoxRecorder boxes;
    Package package;
    REQUIRE(package.bEntered);
    package.AddMonitorDirectory(XpInf(kTestFile));

    CHECK(CheckMonitor(NULL));
    CHECK(platform.CallsTo("AddMonitorA") == Calls{ std::string("2 ") + kMonitorName + "|NULL|ZADAZARE.DLL" });
    CHECK(::GetFileAttributesA(SystemFile(kTestFile).c_str()) != INVALID_FILE_ATTRIBUTES);
    CHECK(boxes.boxes.empty());
}

TEST_CASE("a monitor installed under another name is not installed again")
{
    ScriptedPlatform platform;
    MessageBoxRecorder boxes;
    Package package;
    REQUIRE(package.bEntered);
    package.AddMonitorDirectory(XpInf(kTestFile));
    platform.monitors = { { "Older Izov Monitor", "Windows NT x86", "zadazare.dll" } };
    CHECK(CheckMonitor(NULL));
    CHECK(platform.CallsTo("AddMonitorA").empty());
    CHECK(boxes.boxes.empty());
}

TEST_CASE("an older installed monitor is upgraded when the user agrees")
{
    // The package's DLL, version 1.0.0.4, is found next to the program, as setup.exe finds it.
    ScriptedPlatform platform;
    MessageBoxRecorder boxes;
    Package package;
    REQUIRE(package.bEntered);
    package.AddMonitorDirectory(XpInf(kTestFile));
    platform.monitors = { { "Unit Test Monitor", "Windows NT x86", "ZADAZARE.DLL" } };
    platform.services["Fax"].dependsOn = { "Spooler" };

    SUBCASE("installed 1.0.0.3: the question, then stop, copy and restart") {
        InstalledMonitor installed("Unit Test Monitor", "ZADAZARE.DLL", "1.0.0.3");
        boxes.Answer(IDYES);
        CHECK(CheckMonitor(NULL));
        REQUIRE(boxes.boxes.size() == 1);
        CHECK(boxes.boxes[0].text == kUpgradeQuestion);
        CHECK(boxes.boxes[0].type == (MB_YESNO | MB_ICONQUESTION));
        CHECK(platform.CallsTo("StartServiceA") == Calls{ "Spooler", "Fax" });
        CHECK(::GetFileAttributesA(SystemFile(kTestFile).c_str()) != INVALID_FILE_ATTRIBUTES);
    }
    SUBCASE("declined: nothing is stopped or copied") {
        InstalledMonitor installed("Unit Test Monitor", "ZADAZARE.DLL", "1.0.0.3");
        boxes.Answer(IDNO);
        CHECK(CheckMonitor(NULL));
        REQUIRE(boxes.boxes.size() == 1);
        CHECK(boxes.boxes[0].text == kUpgradeQuestion);
        CHECK(platform.CallsTo("ControlService").empty());
        CHECK(::GetFileAttributesA(SystemFile(kTestFile).c_str()) == INVALID_FILE_ATTRIBUTES);
    }
    SUBCASE("installed 1.0.0.10 is newer than the package's 1.0.0.4") {
        InstalledMonitor installed("Unit Test Monitor", "zadazare.dll", "1.0.0.10");
        CHECK(CheckMonitor(NULL));
        CHECK(boxes.boxes.empty());
    }
    SUBCASE("no installed version to compare: no upgrade") {
        InstalledMonitor installed("Unit Test Monitor", "ZADAZARE.DLL", NULL);
        CHECK(CheckMonitor(NULL));
        CHECK(boxes.boxes.empty());
    }
}

TEST_CHILD(restart_fails_after_upgrade)
{
    ScriptedPlatform platform;
    MessageBoxRecorder boxes;
    Package package;
    package.AddMonitorDirectory(XpInf(kTestFile));
    platform.monitors = { { "Unit Test Monitor", "Windows NT x86", "ZADAZARE.DLL" } };
    InstalledMonitor installed("Unit Test Monitor", "ZADAZARE.DLL", "1.0.0.3");
    boxes.Answer(IDYES);
    platform.Fail("StartServiceA Spooler", ERROR_SERVICE_DISABLED);
    CheckMonitor(NULL);
    return 7;  // not reached: the program ends with exit code 0
}

TEST_CASE("a spooler that cannot be restarted after an upgrade ends the program")
{
    harness::RecordedBoxes childBoxes;
    CHECK(harness::RunChildProcess("restart_fails_after_upgrade", &childBoxes) == 0);
    REQUIRE(childBoxes.size() == 2);
    CHECK(childBoxes[0].text == kUpgradeQuestion);
    CHECK(childBoxes[1].text == "Unable to restart spooler: " + harness::SystemErrorText(ERROR_SERVICE_DISABLED));
    CHECK(childBoxes[1].type == (MB_OK | MB_ICONERROR));
    ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, (std::string(kMonitorsKey) + "Unit Test Monitor").c_str());
    ::DeleteFileA(SystemFile(kTestFile).c_str());
}

TEST_CASE("on Windows Server 2003 the XP monitor INF is read by the Windows 2000 rules" * doctest::skip())
{
    REQUIRE(SystemVersion().dwMinorVersion == 2);
    ScriptedPlatform platform;
    MessageBoxRecorder boxes;
    Package package;
    REQUIRE(package.bEntered);

    SUBCASE("laid out for Windows XP: no files") {
        package.AddMonitorDirectory(XpInf(kTestFile));
        CHECK_FALSE(CheckMonitor(NULL));
        CHECK(platform.CallsTo("AddMonitorA").empty());
    }
    SUBCASE("laid out for Windows 2000 under the XP name: installed") {
        package.AddMonitorDirectory(std::string("[Options]\r\n\"") + kMonitorName + "\" = IZOVMON\r\n[Files-IZOVMON]\r\n2," +
                                    kTestFile + " , x\r\n[Monitor-IZOVMON]\r\n2,ZADAZARE.DLL,x\r\n");
        CHECK(CheckMonitor(NULL));
        CHECK(platform.CallsTo("AddMonitorA") == Calls{ std::string("2 ") + kMonitorName + "|NULL|ZADAZARE.DLL" });
    }
}
