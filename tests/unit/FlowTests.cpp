// The wizard's state machine, with scripted pages and steps.
#include <doctest.h>
#include "base/Buffers.h"
#include "res/resource.h"
#include "tests/harness/Files.h"
#include "tests/harness/Injection.h"
#include "tests/harness/MessageBoxes.h"
#include "tests/harness/ScriptedWizard.h"
#include "ui/WizardPage.h"
#include <direct.h>
#include <string>
#include <vector>

using harness::ScriptedWizard;
using harness::Showing;
typedef std::vector<std::string> Trace;

namespace {

Showing Welcome(int nResult, int nTask = 0)
{
    Showing showing = { IDD_WELCOME, nResult };
    showing.nTask = nTask;
    return showing;
}

Showing Printer(int nResult, const char* pszName = "Office", const char* pszPort = "FILE:")
{
    Showing showing = { IDD_PRINTER, nResult };
    showing.pszPrinter = pszName;
    showing.pszPort = pszPort;
    return showing;
}

Showing Destination(int nResult, const char* pszPath = "C:\\out")
{
    Showing showing = { IDD_DESTINATION, nResult };
    showing.pszPath = pszPath;
    return showing;
}

Showing Summary(int nResult)
{
    return Showing{ IDD_SUMMARY, nResult };
}

const char* const kInstallSummary = "summary install name=Office port=FILE: destination=";
const char* const kCopySummary = "summary copy name= port= destination=C:\\out";

} // namespace

TEST_CASE("the install road runs from the welcome page to the Printers folder")
{
    ScriptedWizard wizard;
    wizard.showings = { Welcome(PAGE_NEXT, 0), Printer(PAGE_NEXT), Summary(PAGE_NEXT) };
    wizard.RunFromWelcome();

    CHECK(wizard.trace == Trace{ "rights", "welcome install-enabled", "monitor", "printer", kInstallSummary,
                                 "api-dll", "driver inf=driver.inf name=ZUV Izov",
                                 "create name=Office driver=ZUV Izov port=FILE:", "open-printers" });
    CHECK(wizard.m_bCopyTask == FALSE);
    CHECK(wizard.showings.empty());
}

TEST_CASE("the copy road copies the package into the destination and opens it")
{
    ScriptedWizard wizard;
    wizard.showings = { Welcome(PAGE_NEXT, 1), Destination(PAGE_NEXT), Summary(PAGE_NEXT) };
    wizard.RunFromWelcome();

    CHECK(wizard.trace == Trace{ "rights", "welcome install-enabled", "destination", kCopySummary,
                                 "copy C:\\out\\.", "open C:\\out" });
    CHECK(wizard.m_bCopyTask == TRUE);
}

TEST_CASE("Cancel on any page ends the flow at once")
{
    ScriptedWizard wizard;

    SUBCASE("welcome") {
        wizard.showings = { Welcome(PAGE_CANCEL) };
        wizard.RunFromWelcome();
        CHECK(wizard.trace == Trace{ "rights", "welcome install-enabled" });
    }
    SUBCASE("printer") {
        wizard.showings = { Welcome(PAGE_NEXT, 0), Printer(PAGE_CANCEL) };
        wizard.RunFromWelcome();
        CHECK(wizard.trace == Trace{ "rights", "welcome install-enabled", "monitor", "printer" });
    }
    SUBCASE("destination") {
        wizard.showings = { Welcome(PAGE_NEXT, 1), Destination(PAGE_CANCEL) };
        wizard.RunFromWelcome();
        CHECK(wizard.trace == Trace{ "rights", "welcome install-enabled", "destination" });
    }
    SUBCASE("summary of the install task") {
        wizard.showings = { Welcome(PAGE_NEXT, 0), Printer(PAGE_NEXT), Summary(PAGE_CANCEL) };
        wizard.RunFromWelcome();
        CHECK(wizard.trace == Trace{ "rights", "welcome install-enabled", "monitor", "printer", kInstallSummary });
    }
    SUBCASE("summary of the copy task") {
        wizard.showings = { Welcome(PAGE_NEXT, 1), Destination(PAGE_NEXT), Summary(PAGE_CANCEL) };
        wizard.RunFromWelcome();
        CHECK(wizard.trace == Trace{ "rights", "welcome install-enabled", "destination", kCopySummary });
    }
    CHECK(wizard.showings.empty());
}

