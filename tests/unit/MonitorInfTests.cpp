// Reading the port monitor's INF as text, by the rules of Windows XP and of Windows 2000.
#include <doctest.h>
#include "base/Buffers.h"
#include "monitor/MonitorInf.h"
#include "monitor/MonitorInfText.h"
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

MonitorInfFields Read(const std::string& text, bool bXpRules)
{
    MonitorInfFields fields;
    ReadMonitorInfText(text.c_str(), bXpRules, &fields);
    return fields;
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
    MonitorInfFields xp = Read(PackageMonitorInf("monitorxp.inf"), true);
    CHECK(std::string(xp.szMonitorName) == "ZUV Izov Language/Port Monitor");
    CHECK(std::string(xp.szMonitorKey) == "IZOVMON");
    CHECK(std::string(xp.szDllName) == "ZADAZARE.DLL");
    CHECK(harness::NamesOfList(xp.fileList) == Names{ "ZADAZARE.DLL", "ZADAZARE.HLP" });

    MonitorInfFields w2k = Read(PackageMonitorInf("monitor.inf"), false);
    CHECK(std::string(w2k.szMonitorName) == "ZUV Izov Language/Port Monitor");
    CHECK(std::string(w2k.szMonitorKey) == "IZOVMON");
    CHECK(std::string(w2k.szDllName) == "ZADAZARE.DLL");
    CHECK(harness::NamesOfList(w2k.fileList) == Names{ "ZADAZARE.DLL", "ZADAZARE.HLP" });

    // Windows Server 2003 reads the XP INF by the Windows 2000 rules, so it carries both layouts;
    // the Windows 2000 INF read by the XP rules yields nothing.
    MonitorInfFields server = Read(PackageMonitorInf("monitorxp.inf"), false);
    CHECK(std::string(server.szDllName) == "ZADAZARE.DLL");
    CHECK(harness::NamesOfList(server.fileList) == Names{ "ZADAZARE.DLL", "ZADAZARE.HLP" });
    CHECK(std::string(Read(PackageMonitorInf("monitor.inf"), true).szMonitorName).empty());
}

TEST_CASE("Windows XP rule: entries up to the first comment, each cut at its first blank")
{
    std::string text = Lines({ "[PortMonitors]", "\"Mon\" =    KEY  ", "[SourceDisksFiles]", "FIRST.DLL=1",
                               "SECOND.DLL   = 1", "THIRD.DLL = 1", "; comment", "[Strings]" });
    MonitorInfFields fields = Read(text, true);
    CHECK(std::string(fields.szMonitorName) == "Mon");
    CHECK(std::string(fields.szMonitorKey) == "KEY  ");
    // The comment directly after the last entry: that entry is still read.
    CHECK(harness::NamesOfList(fields.fileList) == Names{ "FIRST.DLL", "SECOND.DLL", "THIRD.DLL" });

    std::string noComment = Lines({ "[PortMonitors]", "\"Mon\" = KEY", "[SourceDisksFiles]", "FIRST.DLL = 1" });
    CHECK(Read(noComment, true).fileList[0] == '\0');
    CHECK(std::string(Read(noComment, true).szDllName) == "ZADAZARE.DLL");

    std::string otherDll = Lines({ "[PortMonitors]", "\"Mon\" = KEY", "[KEY]", "PortMonitorDll=OTHER.DLL" });
    CHECK(std::string(Read(otherDll, true).szDllName) == "ZADAZARE.DLL");
}

