// The platform gate.
#include <doctest.h>
#include "app/DriverWizardApp.h"

namespace {

OSVERSIONINFOA Version(DWORD dwPlatform, DWORD dwMajor, DWORD dwMinor)
{
    OSVERSIONINFOA osvi = {};
    osvi.dwOSVersionInfoSize = sizeof(osvi);
    osvi.dwPlatformId = dwPlatform;
    osvi.dwMajorVersion = dwMajor;
    osvi.dwMinorVersion = dwMinor;
    return osvi;
}

} // namespace

TEST_CASE("the wizard runs on Windows NT 5.x only")
{
    CHECK(IsSupportedSystem(Version(VER_PLATFORM_WIN32_NT, 5, 0)));   // Windows 2000
    CHECK(IsSupportedSystem(Version(VER_PLATFORM_WIN32_NT, 5, 1)));   // Windows XP
    CHECK(IsSupportedSystem(Version(VER_PLATFORM_WIN32_NT, 5, 2)));   // Windows Server 2003
    CHECK_FALSE(IsSupportedSystem(Version(VER_PLATFORM_WIN32_NT, 4, 0)));
    CHECK_FALSE(IsSupportedSystem(Version(VER_PLATFORM_WIN32_NT, 6, 0)));
    CHECK_FALSE(IsSupportedSystem(Version(VER_PLATFORM_WIN32_WINDOWS, 4, 10)));
    CHECK_FALSE(IsSupportedSystem(Version(VER_PLATFORM_WIN32_WINDOWS, 5, 0)));
    CHECK_FALSE(IsSupportedSystem(Version(0, 0, 0)));  // a version record that could not be read
}

TEST_CASE("the application object starts with an empty driver name and a version record the system fills")
{
    CDriverWizardApp app;
    char* pszName = app.m_pszDriverName;
    REQUIRE(pszName != NULL);
    // Filled, the record takes no more room than it has: the members after it stay as they were.
    CHECK(::GetVersionExA(&app.m_osvi));
    CHECK(app.m_pszDriverName == pszName);
    CHECK(app.m_pszDriverName[0] == '\0');
    CHECK(app.m_pszDriverName[259] == '\0');
    CHECK(app.m_strPrintProcessor.IsEmpty());
}