TEST_CASE("Back goes one page back, and the welcome step runs the rights check again")
{
    ScriptedWizard wizard;

    SUBCASE("from the printer page") {
        wizard.showings = { Welcome(PAGE_NEXT, 0), Printer(PAGE_BACK), Welcome(PAGE_CANCEL) };
        wizard.RunFromWelcome();
        CHECK(wizard.trace == Trace{ "rights", "welcome install-enabled", "monitor", "printer", "rights",
                                     "welcome install-enabled" });
    }
    SUBCASE("from the destination page") {
        wizard.showings = { Welcome(PAGE_NEXT, 1), Destination(PAGE_BACK), Welcome(PAGE_CANCEL) };
        wizard.RunFromWelcome();
        CHECK(wizard.trace == Trace{ "rights", "welcome install-enabled", "destination", "rights",
                                     "welcome install-enabled" });
    }
    SUBCASE("from the summary of the install task, through the monitor check") {
        wizard.showings = { Welcome(PAGE_NEXT, 0), Printer(PAGE_NEXT), Summary(PAGE_BACK), Printer(PAGE_CANCEL) };
        wizard.RunFromWelcome();
        CHECK(wizard.trace == Trace{ "rights", "welcome install-enabled", "monitor", "printer", kInstallSummary,
                                     "monitor", "printer" });
    }
    SUBCASE("from the summary of the copy task") {
        wizard.showings = { Welcome(PAGE_NEXT, 1), Destination(PAGE_NEXT), Summary(PAGE_BACK),
                            Destination(PAGE_CANCEL) };
        wizard.RunFromWelcome();
        CHECK(wizard.trace == Trace{ "rights", "welcome install-enabled", "destination", kCopySummary,
                                     "destination" });
    }
    CHECK(wizard.showings.empty());
}

TEST_CASE("a result a step does not know shows the same page again")
{
    ScriptedWizard wizard;

    SUBCASE("welcome") {
        wizard.showings = { Welcome(0), Welcome(PAGE_CANCEL) };
        wizard.RunFromWelcome();
        CHECK(wizard.trace == Trace{ "rights", "welcome install-enabled", "rights", "welcome install-enabled" });
    }
    SUBCASE("a task the welcome page does not offer") {
        wizard.showings = { Welcome(PAGE_NEXT, 2), Welcome(PAGE_CANCEL) };
        wizard.RunFromWelcome();
        CHECK(wizard.trace == Trace{ "rights", "welcome install-enabled", "rights", "welcome install-enabled" });
    }
    SUBCASE("printer, with the monitor check again") {
        wizard.showings = { Welcome(PAGE_NEXT, 0), Printer(PAGE_REFUSED), Printer(PAGE_CANCEL) };
        wizard.RunFromWelcome();
        CHECK(wizard.trace == Trace{ "rights", "welcome install-enabled", "monitor", "printer", "monitor",
                                     "printer" });
    }
    SUBCASE("destination") {
        wizard.showings = { Welcome(PAGE_NEXT, 1), Destination(PAGE_REFUSED), Destination(PAGE_CANCEL) };
        wizard.RunFromWelcome();
        CHECK(wizard.trace == Trace{ "rights", "welcome install-enabled", "destination", "destination" });
    }
    SUBCASE("summary") {
        wizard.showings = { Welcome(PAGE_NEXT, 1), Destination(PAGE_NEXT), Summary(0), Summary(PAGE_CANCEL) };
        wizard.RunFromWelcome();
        CHECK(wizard.trace == Trace{ "rights", "welcome install-enabled", "destination", kCopySummary,
                                     kCopySummary });
    }
    CHECK(wizard.showings.empty());
}

