// Steps and checks that the end-to-end tests of both roads share.
#pragma once
#include <doctest.h>
#include "res/resource.h"
#include "tests/harness/Lines.h"
#include "tests/harness/Process.h"
#include "tests/harness/Texts.h"
#include "tests/harness/Windows.h"
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

} // namespace harness
