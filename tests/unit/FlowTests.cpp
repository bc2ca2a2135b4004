// The wizard's state machine, with scripted pages and steps.
#include <doctest.h>
#include "base/Buffers.h"
#include "res/resource.h"
#include "tests/harness/Files.h"
#include "tests/harness/Injection.h"
#include "tests/harness/MessageBoxes.h"
#include "tests/harness/ScriptedWizard.h"
#include "tests/harness/Texts.h"
#include "ui/WizardPage.h"
#include <string>
#include <utility>
#include <vector>

using harness::ScriptedWizard;
using harness::Showing;
using harness::kCaption;
using harness::kErrorCaption;
typedef std::vector<std::string> Trace;

namespace {

Showing Welcome(int nResult, int nTask = 0)
{
    return Showing{ IDD_WELCOME, nResult, nTask };
}

Showing Printer(int nResult)
{
    return Showing{ IDD_PRINTER, nResult, 0, "Office", "FILE:" };
}

Showing Destination(int nResult, const char* pszPath = "C:\\out")
{
    return Showing{ IDD_DESTINATION, nResult, 0, NULL, NULL, pszPath };
}

Showing Summary(int nResult)
{
    return Showing{ IDD_SUMMARY, nResult };
}

Showing CannotBeMade(Showing showing)
{
    showing.bCannotBeMade = true;
    return showing;
}

const char kOn[] = "welcome install-enabled";
const char kOff[] = "welcome install-disabled";
const char kInstallSummary[] = "summary install name=Office port=FILE: destination=";
const char kCopySummary[] = "summary copy name= port= destination=C:\\out";
const char kDriver[] = "driver inf=driver.inf name=ZUV Izov";
const char kCreate[] = "create name=Office driver=ZUV Izov port=FILE:";

} // namespace