TEST_CASE("a page is never shown with the result of an earlier showing, and one that cannot be made ends the "
          "flow with the system's word")
{
    harness::MessageBoxRecorder boxes;
    ScriptedWizard wizard;
    // A failed driver installation returns to the printer page; its summary then had Finish.
    wizard.driverResults = { FALSE };
    const Trace kFailedInstall = { "rights", "welcome install-enabled", "monitor", "printer", kInstallSummary,
                                   "api-dll", "driver inf=driver.inf name=ZUV Izov", "monitor", "printer",
                                   kInstallSummary };
    Showing cannotBeMade = Summary(PAGE_NEXT);
    cannotBeMade.bCannotBeMade = true;
    Trace expected;
    bool bCannotBeMade = true;

    SUBCASE("a page that closes without a result is shown again, not taken for Finish") {
        bCannotBeMade = false;
        wizard.showings = { Welcome(PAGE_NEXT, 0), Printer(PAGE_NEXT), Summary(PAGE_NEXT), Printer(PAGE_NEXT),
                            Summary(harness::RESULT_UNTOUCHED), Summary(PAGE_CANCEL) };
        expected = kFailedInstall;
        expected.push_back(kInstallSummary);
    }
    SUBCASE("the summary cannot be made: the installation does not run again") {
        wizard.showings = { Welcome(PAGE_NEXT, 0), Printer(PAGE_NEXT), Summary(PAGE_NEXT), Printer(PAGE_NEXT),
                            cannotBeMade };
        expected = kFailedInstall;
    }
    SUBCASE("the welcome page cannot be made: no step runs again") {
        Showing welcome = Welcome(PAGE_NEXT);
        welcome.bCannotBeMade = true;
        wizard.showings = { welcome };
        expected = { "rights", "welcome install-enabled" };
    }
    DWORD dwStart = ::GetTickCount();
    wizard.RunFromWelcome();
    CHECK(::GetTickCount() - dwStart < 5000);
    CHECK(wizard.trace == expected);
    CHECK(wizard.showings.empty());
    CHECK(boxes.boxes.size() == (bCannotBeMade ? 1u : 0u));
    if (bCannotBeMade && !boxes.boxes.empty()) {
        CHECK(boxes.boxes[0].caption == "Unable to complete the install.");
        CHECK(boxes.boxes[0].type == (MB_OK | MB_ICONERROR));
        CHECK(boxes.boxes[0].text == harness::SystemErrorText(ERROR_RESOURCE_NAME_NOT_FOUND));
    }
}

TEST_CASE("the install task is disabled when the rights check refuses or no driver INF is installable")
{
    ScriptedWizard wizard;

    SUBCASE("not an administrator: refused for the rest of the run") {
        wizard.bAllowedToInstall = false;
        wizard.showings = { Welcome(PAGE_NEXT, 1), Destination(PAGE_BACK), Welcome(PAGE_CANCEL) };
        wizard.RunFromWelcome();
        CHECK(wizard.trace == Trace{ "rights", "welcome install-disabled", "destination", "rights",
                                     "welcome install-disabled" });
        CHECK(g_nSetupStatus == SETUP_NOT_PERMITTED);
    }
    SUBCASE("no installable driver INF") {
        wizard.installableInf = "";
        wizard.showings = { Welcome(PAGE_CANCEL) };
        wizard.RunFromWelcome();
        CHECK(wizard.trace == Trace{ "rights", "welcome install-disabled" });
    }
    SUBCASE("a rights check that throws is ignored") {
        wizard.bRightsCheckThrows = true;
        wizard.showings = { Welcome(PAGE_CANCEL) };
        wizard.RunFromWelcome();
        CHECK(wizard.trace == Trace{ "rights", "welcome install-enabled" });
    }
}

TEST_CASE("choosing copy, going back and choosing install gives the install summary")
{
    ScriptedWizard wizard;
    wizard.showings = { Welcome(PAGE_NEXT, 1), Destination(PAGE_BACK), Welcome(PAGE_NEXT, 0), Printer(PAGE_NEXT),
                        Summary(PAGE_CANCEL) };
    wizard.RunFromWelcome();
    CHECK(wizard.m_bCopyTask == FALSE);
    CHECK(wizard.trace.back() == kInstallSummary);
}

TEST_CASE("the steps run under the wait cursor, which is gone when the flow ends")
{
    ScriptedWizard wizard;
    wizard.showings = { Welcome(PAGE_NEXT, 0), Printer(PAGE_NEXT), Summary(PAGE_NEXT) };
    wizard.RunFromWelcome();
    for (int nCount : wizard.waitCursorCounts)
        CHECK(nCount == 1);
    CHECK(wizard.m_nWaitCursorCount == 0);
}

