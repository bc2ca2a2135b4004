// "&View Readme file" on the welcome page of setup.exe: the package's readme in the shell's
// editor, and nothing at all when the package has none.
#include <doctest.h>
#include "res/resource.h"
#include "tests/e2e/Roads.h"
#include "tests/harness/Files.h"
#include "tests/harness/Process.h"
#include "tests/harness/Windows.h"
#include <string>

using namespace harness;

namespace {

// How long an editor may take to show: seeing none in this time is what "none opens" means too.
const DWORD kEditorBoundMs = 20000;

} // namespace

TEST_CASE("readme: the package's readme opens in the editor; without one the page stays as it was")
{
    // The association every Windows installation has for text files.
    REQUIRE(::RegSetValueA(HKEY_CLASSES_ROOT, ".txt", REG_SZ, "txtfile", 7) == ERROR_SUCCESS);
    std::string package = StageSample();
    WizardProcess wizard;
    HWND hWelcome = wizard.StartAtWelcome(package);
    REQUIRE(hWelcome != NULL);

    FILETIME clicked = ProcessClock();
    PostClick(hWelcome, IDC_VIEW_README);
    HWND hEditor = NULL;
    CHECK(WaitFor([&] { return (hEditor = ::FindWindowA("Notepad", NULL)) != NULL; }, kEditorBoundMs));
    REQUIRE(hEditor != NULL);
    CHECK(ProcessesNamed("notepad.exe", &clicked).size() == 1);
    // The editor shows its window before it has read the file.
    std::string readme = WithoutCarriageReturns(FileText(package + "\\readme.txt"));
    std::string shown;
    WaitFor([&] {
        shown = WithoutCarriageReturns(WindowText(::FindWindowExA(hEditor, NULL, "Edit", NULL)));
        return shown == readme;
    }, 10000);
    CHECK(shown == readme);
    CHECK(wizard.VisibleWindows() == std::vector<HWND>{ hWelcome });
    ::PostMessageA(hEditor, WM_CLOSE, 0, 0);
    CHECK(WaitFor([&] { return !::IsWindow(hEditor); }, 10000));

    REQUIRE(::DeleteFileA((package + "\\readme.txt").c_str()));
    clicked = ProcessClock();
    PostClick(hWelcome, IDC_VIEW_README);
    bool bShown = WaitFor([&] {
        return ::FindWindowA("Notepad", NULL) != NULL || !ProcessesNamed("notepad.exe", &clicked).empty() ||
               wizard.VisibleWindows().size() > 1;
    }, kEditorBoundMs);
    CHECK_FALSE(bShown);
    CHECK(wizard.VisibleWindows() == std::vector<HWND>{ hWelcome });

    PostClick(hWelcome, IDCANCEL);
    wizard.CheckEndsWell(10000);
}
