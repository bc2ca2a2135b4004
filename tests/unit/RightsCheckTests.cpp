// Whether this user may install.
#include <doctest.h>
#include "app/DriverWizardApp.h"
#include "app/RightsCheck.h"
#include "tests/harness/Children.h"

namespace {

// The handle a new object gets: the same before and after a call that leaves none open.
HANDLE NextHandle()
{
    HANDLE hEvent = ::CreateEventA(NULL, FALSE, FALSE, NULL);
    ::CloseHandle(hEvent);
    return hEvent;
}

bool IsImpersonating()
{
    HANDLE hToken = NULL;
    if (::OpenThreadToken(::GetCurrentThread(), TOKEN_QUERY, TRUE, &hToken)) {
        ::CloseHandle(hToken);
        return true;
    }
    return ::GetLastError() != ERROR_NO_TOKEN;
}

void SetVersion(CDriverWizardApp& app, DWORD dwPlatform, DWORD dwMajor, DWORD dwMinor)
{
    app.m_osvi.dwPlatformId = dwPlatform;
    app.m_osvi.dwMajorVersion = dwMajor;
    app.m_osvi.dwMinorVersion = dwMinor;
}

} // namespace

TEST_CHILD(is_admin)
{
    return IsAdmin(DOMAIN_ALIAS_RID_ADMINS) ? 1 : 0;
}

TEST_CASE("an administrator is one; a process whose Administrators group only denies is not")
{
    CHECK(IsAdmin(DOMAIN_ALIAS_RID_ADMINS));
    CHECK_FALSE(IsAdmin(DOMAIN_ALIAS_RID_GUESTS));
    CHECK(harness::RunChildWithoutAdminRights("is_admin") == 0);
}

TEST_CASE("the test leaves the thread in its own context and no handle open")
{
    HANDLE hBefore = NextHandle();
    for (int i = 0; i < 20; ++i) {
        IsAdmin(DOMAIN_ALIAS_RID_ADMINS);
        IsAdmin(DOMAIN_ALIAS_RID_GUESTS);
    }
    CHECK_FALSE(IsImpersonating());
    CHECK(NextHandle() == hBefore);
}

TEST_CASE("installing is refused off Windows NT 5.x and, once refused, for the rest of the run")
{
    CDriverWizardApp app;

    g_nSetupStatus = 0;
    SetVersion(app, VER_PLATFORM_WIN32_NT, 5, 1);
    app.CheckInstallRights();
    CHECK(g_nSetupStatus == 0);

    SetVersion(app, VER_PLATFORM_WIN32_NT, 6, 0);
    app.CheckInstallRights();
    CHECK(g_nSetupStatus == SETUP_NOT_PERMITTED);

    SetVersion(app, VER_PLATFORM_WIN32_NT, 5, 1);
    app.CheckInstallRights();
    CHECK(g_nSetupStatus == SETUP_NOT_PERMITTED);

    g_nSetupStatus = 0;
    SetVersion(app, VER_PLATFORM_WIN32_WINDOWS, 4, 10);
    app.CheckInstallRights();
    CHECK(g_nSetupStatus == SETUP_NOT_PERMITTED);
    g_nSetupStatus = 0;
}