TEST_CASE("the current drive and directory are restored after the destination page")
{
    char szBefore[MAX_PATH];
    ::GetCurrentDirectoryA(MAX_PATH, szBefore);
    int nDriveBefore = _getdrive();

    ScriptedWizard wizard;
    Showing browse = Destination(PAGE_NEXT);
    browse.pszBrowseTo = "C:\\windows";
    wizard.showings = { Welcome(PAGE_NEXT, 1), browse, Summary(PAGE_NEXT) };
    wizard.RunFromWelcome();

    CHECK(wizard.copyDirectory == szBefore);
    CHECK(_getdrive() == nDriveBefore);
    ::SetCurrentDirectoryA(szBefore);
}

TEST_CASE("a step number that no step has ends the flow")
{
    ScriptedWizard wizard;
    wizard.showings = { Welcome(PAGE_CANCEL) };
    wizard.m_nWizardStep = 3;
    wizard.RunWizard();
    CHECK(wizard.trace.empty());
    CHECK(wizard.m_nWaitCursorCount == 0);
}

TEST_CASE("a destination too long to take the copy ending is refused, and the user chooses again")
{
    harness::MessageBoxRecorder boxes;
    std::string longPath = "C:\\" + std::string(255, 'd');  // 258 characters: "\." would not fit
    ScriptedWizard wizard;
    wizard.showings = { Welcome(PAGE_NEXT, 1), Destination(PAGE_NEXT, longPath.c_str()), Summary(PAGE_NEXT),
                        Destination(PAGE_NEXT), Summary(PAGE_NEXT) };
    wizard.RunFromWelcome();

    REQUIRE(boxes.boxes.size() == 1);
    CHECK(boxes.boxes[0].caption == "ZUV Izov Printer Software Wizard");
    CHECK(boxes.boxes[0].text == "The name you specified contains illegal characters ! \\ \\ / : * ? < > | , or is "
                                 "too long. Maximum length is 220 characters.");
    CHECK(boxes.boxes[0].type == (MB_OK | MB_ICONERROR));
    CHECK(wizard.trace.back() == "open C:\\out");
    CHECK(wizard.trace[wizard.trace.size() - 2] == "copy C:\\out\\.");
}

TEST_CASE("a copy that stopped short opens nothing, and the user is back on the destination page")
{
    char szBefore[MAX_PATH];
    ::GetCurrentDirectoryA(MAX_PATH, szBefore);
    harness::TempDirectory package("flow-copy-package");
    harness::TempDirectory destination("flow-copy-destination");
    REQUIRE(::CreateDirectoryA((package.path + "\\pxmonitor").c_str(), NULL));
    REQUIRE(harness::WriteTextFile(package.path + "\\pxmonitor\\ZADAZARE.DLL", "monitor"));
    std::string target = destination.path;
    harness::Injection injection;
    bool bCancelled = false;
    std::vector<std::string> expectedBoxes;

    SUBCASE("Cancel in the shell's progress window during the first of its operations") {
        // 400 names of 100 characters: more than one operation's list.
        for (int i = 0; i < 400; ++i) {
            char szNumber[16];
            wsprintfA(szNumber, "%03d", i);
            REQUIRE(harness::WriteTextFile(package.path + "\\" + std::string(97, 'f') + szNumber, "data"));
        }
        injection.Fail(harness::SEAM_SHELL_COPY, 0, ERROR_CANCELLED);
        bCancelled = true;
    }
    SUBCASE("a monitor file whose path at the destination would not fit, which the shell would skip unsaid") {
        REQUIRE(harness::WriteTextFile(package.path + "\\a.txt", "data"));
        target += "\\" + std::string(240 - target.size() - 1, 'd');
        expectedBoxes = { harness::SystemErrorText(ERROR_FILENAME_EXCED_RANGE) };
    }
    REQUIRE(::SetCurrentDirectoryA(package.path.c_str()));
    ScriptedWizard wizard;
    wizard.bRealSteps = true;
    wizard.showings = { Welcome(PAGE_NEXT, 1), Destination(PAGE_NEXT, target.c_str()), Summary(PAGE_NEXT),
                        Destination(PAGE_CANCEL) };
    harness::MessageBoxRecorder boxes;
    wizard.RunFromWelcome();
    ::SetCurrentDirectoryA(szBefore);

    // Cancel needs no word; a copy refused for a path too long is said.
    std::vector<std::string> texts;
    for (size_t i = 0; i < boxes.boxes.size(); ++i)
        texts.push_back(boxes.boxes[i].text);
    CHECK(texts == expectedBoxes);

    CHECK(wizard.trace == Trace{ "rights", "welcome install-enabled", "destination",
                                 "summary copy name= port= destination=" + target, "copy " + target + "\\. failed",
                                 "destination" });
    CHECK_FALSE(harness::Exists(target + "\\pxmonitor\\ZADAZARE.DLL"));
    // The package's own files take one operation, or would have taken two.
    CHECK(injection.Count(harness::SEAM_SHELL_COPY) == 1);
    if (bCancelled)
        CHECK(harness::FilesIn(target).empty());
}

