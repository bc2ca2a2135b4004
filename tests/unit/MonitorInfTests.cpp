// Reading the port monitor's INF as text, by the rules of Windows XP and of Windows 2000.
#include <doctest.h>
#include "base/Buffers.h"
#include "monitor/MonitorInf.h"
#include "monitor/MonitorInfText.h"
#include "tests/harness/CodePage.h"
#include "tests/harness/Files.h"
#include "tests/harness/MessageBoxes.h"
#include "tests/harness/Process.h"
#include <string.h>
#include <string>
#include <vector>

namespace {

typedef std::vector<std::string> Names;

// Lines joined with CR LF, as the monitor INFs are written.
std::string Lines(std::initializer_list<const char*> lines)
{
    std::string text;
    for (const char* psz : lines)
        text += std::string(psz) + "\r\n";
    return text;
}

MonitorInfFields Fields(const std::string& text, bool bXpRules)
{
    MonitorInfFields fields;
    ReadMonitorInfText(text.c_str(), bXpRules, &fields);
    for (const char* pszField : { fields.szMonitorName, fields.szMonitorKey, fields.szDllName })
        CHECK(strlen(pszField) < MONITOR_FIELD_SIZE);
    return fields;
}

// What the rules read, as one line: "name, key, DLL: file file".
std::string Read(const std::string& text, bool bXpRules)
{
    MonitorInfFields fields = Fields(text, bXpRules);
    std::string read = std::string(fields.szMonitorName) + ", " + fields.szMonitorKey + ", " + fields.szDllName + ":";
    for (const std::string& name : harness::NamesOfList(fields.fileList))
        read += " " + name;
    return read;
}

std::string PackageMonitorInf(const char* pszName)
{
    std::string text;
    REQUIRE(harness::ReadTextFile(harness::PathFromEnvironment("WIZARD_PACKAGE_DIR") + "\\pxmonitor\\" + pszName,
                                  text));
    return text;
}

} // namespace

TEST_CASE("the package's monitor INFs read by their rules")
{
    const char kRead[] = "ZUV Izov Language/Port Monitor, IZOVMON, ZADAZARE.DLL: ZADAZARE.DLL ZADAZARE.HLP";
    CHECK(Read(PackageMonitorInf("monitorxp.inf"), true) == kRead);
    CHECK(Read(PackageMonitorInf("monitor.inf"), false) == kRead);
    // Windows Server 2003 reads the XP INF by the Windows 2000 rules, so it carries both layouts;
    // the Windows 2000 INF read by the XP rules yields nothing.
    CHECK(Read(PackageMonitorInf("monitorxp.inf"), false) == kRead);
    CHECK(Read(PackageMonitorInf("monitor.inf"), true) == ", , ZADAZARE.DLL:");
}

TEST_CASE("Windows XP rule: entries up to the first comment, each cut at its first blank")
{
    // The comment directly after the last entry: that entry is still read.
    CHECK(Read(Lines({ "[PortMonitors]", "\"Mon\" =    KEY  ", "[SourceDisksFiles]", "FIRST.DLL=1", "SECOND.DLL   = 1",
                       "THIRD.DLL = 1", "; comment", "[Strings]" }),
               true) == "Mon, KEY  , ZADAZARE.DLL: FIRST.DLL SECOND.DLL THIRD.DLL");
    // No comment after the entries: none; the DLL is always the package's.
    CHECK(Read(Lines({ "[PortMonitors]", "\"Mon\" = KEY", "[SourceDisksFiles]", "FIRST.DLL = 1" }), true) ==
          "Mon, KEY, ZADAZARE.DLL:");
    CHECK(Read(Lines({ "[PortMonitors]", "\"Mon\" = KEY", "[KEY]", "PortMonitorDll=OTHER.DLL" }), true) ==
          "Mon, KEY, ZADAZARE.DLL:");
}

