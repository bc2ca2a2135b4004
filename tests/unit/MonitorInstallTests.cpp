// Installing and upgrading the port monitor from a package's monitor directory, with the
// spooler scripted and the files and registry real.
#include <doctest.h>
#include "base/SystemVersion.h"
#include "monitor/MonitorInstall.h"
#include "monitor/Pause.h"
#include "tests/harness/Files.h"
#include "tests/harness/MessageBoxes.h"
#include "tests/harness/ScriptedPlatform.h"
#include "tests/harness/Spooler.h"
#include "tests/harness/Texts.h"
#include <string>
#include <vector>

using harness::kMonitorName;
using harness::MessageBoxRecorder;
using harness::ScriptedPlatform;
typedef std::vector<std::string> Calls;

namespace {

const char kTestFile[] = "MONITORTEST.TXT";

// An XP-style monitor INF that names one harmless file.
std::string XpInf(const char* pszFile)
{
    return std::string("[PortMonitors]\r\n\"") + kMonitorName + "\" = IZOVMON\r\n\r\n[SourceDisksFiles]\r\n" +
           pszFile + " = 1\r\n\r\n; end\r\n";
}

// A package directory made current for the test, restored afterwards; the test file is
// removed from the system directory again.
struct Package {
    harness::TempDirectory directory{ "monitor-package" };
    harness::InDirectory in{ directory.path };
    harness::SkippedPauses pauses;

    ~Package() { ::DeleteFileA(harness::SystemDirectoryFile(kTestFile).c_str()); }
    void AddMonitorDirectory(const std::string& infText)
    {
        REQUIRE(::CreateDirectoryA("pxmonitor", NULL));
        REQUIRE(harness::WriteTextFile("pxmonitor\\monitorxp.inf", infText));
        REQUIRE(harness::WriteTextFile(std::string("pxmonitor\\") + kTestFile, "monitor file"));
    }
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

TEST_CASE("a monitor INF that names no files installs nothing")
{
    ScriptedPlatform platform;
    MessageBoxRecorder boxes;
    Package package;
    REQUIRE(package.in.bEntered);
    package.AddMonitorDirectory("[PortMonitors]\r\n\"Mon\" = KEY\r\n");
    CHECK_FALSE(CheckMonitor(NULL));
    CHECK(platform.CallsTo("AddMonitorA").empty());
    CHECK(harness::CurrentDirectory() == package.directory.path);
}

TEST_CASE("an installed monitor that is not older than the package's is not upgraded")
{
    // The package's DLL, version 1.0.0.4, is found next to the program, as setup.exe finds it.
    for (const char* pszInstalled : { "1.0.0.10", static_cast<const char*>(NULL) }) {
        CAPTURE((pszInstalled ? pszInstalled : "no version"));
        ScriptedPlatform platform;
        MessageBoxRecorder boxes;
        Package package;
        REQUIRE(package.in.bEntered);
        package.AddMonitorDirectory(XpInf(kTestFile));
        platform.monitors = { { "Unit Test Monitor", "Windows NT x86", "ZADAZARE.DLL" } };
        harness::RegisteredMonitor installed("Unit Test Monitor", "zadazare.dll", pszInstalled);
        CHECK(CheckMonitor(NULL));
        CHECK(boxes.boxes.empty());
        CHECK(platform.CallsTo("ControlService").empty());
        CHECK_FALSE(harness::Exists(harness::SystemDirectoryFile(kTestFile)));
    }
}

TEST_CASE("on Windows Server 2003 the XP monitor INF is read by the Windows 2000 rules" * doctest::skip())
{
    REQUIRE(SystemVersion().dwMinorVersion == 2);
    ScriptedPlatform platform;
    MessageBoxRecorder boxes;
    Package package;
    REQUIRE(package.in.bEntered);

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