TEST_CASE("without a destination nothing is copied, and the user chooses one")
{
    harness::MessageBoxRecorder boxes;
    ScriptedWizard wizard;
    wizard.showings = { Welcome(PAGE_NEXT, 1), Destination(PAGE_NEXT, ""), Summary(PAGE_NEXT),
                        Destination(PAGE_CANCEL) };
    wizard.RunFromWelcome();
    REQUIRE(boxes.boxes.size() == 1);
    CHECK(boxes.boxes[0].text == "No directory selected or created.");
    CHECK(boxes.boxes[0].type == (MB_OK | MB_ICONERROR));
    CHECK(wizard.trace == Trace{ "rights", "welcome install-enabled", "destination",
                                 "summary copy name= port= destination=", "destination" });
}

TEST_CASE("the candidate list holds the first INF file of the current directory, or none")
{
    char szBefore[MAX_PATH];
    ::GetCurrentDirectoryA(MAX_PATH, szBefore);
    char szTemp[MAX_PATH];
    ::GetTempPathA(MAX_PATH, szTemp);
    std::string directory = std::string(szTemp) + "flow-inf-search";
    ::CreateDirectoryA(directory.c_str(), NULL);
    REQUIRE(::SetCurrentDirectoryA(directory.c_str()));

    char* pszList = FindDriverInfs("*.inf");
    REQUIRE(pszList != NULL);
    CHECK(pszList[0] == '\0');
    FreeBuffer(pszList);

    for (const char* pszName : { "a.inf", "b.inf", "readme.txt" }) {
        HANDLE hFile = ::CreateFileA(pszName, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
        ::CloseHandle(hFile);
    }
    pszList = FindDriverInfs("*.inf");
    REQUIRE(pszList != NULL);
    std::string first = pszList;
    CHECK((first == "a.inf" || first == "b.inf"));
    CHECK(pszList[first.size() + 1] == '\0');
    FreeBuffer(pszList);


    for (const char* pszName : { "a.inf", "b.inf", "readme.txt" })
        ::DeleteFileA(pszName);
    ::SetCurrentDirectoryA(szBefore);
    ::RemoveDirectoryA(directory.c_str());
}

TEST_CASE("the welcome step offers installing only when the first INF of the package is its driver INF")
{
    // The search lists the current directory; the INF of that name is read from the program's.
    char szBefore[MAX_PATH];
    ::GetCurrentDirectoryA(MAX_PATH, szBefore);
    harness::TempDirectory package("flow-package");
    REQUIRE(::SetCurrentDirectoryA(package.path.c_str()));

    ScriptedWizard wizard;
    wizard.bRealInfSearch = true;

    SUBCASE("no INF at all") {
        wizard.showings = { Welcome(PAGE_CANCEL) };
        wizard.RunFromWelcome();
        CHECK(wizard.trace == Trace{ "rights", "welcome install-disabled" });
    }
    SUBCASE("an INF without the models section") {
        harness::WriteTextFile(package.path + "\\nomodels.inf", "");
        wizard.showings = { Welcome(PAGE_CANCEL) };
        wizard.RunFromWelcome();
        CHECK(wizard.trace == Trace{ "rights", "welcome install-disabled" });
    }
    SUBCASE("the sample package's INF, which the driver step then installs") {
        harness::WriteTextFile(package.path + "\\izov.inf", "");
        wizard.showings = { Welcome(PAGE_NEXT, 0), Printer(PAGE_NEXT), Summary(PAGE_NEXT) };
        wizard.RunFromWelcome();
        CHECK(wizard.trace == Trace{ "rights", "welcome install-enabled", "monitor", "printer", kInstallSummary,
                                     "api-dll", "driver inf=izov.inf name=ZUV Izov",
                                     "create name=Office driver=ZUV Izov port=FILE:", "open-printers" });
    }
    ::SetCurrentDirectoryA(szBefore);
}