TEST_CASE("Windows 2000 rule: the key's file section, and the DLL of the section after it")
{
    struct Case {
        std::string what;
        std::string text;
        Names files;
    };
    const Case cases[] = {
        { "two entries", Lines({ "[Options]", "\"Mon\"= KEY", "[Files-KEY]", "2,ONE.DLL , a", "2,TWO.DLL , b",
                                 "[Monitor-KEY]", "\"Mon\", 2,MON.DLL,KEY", "2,NOT.DLL , c" }),
          { "ONE.DLL", "TWO.DLL" } },
        // An entry with no blank before its line's end does not swallow the entries after it.
        { "an entry cut at its line's end", Lines({ "[Options]", "\"Mon\"= KEY", "[Files-KEY]", "2,ONE.DLL",
                                                    "2,TWO.DLL", "2,THREE.DLL , c", "[Monitor-KEY]",
                                                    "\"Mon\", 2,MON.DLL,KEY" }),
          { "ONE.DLL", "TWO.DLL", "THREE.DLL" } },
    };
    for (const Case& c : cases) {
        CAPTURE(c.what);
        MonitorInfFields fields = Read(c.text, false);
        CHECK(std::string(fields.szMonitorKey) == "KEY");
        CHECK(harness::NamesOfList(fields.fileList) == c.files);
        CHECK(std::string(fields.szDllName) == "MON.DLL");
    }
    MonitorInfFields fields;

    // The key's section last in the file: it runs to the end, and there is no DLL after it. Its
    // last entry ends at its line's end, or at the text's end, like any other.
    std::string last = Lines({ "[Options]", "\"Mon\" = KEY", "[Files-KEY]", "2,ONE.DLL , a", "2,TWO.DLL" });
    for (const std::string& text : { last, last.substr(0, last.size() - 2) }) {
        fields = Read(text, false);
        CHECK(harness::NamesOfList(fields.fileList) == Names{ "ONE.DLL", "TWO.DLL" });
        CHECK(std::string(fields.szDllName).empty());
    }
}

TEST_CASE("what the text lacks stays empty, and nothing is written past a field or the list")
{
    for (bool bXp : { true, false }) {
        CAPTURE(bXp);
        for (const char* pszText : { "", "[PortMonitors]\r\n[Options]\r\n\"unclosed", "[Options]\r\n\"Mon\"",
                                     "[Options]\r\n\"Mon\" = KEY", "[PortMonitors]\r\n\"Mon\" =", "\"\"=\r\n" }) {
            MonitorInfFields fields = Read(pszText, bXp);
            CHECK(fields.fileList[0] == '\0');
            CHECK(strlen(fields.szMonitorName) < MONITOR_FIELD_SIZE);
        }
    }

    std::string longName(400, 'N');
    std::string text = Lines({ "[Options]", ("\"" + longName + "\" = KEY").c_str(), "[Files-KEY]",
                               ("2," + longName + " , x").c_str(), "2,SHORT.DLL , y", "[Next]",
                               ("2," + longName + ",").c_str() });
    MonitorInfFields fields = Read(text, false);
    CHECK(std::string(fields.szMonitorName).empty());
    CHECK(harness::NamesOfList(fields.fileList) == Names{ "SHORT.DLL" });
    CHECK(std::string(fields.szDllName).empty());

    // 1000 entries of 12 characters do not fit 6500 bytes: the list ends after a whole name.
    std::string many = "[PortMonitors]\r\n\"Mon\" = KEY\r\n[SourceDisksFiles]\r\n";
    char szLine[32];
    for (int i = 0; i < 1000; ++i) {
        sprintf(szLine, "FILE%04d.DLL = 1\r\n", i);
        many += szLine;
    }
    many += "\r\n; end\r\n";
    fields = Read(many, true);
    Names names = harness::NamesOfList(fields.fileList);
    size_t cb = 0;
    for (const std::string& name : names)
        cb += name.size() + 1;
    CHECK(names.size() == 6499 / 13);
    CHECK(cb < MONITOR_FILE_LIST_SIZE);
    CHECK(names.back() == "FILE0498.DLL");
}

TEST_CASE("a monitor INF is read from the current directory, and only its first 26000 bytes")
{
    char szBefore[MAX_PATH];
    ::GetCurrentDirectoryA(MAX_PATH, szBefore);
    harness::TempDirectory directory("monitor-inf");
    REQUIRE(::SetCurrentDirectoryA(directory.path.c_str()));

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
    ::SetCurrentDirectoryA(szBefore);
}
