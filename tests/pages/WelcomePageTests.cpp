// The welcome page's task choice.
#include <doctest.h>
#include "res/resource.h"
#include "tests/harness/Pages.h"
#include "tests/harness/ScriptedPlatform.h"
#include "tests/harness/Windows.h"
#include "ui/WelcomeDlg.h"

using namespace harness;

TEST_CASE("the welcome page offers both tasks with install chosen at first")
{
    ScriptedPlatform platform;  // Next with the install task checks the spooler
    CWelcomeDlg welcome;
    RunPage(welcome, [&](HWND hPage) {
        CHECK(WindowText(hPage) == "ZUV Izov Printer Driver Wizard");
        CHECK(IsEnabled(hPage, IDC_INSTALL));
        CHECK(IsChecked(hPage, IDC_INSTALL));
        CHECK_FALSE(IsChecked(hPage, IDC_COPY));
        Click(hPage, IDC_COPY);
        Click(hPage, IDOK);
    });
    CHECK(welcome.m_nResult == PAGE_NEXT);
    CHECK(welcome.m_nTask == 1);

    RunPage(welcome, [&](HWND hPage) {
        CHECK(IsChecked(hPage, IDC_COPY));
        Click(hPage, IDC_INSTALL);
        Click(hPage, IDOK);
    });
    CHECK(welcome.m_nTask == 0);
}

TEST_CASE("with installing disabled, copy is checked and install cannot be chosen")
{
    ScriptedPlatform platform;  // Next with the install task checks the spooler
    CWelcomeDlg welcome;
    welcome.m_bInstallDisabled = TRUE;
    RunPage(welcome, [&](HWND hPage) {
        CHECK_FALSE(IsEnabled(hPage, IDC_INSTALL));
        CHECK_FALSE(IsChecked(hPage, IDC_INSTALL));
        CHECK(IsChecked(hPage, IDC_COPY));
        Click(hPage, IDOK);
    });
    CHECK(welcome.m_nTask == 1);

    welcome.m_bInstallDisabled = FALSE;
    welcome.m_nTask = 0;
    RunPage(welcome, [&](HWND hPage) {
        CHECK(IsEnabled(hPage, IDC_INSTALL));
        CHECK(IsChecked(hPage, IDC_INSTALL));
        Click(hPage, IDOK);
    });
    CHECK(welcome.m_nTask == 0);
}

TEST_CASE("leaving the welcome page with Esc keeps the task chosen before")
{
    CWelcomeDlg welcome;
    welcome.m_nTask = 1;
    RunPage(welcome, [&](HWND hPage) {
        Click(hPage, IDC_INSTALL);
        ::PostMessageA(::GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0);
    });
    CHECK(welcome.m_nResult == PAGE_CANCEL);
    CHECK(welcome.m_nTask == 1);
}
