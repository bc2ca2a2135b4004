// Steps and checks that the end-to-end tests of both roads share.
#pragma once
#include <doctest.h>
#include "res/resource.h"
#include "tests/harness/Lines.h"
#include "tests/harness/ListView.h"
#include "tests/harness/Process.h"
#include "tests/harness/Texts.h"
#include "tests/harness/Windows.h"
#include "vendor/pxmonitor/AddPortDialog.h"
#include <string>
#include <utility>
#include <vector>

namespace harness {

// The sample package staged at C:\<name> for setup.exe to run in; the test ends when it cannot be.
inline std::string StageSample(const std::string& name = "package")
{
    std::string package = WizardProcess::StagePackage(name);
    REQUIRE_MESSAGE(!package.empty(), "the sample package could not be staged at C:\\" << name);
    return package;
}

// The fixed texts of a dialog: its buttons and static texts, by control id.
inline std::vector<std::pair<int, std::string>> FixedTexts(HWND hDialog)
{
    std::vector<std::pair<int, std::string>> texts;
    for (HWND hChild = ::GetWindow(hDialog, GW_CHILD); hChild != NULL; hChild = ::GetWindow(hChild, GW_HWNDNEXT)) {
        std::string kind = ClassName(hChild);
        int nID = ::GetDlgCtrlID(hChild);
        if ((kind == "Button" || kind == "Static") && nID != IDC_HEADING)
            texts.push_back({ nID, WindowText(hChild) });
    }
    return texts;
}

inline INT_PTR CALLBACK IgnoreAll(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

// A page of setup.exe shows the mirrored copy of its dialog, with the texts of the English one.
inline void CheckMirrored(HWND hPage, UINT nTemplate)
{
    CAPTURE(nTemplate);
    CHECK((::GetWindowLongA(hPage, GWL_EXSTYLE) & WS_EX_LAYOUTRTL) != 0);
    HMODULE hSetup = ::LoadLibraryExA(PathFromEnvironment("WIZARD_SETUP_EXE").c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
    REQUIRE(hSetup != NULL);
    HRSRC hResource = ::FindResourceExA(hSetup, RT_DIALOG, MAKEINTRESOURCEA(nTemplate),
                                        MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
    REQUIRE(hResource != NULL);
    HWND hEnglish = ::CreateDialogIndirectParamA(NULL, (LPCDLGTEMPLATEA)::LockResource(::LoadResource(hSetup, hResource)),
                                                 NULL, &IgnoreAll, 0);
    REQUIRE(hEnglish != NULL);
    CHECK(FixedTexts(hPage).size() >= 4);
    CHECK(FixedTexts(hPage) == FixedTexts(hEnglish));
    ::DestroyWindow(hEnglish);
    ::FreeLibrary(hSetup);
}

// From the welcome page, with the copy task chosen, to the destination page; no message box
// shows on the welcome page, nor on the way.
inline HWND ChooseCopyTask(WizardProcess& wizard)
{
    HWND hWelcome = wizard.WaitForPage(IDC_INSTALL, 30000);
    REQUIRE(hWelcome != NULL);
    PostClick(hWelcome, IDC_COPY);
    WaitFor([&] { return IsChecked(hWelcome, IDC_COPY); }, 5000);
    PostClick(hWelcome, IDOK);
    CHECK(wizard.WaitForMessageBox(NULL, 10000, IDC_DRIVE) == NULL);
    HWND hDestination = wizard.WaitForPage(IDC_DRIVE, 10000);
    REQUIRE(hDestination != NULL);
    return hDestination;
}

// From the welcome page to the printer page, saying Yes when asked to start the spooler.
inline HWND OpenPrinterPage(WizardProcess& wizard, bool bSpoolerStopped)
{
    HWND hWelcome = wizard.WaitForPage(IDC_INSTALL, 30000);
    REQUIRE(hWelcome != NULL);
    PostClick(hWelcome, IDOK);
    if (bSpoolerStopped) {
        MessageBoxRecord box;
        HWND hBox = wizard.WaitForMessageBox(&box, 10000);
        REQUIRE(hBox != NULL);
        CHECK(box.text == kStartSpooler);
        CHECK(box.type == (MB_YESNO | MB_ICONQUESTION));
        AnswerMessageBox(hBox, IDYES);
    }
    HWND hPrinter = wizard.WaitForPage(IDC_NEW_PORT, 60000);
    REQUIRE(hPrinter != NULL);
    return hPrinter;
}

// The port's row in the printer page's list, or -1.
inline int ItemOf(HWND hPrinter, const std::string& port)
{
    std::vector<std::string> names = ListColumn(::GetDlgItem(hPrinter, IDC_PORTS), 0);
    for (size_t i = 0; i < names.size(); ++i) {
        if (names[i] == port)
            return (int)i;
    }
    return -1;
}

const char kAddPortTitle[] = "Add ZUV Izov Port";

// "New &VOV Port...", and the monitor's dialog answered: OK with the connection chosen, or
// Cancel. Returns the port name the dialog proposed.
inline std::string AddPortThroughMonitor(WizardProcess& wizard, HWND hPrinter, int nConnection, int nAnswer)
{
    PostClick(hPrinter, IDC_NEW_PORT);
    HWND hDialog = wizard.WaitForWindow(kAddPortTitle, 30000);
    REQUIRE(hDialog != NULL);
    CHECK(::GetWindow(hDialog, GW_OWNER) == hPrinter);
    std::string proposed = ControlText(hDialog, IDC_PORT_NAME);
    ::SendDlgItemMessageA(hDialog, IDC_CONNECTION, CB_SETCURSEL, (WPARAM)nConnection, 0);
    PostClick(hDialog, nAnswer);
    CHECK(WaitFor([&] { return !::IsWindow(hDialog); }, 10000));
    // The page lists its ports afresh once the dialog is gone.
    if (nAnswer == IDOK)
        CHECK(WaitFor([&] { return ItemOf(hPrinter, proposed) >= 0; }, 10000));
    return proposed;
}

} // namespace harness
