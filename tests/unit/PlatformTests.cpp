// The platform boundary: the system's INF parser and spooler with the answers the program
// relies on.
#include <doctest.h>
#include "platform/Platform.h"
#include "tests/harness/Files.h"
#include "tests/harness/Spooler.h"
#include <string>
#include <vector>

namespace {

HINF OpenTestInf(const char* pszName, PCSTR pszClass = "Printer")
{
    std::string path = harness::ProgramDirectory() + "\\" + pszName;
    UINT nErrorLine = 0;
    return ThePlatform().SetupOpenInfFileA(path.c_str(), pszClass, INF_STYLE_WIN4, &nErrorLine);
}

} // namespace

TEST_CASE("an INF of another class does not open as a printer INF")
{
    ::SetLastError(0xdeadbeef);
    CHECK(OpenTestInf("network.inf") == INVALID_HANDLE_VALUE);
    CHECK(::GetLastError() == ERROR_CLASS_MISMATCH);

    HINF hInf = OpenTestInf("network.inf", "Net");
    CHECK(hInf != INVALID_HANDLE_VALUE);
    ThePlatform().SetupCloseInfFile(hInf);

    for (const char* pszName : { "izov.inf", "byguid.inf", "lists.inf" }) {
        CAPTURE(pszName);
        hInf = OpenTestInf(pszName);
        CHECK(hInf != INVALID_HANDLE_VALUE);
        ThePlatform().SetupCloseInfFile(hInf);
    }
}

TEST_CASE("an INF of another style does not open")
{
    harness::ProgramFile unsigned_("unsigned.inf", "[Version]\nClass=Printer\n[VEL]\n\"ZUV Izov\"=X\n");
    CHECK(OpenTestInf("unsigned.inf") == INVALID_HANDLE_VALUE);
}

TEST_CASE("every INF call on a handle that did not open fails instead of crashing")
{
    HINF hInf = OpenTestInf("missing.inf");
    REQUIRE(hInf == INVALID_HANDLE_VALUE);
    INFCONTEXT context;
    ::SetLastError(0xdeadbeef);
    CHECK_FALSE(ThePlatform().SetupFindFirstLineA(hInf, "Version", NULL, &context));
    CHECK(::GetLastError() == ERROR_INVALID_HANDLE);
    CHECK(ThePlatform().SetupGetLineCountA(hInf, "Version") == -1);
    CHECK_FALSE(ThePlatform().SetupOpenAppendInfFileA("testbase.inf", hInf, NULL));
    char szLine[260];
    CHECK_FALSE(ThePlatform().SetupGetLineTextA(NULL, hInf, "Version", "Class", szLine, sizeof(szLine), NULL));
    ThePlatform().SetupCloseInfFile(hInf);
    ThePlatform().SetupCloseInfFile(NULL);
}

// What Windows's spooler refuses and Wine's takes, where the wizard relies on the refusal, the
// shipped platform refuses itself (a record without its files: the empty INF case of install).
TEST_CASE("relied on: a driver whose files are missing and a printer on a port no monitor lists are refused")
{
    DRIVER_INFO_3A driver = {};
    driver.cVersion = 3;
    driver.pName = const_cast<LPSTR>("Missing Files Driver");
    driver.pDriverPath = const_cast<LPSTR>("NOSUCHDRV.DLL");
    driver.pDataFile = const_cast<LPSTR>("DATA.GPD");
    driver.pConfigFile = const_cast<LPSTR>("UI.DLL");
    ::SetLastError(0xdeadbeef);
    CHECK_FALSE(ThePlatform().AddPrinterDriverExA(3, (LPBYTE)&driver, APD_COPY_ALL_FILES));
    CHECK(::GetLastError() == ERROR_FILE_NOT_FOUND);
    CHECK_FALSE(harness::IsDriverInstalled("Missing Files Driver"));

    PRINTER_INFO_2A printer = {};
    printer.pPrinterName = const_cast<LPSTR>("Portless");
    printer.pDriverName = const_cast<LPSTR>("Missing Files Driver");
    printer.pPrintProcessor = const_cast<LPSTR>("WinPrint");
    for (const char* pszPort : { "", "NO SUCH PORT:", "FILE:,NO SUCH PORT:" }) {
        CAPTURE(pszPort);
        printer.pPortName = const_cast<LPSTR>(pszPort);
        ::SetLastError(0xdeadbeef);
        CHECK(ThePlatform().AddPrinterA(NULL, 2, (LPBYTE)&printer) == NULL);
        CHECK(::GetLastError() == ERROR_UNKNOWN_PORT);
    }
}