TEST_CASE("the flow: the pages shown, the steps run and the words said for each course of the user")
{
    // A showing answered with a result no step knows (0, PAGE_REFUSED, a task not offered) shows
    // the same page again; Back from the printer page or the summary runs the monitor check
    // again, and back on the welcome page the rights check. A failed driver installation returns
    // to the printer page, whose summary had Finish: a page shown again closing without a
    // result, or one that cannot be made, is not taken for Finish.
    struct Course {
        const char* pszWhat;
        std::vector<Showing> showings;
        Trace trace;
        void (*setUp)(ScriptedWizard& wizard) = NULL;
        std::vector<std::pair<std::string, std::string>> boxes = {};  // text and caption of each error box
    };
    const std::string longPath = "C:\\" + std::string(255, 'd');  // 258 characters: "\." would not fit
    const Trace failedInstall = { "rights", kOn, "monitor", "printer", kInstallSummary, "api-dll", kDriver,
                                  "monitor", "printer", kInstallSummary };
    auto failsInstall = [](ScriptedWizard& wizard) { wizard.driverResults = { FALSE }; };
    auto realSearch = [](ScriptedWizard& wizard) { wizard.bRealInfSearch = true; };
    const std::string cannotBeMade = harness::SystemErrorText(ERROR_RESOURCE_NAME_NOT_FOUND);
    const Course courses[] = {
        { "the install road, to the Printers folder",
          { Welcome(PAGE_NEXT, 0), Printer(PAGE_NEXT), Summary(PAGE_NEXT) },
          { "rights", kOn, "monitor", "printer", kInstallSummary, "api-dll", kDriver, kCreate, "open-printers" } },
        { "the copy road, into the destination, which opens",
          { Welcome(PAGE_NEXT, 1), Destination(PAGE_NEXT), Summary(PAGE_NEXT) },
          { "rights", kOn, "destination", kCopySummary, "copy C:\\out\\.", "open C:\\out" } },
        { "Cancel on the welcome page", { Welcome(PAGE_CANCEL) }, { "rights", kOn } },
        { "Cancel on the printer page", { Welcome(PAGE_NEXT, 0), Printer(PAGE_CANCEL) },
          { "rights", kOn, "monitor", "printer" } },
        { "Cancel on the destination page", { Welcome(PAGE_NEXT, 1), Destination(PAGE_CANCEL) },
          { "rights", kOn, "destination" } },
        { "Cancel on the summary of the install task",
          { Welcome(PAGE_NEXT, 0), Printer(PAGE_NEXT), Summary(PAGE_CANCEL) },
          { "rights", kOn, "monitor", "printer", kInstallSummary } },
        { "Cancel on the summary of the copy task",
          { Welcome(PAGE_NEXT, 1), Destination(PAGE_NEXT), Summary(PAGE_CANCEL) },
          { "rights", kOn, "destination", kCopySummary } },
        { "Back from the printer page", { Welcome(PAGE_NEXT, 0), Printer(PAGE_BACK), Welcome(PAGE_CANCEL) },
          { "rights", kOn, "monitor", "printer", "rights", kOn } },
        { "Back from the destination page", { Welcome(PAGE_NEXT, 1), Destination(PAGE_BACK), Welcome(PAGE_CANCEL) },
          { "rights", kOn, "destination", "rights", kOn } },
        { "Back from the summary of the install task",
          { Welcome(PAGE_NEXT, 0), Printer(PAGE_NEXT), Summary(PAGE_BACK), Printer(PAGE_CANCEL) },
          { "rights", kOn, "monitor", "printer", kInstallSummary, "monitor", "printer" } },
        { "Back from the summary of the copy task",
          { Welcome(PAGE_NEXT, 1), Destination(PAGE_NEXT), Summary(PAGE_BACK), Destination(PAGE_CANCEL) },
          { "rights", kOn, "destination", kCopySummary, "destination" } },
        { "copy, Back, then install", { Welcome(PAGE_NEXT, 1), Destination(PAGE_BACK), Welcome(PAGE_NEXT, 0),
                                        Printer(PAGE_NEXT), Summary(PAGE_CANCEL) },
          { "rights", kOn, "destination", "rights", kOn, "monitor", "printer", kInstallSummary } },
        { "an unknown result on the welcome page", { Welcome(0), Welcome(PAGE_CANCEL) },
          { "rights", kOn, "rights", kOn } },
        { "a task the welcome page does not offer", { Welcome(PAGE_NEXT, 2), Welcome(PAGE_CANCEL) },
          { "rights", kOn, "rights", kOn } },
        { "an unknown result on the printer page",
          { Welcome(PAGE_NEXT, 0), Printer(PAGE_REFUSED), Printer(PAGE_CANCEL) },
          { "rights", kOn, "monitor", "printer", "monitor", "printer" } },
        { "an unknown result on the destination page",
          { Welcome(PAGE_NEXT, 1), Destination(PAGE_REFUSED), Destination(PAGE_CANCEL) },
          { "rights", kOn, "destination", "destination" } },
        { "an unknown result on the summary",
          { Welcome(PAGE_NEXT, 1), Destination(PAGE_NEXT), Summary(0), Summary(PAGE_CANCEL) },
          { "rights", kOn, "destination", kCopySummary, kCopySummary } },
        { "a summary shown again that closes without a result",
          { Welcome(PAGE_NEXT, 0), Printer(PAGE_NEXT), Summary(PAGE_NEXT), Printer(PAGE_NEXT),
            Summary(harness::RESULT_UNTOUCHED), Summary(PAGE_CANCEL) },
          [&] {
              Trace trace = failedInstall;
              trace.push_back(kInstallSummary);
              return trace;
          }(),
          failsInstall },
        { "a summary shown again that cannot be made: the installation does not run again",
          { Welcome(PAGE_NEXT, 0), Printer(PAGE_NEXT), Summary(PAGE_NEXT), Printer(PAGE_NEXT),
            CannotBeMade(Summary(PAGE_NEXT)) },
          failedInstall, failsInstall, { { cannotBeMade, kErrorCaption } } },
        { "a welcome page that cannot be made: no step runs again", { CannotBeMade(Welcome(PAGE_NEXT)) },
          { "rights", kOn }, NULL, { { cannotBeMade, kErrorCaption } } },
        { "not an administrator: installing refused for the rest of the run",
          { Welcome(PAGE_NEXT, 1), Destination(PAGE_BACK), Welcome(PAGE_CANCEL) },
          { "rights", kOff, "destination", "rights", kOff },
          [](ScriptedWizard& wizard) { wizard.bAllowedToInstall = false; } },
        { "no installable driver INF", { Welcome(PAGE_CANCEL) }, { "rights", kOff },
          [](ScriptedWizard& wizard) { wizard.installableInf = ""; } },
        { "a rights check that throws is ignored", { Welcome(PAGE_CANCEL) }, { "rights", kOn },
          [](ScriptedWizard& wizard) { wizard.bRightsCheckThrows = true; } },
        { "browsing on the destination page: the package is copied from the directory current before",
          { Welcome(PAGE_NEXT, 1), [] {
               Showing browse = Destination(PAGE_NEXT);
               browse.pszBrowseTo = "C:\\windows";
               return browse;
           }(), Summary(PAGE_NEXT) },
          { "rights", kOn, "destination", kCopySummary, "copy C:\\out\\.", "open C:\\out" } },
        { "a destination too long to take the copy's ending: the user chooses again",
          { Welcome(PAGE_NEXT, 1), Destination(PAGE_NEXT, longPath.c_str()), Summary(PAGE_NEXT), Destination(PAGE_NEXT),
            Summary(PAGE_NEXT) },
          { "rights", kOn, "destination", "summary copy name= port= destination=" + longPath, "destination",
            kCopySummary, "copy C:\\out\\.", "open C:\\out" },
          NULL,
          { { harness::kIllegalName, kCaption } } },
        { "no destination: nothing is copied, and the user chooses one",
          { Welcome(PAGE_NEXT, 1), Destination(PAGE_NEXT, ""), Summary(PAGE_NEXT), Destination(PAGE_CANCEL) },
          { "rights", kOn, "destination", "summary copy name= port= destination=", "destination" }, NULL,
          { { harness::kNoDirectory, kCaption } } },
        // The search lists the current directory; the INF of the name found is read from the
        // program's directory.
        { "no INF in the package: installing is not offered", { Welcome(PAGE_CANCEL) }, { "rights", kOff },
          realSearch },
        { "the package's first INF has no models section: installing is not offered", { Welcome(PAGE_CANCEL) },
          { "rights", kOff },
          [](ScriptedWizard& wizard) {
              wizard.bRealInfSearch = true;
              REQUIRE(harness::WriteTextFile("nomodels.inf", ""));
          } },
        { "the package's first INF is the sample's, which the driver step installs",
          { Welcome(PAGE_NEXT, 0), Printer(PAGE_NEXT), Summary(PAGE_NEXT) },
          { "rights", kOn, "monitor", "printer", kInstallSummary, "api-dll", "driver inf=izov.inf name=ZUV Izov",
            kCreate, "open-printers" },
          [](ScriptedWizard& wizard) {
              wizard.bRealInfSearch = true;
              REQUIRE(harness::WriteTextFile("izov.inf", ""));
          } },
    };
    for (const Course& course : courses) {
        INFO(course.pszWhat);
        harness::TempDirectory package("flow-package");
        harness::InDirectory in(package.path);
        REQUIRE(in.bEntered);
        const std::string current = harness::CurrentDirectory();
        harness::MessageBoxRecorder boxes;
        ScriptedWizard wizard;
        wizard.showings.assign(course.showings.begin(), course.showings.end());
        if (course.setUp != NULL)
            course.setUp(wizard);
        DWORD dwStart = ::GetTickCount();
        wizard.RunFromWelcome();

        CHECK(::GetTickCount() - dwStart < 5000);
        CHECK(wizard.trace == course.trace);
        CHECK(wizard.showings.empty());
        CHECK((g_nSetupStatus == SETUP_NOT_PERMITTED) == !wizard.bAllowedToInstall);
        // Every step under the wait cursor, which is gone at the end; the current drive and
        // directory are the package's again after the destination page, and at the copy.
        for (int nCount : wizard.waitCursorCounts)
            CHECK(nCount == 1);
        CHECK(wizard.m_nWaitCursorCount == 0);
        CHECK(harness::CurrentDirectory() == current);
        CHECK((wizard.copyDirectory.empty() || wizard.copyDirectory == current));
        REQUIRE(boxes.boxes.size() == course.boxes.size());
        for (size_t i = 0; i < course.boxes.size(); ++i) {
            CHECK(boxes.boxes[i].text == course.boxes[i].first);
            CHECK(boxes.boxes[i].caption == course.boxes[i].second);
            CHECK(boxes.boxes[i].type == (MB_OK | MB_ICONERROR));
        }
    }
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

TEST_CASE("a copy that stopped short opens nothing, and the user is back on the destination page")
{
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
    SUBCASE("a target the shell could not find, told by its own code (0x402), which is none of the system's") {
        REQUIRE(harness::WriteTextFile(package.path + "\\a.txt", "data"));
        injection.Fail(harness::SEAM_SHELL_COPY, 0, 0x402);
        expectedBoxes = { harness::SystemErrorText(ERROR_PATH_NOT_FOUND) };
    }
    SUBCASE("a monitor file whose path at the destination would not fit, which the shell would skip unsaid") {
        REQUIRE(harness::WriteTextFile(package.path + "\\a.txt", "data"));
        target += "\\" + std::string(240 - target.size() - 1, 'd');
        expectedBoxes = { harness::SystemErrorText(ERROR_FILENAME_EXCED_RANGE) };
    }
    harness::InDirectory in(package.path);
    REQUIRE(in.bEntered);
    ScriptedWizard wizard;
    wizard.bRealSteps = true;
    wizard.showings = { Welcome(PAGE_NEXT, 1), Destination(PAGE_NEXT, target.c_str()), Summary(PAGE_NEXT),
                        Destination(PAGE_CANCEL) };
    harness::MessageBoxRecorder boxes;
    wizard.RunFromWelcome();

    // Cancel needs no word; a copy refused for a path too long is said.
    std::vector<std::string> texts;
    for (size_t i = 0; i < boxes.boxes.size(); ++i)
        texts.push_back(boxes.boxes[i].text);
    CHECK(texts == expectedBoxes);

    CHECK(wizard.trace == Trace{ "rights", kOn, "destination", "summary copy name= port= destination=" + target,
                                 "copy " + target + "\\. failed", "destination" });
    CHECK_FALSE(harness::Exists(target + "\\pxmonitor\\ZADAZARE.DLL"));
    // The package's own files take one operation, or would have taken two.
    CHECK(injection.Count(harness::SEAM_SHELL_COPY) == 1);
    if (bCancelled)
        CHECK(harness::FilesIn(target).empty());
}

TEST_CASE("the candidate list holds the first INF file of the current directory, or none")
{
    harness::TempDirectory directory("flow-inf-search");
    harness::InDirectory in(directory.path);
    REQUIRE(in.bEntered);
    char* pszList = FindDriverInfs("*.inf");
    REQUIRE(pszList != NULL);
    CHECK(pszList[0] == '\0');
    FreeBuffer(pszList);

    for (const char* pszName : { "a.inf", "b.inf", "readme.txt" })
        REQUIRE(harness::WriteTextFile(pszName, ""));
    pszList = FindDriverInfs("*.inf");
    REQUIRE(pszList != NULL);
    std::string first = pszList;
    CHECK((first == "a.inf" || first == "b.inf"));
    CHECK(pszList[first.size() + 1] == '\0');
    FreeBuffer(pszList);
}