TEST_CASE("Windows 2000 rule: the key's file section, and the DLL of the section after it")
{
    const std::string options = Lines({ "[Options]", "\"Mon\"= KEY", "[Files-KEY]" });
    CHECK(Read(options + Lines({ "2,ONE.DLL , a", "2,TWO.DLL , b", "[Monitor-KEY]", "\"Mon\", 2,MON.DLL,KEY",
                                 "2,NOT.DLL , c" }),
               false) == "Mon, KEY, MON.DLL: ONE.DLL TWO.DLL");
    // An entry with no blank before its line's end does not swallow the entries after it.
    CHECK(Read(options + Lines({ "2,ONE.DLL", "2,TWO.DLL", "2,THREE.DLL , c", "[Monitor-KEY]",
                                 "\"Mon\", 2,MON.DLL,KEY" }),
               false) == "Mon, KEY, MON.DLL: ONE.DLL TWO.DLL THREE.DLL");
    // The key's section last in the file: it runs to the end, and there is no DLL after it. Its
    // last entry ends at its line's end, or at the text's end, like any other.
    std::string last = options + Lines({ "2,ONE.DLL , a", "2,TWO.DLL" });
    CHECK(Read(last, false) == "Mon, KEY, : ONE.DLL TWO.DLL");
    CHECK(Read(last.substr(0, last.size() - 2), false) == "Mon, KEY, : ONE.DLL TWO.DLL");
    // A name whose character's second byte is '[' does not end the section (run in every code page).
    CHECK(Read(options + harness::InCodePage(L"2,ゼ1.DLL\r\n2,X.HLP\r\n[Dll]\r\n2,MON.DLL,x\r\n"), false) ==
          harness::InCodePage(L"Mon, KEY, MON.DLL: ゼ1.DLL X.HLP"));
}

TEST_CASE("what the text lacks stays empty, and nothing is written past a field or the list")
{
    for (bool bXp : { true, false }) {
        CAPTURE(bXp);
        for (const char* pszText : { "", "[PortMonitors]\r\n[Options]\r\n\"unclosed", "[Options]\r\n\"Mon\"",
                                     "[Options]\r\n\"Mon\" = KEY", "[PortMonitors]\r\n\"Mon\" =", "\"\"=\r\n" }) {
            CAPTURE(pszText);
            CHECK(Fields(pszText, bXp).fileList[0] == '\0');
        }
    }

    std::string longName(400, 'N');
    CHECK(Read(Lines({ "[Options]", ("\"" + longName + "\" = KEY").c_str(), "[Files-KEY]",
                       ("2," + longName + " , x").c_str(), "2,SHORT.DLL , y", "[Next]",
                       ("2," + longName + ",").c_str() }),
               false) == ", KEY, : SHORT.DLL");

    // 1000 entries of 12 characters do not fit 6500 bytes: the list ends after a whole name.
    std::string many = "[PortMonitors]\r\n\"Mon\" = KEY\r\n[SourceDisksFiles]\r\n";
    char szLine[32];
    for (int i = 0; i < 1000; ++i) {
        sprintf(szLine, "FILE%04d.DLL = 1\r\n", i);
        many += szLine;
    }
    many += "\r\n; end\r\n";
    Names names = harness::NamesOfList(Fields(many, true).fileList);
    size_t cb = 0;
    for (const std::string& name : names)
        cb += name.size() + 1;
    CHECK(names.size() == 6499 / 13);
    CHECK(cb < MONITOR_FILE_LIST_SIZE);
    CHECK(names.back() == "FILE0498.DLL");
}

TEST_CASE("a monitor INF is read from the current directory, and only its first 26000 bytes")
{
    harness::TempDirectory directory("monitor-inf");
    harness::InDirectory in(directory.path);
    REQUIRE(in.bEntered);

    // This test program runs on Windows XP: the XP rules apply.
    REQUIRE(UsesXpMonitorRules());
    harness::WriteTextFile("monitorxp.inf", PackageMonitorInf("monitorxp.inf"));
    {
        MonitorInf inf("monitorxp.inf");
        CHECK(std::string(inf.m_pszMonitorName) == "ZUV Izov Language/Port Monitor");
        CHECK(harness::NamesOfList(inf.m_pszFileList) == Names{ "ZADAZARE.DLL", "ZADAZARE.HLP" });
    }

    std::string padded = std::string(30000, ';') + "\r\n" + PackageMonitorInf("monitorxp.inf");
    harness::WriteTextFile("padded.inf", padded);
    {
        MonitorInf inf("padded.inf");
        CHECK(inf.m_pszFileList[0] == '\0');
        CHECK(std::string(inf.m_pszMonitorName).empty());
    }

    harness::MessageBoxRecorder boxes;
    {
        MonitorInf inf("missing.inf");
        CHECK(inf.m_pszFileList[0] == '\0');
    }
    REQUIRE(boxes.boxes.size() == 1);
    CHECK(boxes.boxes[0].text == "Unable to open file: missing.inf.\nInstallation aborted.");
    CHECK(boxes.boxes[0].caption == "ZUV Izov Printer Software Wizard");
    CHECK(boxes.boxes[0].type == (MB_OK | MB_ICONERROR));
}
