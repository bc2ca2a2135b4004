// The summary page: what it shows for each task, and Finish's spooler check.
#include <doctest.h>
#include "monitor/Pause.h"
#include "res/resource.h"
#include "tests/harness/Children.h"
#include "tests/harness/MessageBoxes.h"
#include "tests/harness/Pages.h"
#include "tests/harness/ScriptedPlatform.h"
#include "tests/harness/ScriptedWizard.h"
#include "tests/harness/Texts.h"
#include "tests/harness/Windows.h"
#include "ui/SummaryDlg.h"
#include <string>
#include <vector>

using namespace harness;

namespace {

const char kInstallHeading[] = "Check the information about the printer driver to make sure that it is correct.";
const char kCopyHeading[] = "Check the information about the files to be copied.";

// The flow up to a real summary page, whose Finish meets a stopped spooler that the user
// declines to start. Whatever the flow would do after Finish lands in its trace.
class WizardWithSummary : public ScriptedWizard {
protected:
    BOOL ShowPage(CDialog& page) override
    {
        if (page.m_nIDTemplate != IDD_SUMMARY)
            return ScriptedWizard::ShowPage(page);
        RunPage(page, [](HWND hPage) { Click(hPage, IDOK); });
        return TRUE;
    }
};

int FinishWithSpoolerDeclined(int nTask)
{
    ScriptedPlatform platform;
    MessageBoxRecorder boxes;
    platform.ServiceNamed("Spooler").dwState = SERVICE_STOPPED;
    boxes.Answer(IDNO);
    WizardWithSummary wizard;
    wizard.showings = { { IDD_WELCOME, PAGE_NEXT, nTask },
                        { nTask == 0 ? (UINT)IDD_PRINTER : (UINT)IDD_DESTINATION, PAGE_NEXT, 0, "Office", "FILE:",
                          "C:\\out" } };
    wizard.RunFromWelcome();
    return 7 + (int)wizard.trace.size();  // not reached: the program ends with exit code 0
}

} // namespace

TEST_CHILD(summary_install_declined)
{
    return FinishWithSpoolerDeclined(0);
}

TEST_CHILD(summary_copy_declined)
{
    return FinishWithSpoolerDeclined(1);
}

TEST_CASE("summary page: the heading and the parts there are, each with its label, whole")
{
    struct Case {
        BOOL bCopyTask;
        std::string printer, port, destination;
        const char* pszHeading;
        std::string text;
    };
    const std::string longName(220, 'n');
    const std::string longPort(259, 'p');
    const Case cases[] = {
        { FALSE, "Office", "IZOV1:", "", kInstallHeading,
          "\r\n\r\nPrinter name:\r\n\tOffice\r\n\r\nPort:\r\n\tIZOV1:" },
        { TRUE, "", "", "C:\\Drivers\\Izov", kCopyHeading, "\r\n\r\nDestination directory:\r\n\tC:\\Drivers\\Izov" },
        { FALSE, "Office", "", "", kInstallHeading, "\r\n\r\nPrinter name:\r\n\tOffice" },
        { FALSE, "", "FILE:", "", kInstallHeading, "\r\n\r\nPort:\r\n\tFILE:" },
        { TRUE, "", "", "", kCopyHeading, "" },
        { FALSE, longName, longPort, "", kInstallHeading,
          "\r\n\r\nPrinter name:\r\n\t" + longName + "\r\n\r\nPort:\r\n\t" + longPort },
    };
    CSummaryDlg summary;
    for (const Case& c : cases) {
        CAPTURE(c.text);
        summary.m_bCopyTask = c.bCopyTask;
        summary.SetPrinterName(c.printer.c_str());
        summary.SetPort(c.port.c_str());
        summary.SetDestination(c.destination.c_str());
        RunPage(summary, [&](HWND hPage) {
            CHECK(ControlText(hPage, IDC_HEADING) == c.pszHeading);
            CHECK(ControlText(hPage, IDC_SUMMARY) == c.text);
            CHECK(::GetFocus() == ::GetDlgItem(hPage, IDOK));
            Click(hPage, IDCANCEL);
        });
    }
}

TEST_CASE("summary page: Finish asks to start a stopped spooler, for both tasks")
{
    SkippedPauses pauses;
    for (BOOL bCopyTask : { FALSE, TRUE }) {
        CAPTURE(bCopyTask);
        ScriptedPlatform platform;
        MessageBoxRecorder boxes;
        platform.ServiceNamed("Spooler").dwState = SERVICE_STOPPED;
        boxes.Answer(IDYES);
        CSummaryDlg summary;
        summary.m_bCopyTask = bCopyTask;
        RunPage(summary, [&](HWND hPage) { Click(hPage, IDOK); });
        CHECK(summary.m_nResult == PAGE_NEXT);
        REQUIRE(boxes.boxes.size() == 1);
        CHECK(boxes.boxes[0].text == kStartSpooler);
        CHECK(platform.CallsTo("StartServiceA") == std::vector<std::string>{ "Spooler" });
    }

    // Declined, the program ends at once, after the one question: nothing after Finish is done.
    for (const char* pszChild : { "summary_install_declined", "summary_copy_declined" }) {
        RecordedBoxes childBoxes;
        CHECK(RunChildProcess(pszChild, &childBoxes) == 0);
        REQUIRE(childBoxes.size() == 1);
        CHECK(childBoxes[0].text == kStartSpooler);
    }
}
