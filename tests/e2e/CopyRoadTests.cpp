// The copy road of setup.exe: the destination page, the summary, the copy and the shell window
// of the destination; and the package directory current again after browsing on the page.
#include <doctest.h>
#include "res/resource.h"
#include "tests/e2e/Roads.h"
#include "tests/harness/CodePage.h"
#include "tests/harness/Files.h"
#include "tests/harness/Keyboard.h"
#include "tests/harness/Process.h"
#include "tests/harness/Spooler.h"
#include "tests/harness/Windows.h"
#include <shlwapi.h>
#include <algorithm>
#include <string>
#include <vector>

using namespace harness;

namespace {

// The shell window is another process, started as the wizard ends: on a loaded machine its first
// start in a fresh prefix has once not shown within ten seconds.
const DWORD kShellWindowMs = 30000;

// After Finish: the program ended well, the destination and nothing else opened in a shell
// window (closed here), and the package's plain files copied there.
void CheckCopied(WizardProcess& wizard, const std::string& package, const std::string& destination)
{
    wizard.CheckEndsWell(60000);
    const std::string folder = ::PathFindFileNameA(destination.c_str());
    CHECK(CloseWindowsOfClass("ExplorerWClass", kShellWindowMs, folder.c_str()) == std::vector<std::string>{ folder });
    std::vector<std::string> files = FilesIn(package);
    REQUIRE(!files.empty());
    for (const std::string& name : files) {
        CAPTURE(name);
        CHECK(Exists(destination + "\\" + name));
    }
}

// The copy task from the welcome page: the destination typed and made with "&Create", which
// opens the tree down to it (one step up there shows its parent's path), Next, the summary naming
// it, Finish; then the copy checked.
void CopyThroughPages(WizardProcess& wizard, const std::string& package, const std::string& destination)
{
    HWND hDestination = ChooseCopyTask(wizard);
    TypeText(hDestination, IDC_DIRECTORY, destination.c_str());
    PostClick(hDestination, IDC_CREATE);
    CHECK(WaitFor([&] { return Exists(destination); }, 10000));
    CHECK(WaitFor([&] { return ControlText(hDestination, IDC_DIRECTORY) == destination; }, 10000));
    CHECK(::IsWindowVisible(hDestination));
    HWND hTree = ::GetDlgItem(hDestination, IDC_DIRECTORY_TREE);
    ::PostMessageA(hTree, WM_KEYDOWN, VK_UP, 0);
    std::string parent = destination;
    ::PathRemoveFileSpecA(&parent[0]);
    CHECK(WaitFor([&] { return ControlText(hDestination, IDC_DIRECTORY) == parent.c_str(); }, 10000));
    ::PostMessageA(hTree, WM_KEYDOWN, VK_DOWN, 0);
    CHECK(WaitFor([&] { return ControlText(hDestination, IDC_DIRECTORY) == destination; }, 10000));
    PostClick(hDestination, IDOK);

    HWND hSummary = wizard.WaitForPage(IDC_HEADING, 10000);
    REQUIRE(hSummary != NULL);
    CHECK(ControlText(hSummary, IDC_SUMMARY) == "\r\n\r\nDestination directory:\r\n\t" + destination);
    PostClick(hSummary, IDOK);
    CheckCopied(wizard, package, destination);
}

} // namespace

TEST_CASE("copy road right to left: every page mirrored, with the English texts")
{
    std::string package = StageSample();
    REQUIRE(StartSpoolerService());
    WizardProcess wizard;
    HWND hWelcome = wizard.StartAtWelcome(package);
    REQUIRE(hWelcome != NULL);
    CheckMirrored(hWelcome, IDD_WELCOME);
    HWND hDestination = ChooseCopyTask(wizard);
    CheckMirrored(hDestination, IDD_DESTINATION);
    const std::string destination = "C:\\mirrored\\copy";
    TypeText(hDestination, IDC_DIRECTORY, destination.c_str());
    PostClick(hDestination, IDOK);
    HWND hSummary = wizard.WaitForPage(IDC_HEADING, 10000);
    REQUIRE(hSummary != NULL);
    CheckMirrored(hSummary, IDD_SUMMARY);
    CHECK(ControlText(hSummary, IDC_SUMMARY) == "\r\n\r\nDestination directory:\r\n\t" + destination);
    PostClick(hSummary, IDOK);
    CheckCopied(wizard, package, destination);
}

TEST_CASE("copy road by keyboard: mnemonics, Tab, arrows in the tree, Enter")
{
    std::string package = StageSample();
    REQUIRE(StartSpoolerService());
    REQUIRE(::CreateDirectoryA("C:\\aaa-first", NULL));
    WizardProcess wizard;
    HWND hWelcome = wizard.StartAtWelcome(package);
    REQUIRE(hWelcome != NULL);
    REQUIRE(WaitForKeyboard(hWelcome, 10000));
    PressKey('C', VK_MENU);
    CHECK(WaitFor([&] { return IsChecked(hWelcome, IDC_COPY); }, 5000));
    PressKey('N', VK_MENU);
    HWND hDestination = wizard.WaitForPage(IDC_DRIVE, 10000);
    REQUIRE(hDestination != NULL);
    REQUIRE(WaitForKeyboard(hDestination, 10000));

    // From the drive to the tree, and down to its first directory.
    PressKey('D', VK_MENU);
    PressKey(VK_TAB);
    PressKey(VK_DOWN);
    CHECK(WaitFor([&] { return lstrcmpiA(ControlText(hDestination, IDC_DIRECTORY).c_str(), "C:\\aaa-first") == 0; },
                  10000));

    // A new directory typed over the edit's text and made with "&Create".
    const std::string destination = "C:\\keys\\copy";
    PressKey('I', VK_MENU);
    PressKey(VK_HOME);
    PressKey(VK_END, VK_SHIFT);
    TypeKeys(destination);
    CHECK(WaitFor([&] { return ControlText(hDestination, IDC_DIRECTORY) == destination; }, 5000));
    PressKey('C', VK_MENU);
    CHECK(WaitFor([&] { return Exists(destination); }, 10000));
    PressKey('N', VK_MENU);
    HWND hSummary = wizard.WaitForPage(IDC_HEADING, 10000);
    REQUIRE(hSummary != NULL);
    CHECK(ControlText(hSummary, IDC_SUMMARY) == "\r\n\r\nDestination directory:\r\n\t" + destination);
    REQUIRE(WaitForKeyboard(hSummary, 10000));
    PressKey(VK_RETURN);  // Finish
    CheckCopied(wizard, package, destination);
}

TEST_CASE("copy road: a directory made on the page receives the package and opens in the shell")
{
    CheckCodePage();
    std::string package = StageSample();
    REQUIRE(StartSpoolerService());  // Finish asks to start a stopped spooler, for this task too
    REQUIRE(::CreateDirectoryA((package + "\\extras").c_str(), NULL));
    REQUIRE(WriteTextFile(package + "\\extras\\notes.txt", "not part of the copy"));
    // In a double-byte code page the names hold characters whose second byte is '\' and '|'; the
    // first exists already, with a directory in it, and the tree opens it on the way down.
    const std::string copies = InCodePage(L"C:\\copiesソ");
    const std::string izov = InCodePage(L"izovポ");
    const std::string driver = InCodePage(L"driverソ");
    REQUIRE(::CreateDirectoryA(copies.c_str(), NULL));
    REQUIRE(::CreateDirectoryA((copies + "\\older").c_str(), NULL));
    WizardProcess wizard;
    REQUIRE(wizard.Start(package));

    const std::string destination = copies + "\\" + izov + "\\" + driver;
    CopyThroughPages(wizard, package, destination);
    // Nothing was made but the directories named.
    CHECK(DirectoriesIn(copies) == std::vector<std::string>{ izov, "older" });
    CHECK(DirectoriesIn(copies + "\\" + izov) == std::vector<std::string>{ driver });
    CHECK(DirectoriesIn(destination) == std::vector<std::string>{ "pxmonitor" });
    std::vector<std::string> monitorFiles = FilesIn(package + "\\pxmonitor");
    REQUIRE(!monitorFiles.empty());
    for (const std::string& name : monitorFiles) {
        CAPTURE(name);
        CHECK(Exists(destination + "\\pxmonitor\\" + name));
    }
    CHECK_FALSE(Exists(destination + "\\extras"));
}

TEST_CASE("copy: back from browsing another drive, the package directory is current again")
{
    std::string package = StageSample();
    REQUIRE(StartSpoolerService());  // Finish asks to start a stopped spooler, for this task too
    REQUIRE(::CreateDirectoryA("X:\\browsed", NULL));
    REQUIRE(::CreateDirectoryA("X:\\browsed\\deeper", NULL));
    REQUIRE(WriteTextFile("X:\\stray.txt", "not part of the package"));
    WizardProcess wizard;
    REQUIRE(wizard.Start(package));

    HWND hDestination = ChooseCopyTask(wizard);
    HWND hCombo = ::GetDlgItem(hDestination, IDC_DRIVE);
    LRESULT nDrive = ::SendMessageA(hCombo, CB_FINDSTRING, (WPARAM)-1, (LPARAM) "X:");
    REQUIRE(nDrive != CB_ERR);
    ::SendMessageA(hCombo, CB_SETCURSEL, (WPARAM)nDrive, 0);
    ::PostMessageA(hDestination, WM_COMMAND, MAKEWPARAM(IDC_DRIVE, CBN_SELCHANGE), (LPARAM)hCombo);
    CHECK(WaitFor([&] { return ControlText(hDestination, IDC_DIRECTORY) == "X:\\"; }, 10000));
    // Down to the first directory and open it, with the keys.
    HWND hTree = ::GetDlgItem(hDestination, IDC_DIRECTORY_TREE);
    ::PostMessageA(hTree, WM_KEYDOWN, VK_DOWN, 0);
    ::PostMessageA(hTree, WM_KEYDOWN, VK_RIGHT, 0);
    CHECK(WaitFor([&] { return ControlText(hDestination, IDC_DIRECTORY) == "X:\\browsed"; }, 10000));
    PostClick(hDestination, IDC_BACK);

    HWND hWelcome = wizard.WaitForPage(IDC_INSTALL, 10000);
    REQUIRE(hWelcome != NULL);
    PostClick(hWelcome, IDC_VIEW_README);
    HWND hNotepad = NULL;
    CHECK(WaitFor([&] { return (hNotepad = ::FindWindowA("Notepad", NULL)) != NULL; }, 15000));
    if (hNotepad != NULL) {
        std::string readme = WithoutCarriageReturns(FileText(package + "\\readme.txt"));
        HWND hText = ::FindWindowExA(hNotepad, NULL, "Edit", NULL);
        CHECK(WaitFor([&] { return WithoutCarriageReturns(WindowText(hText)) == readme; }, 10000));
    }
    CloseWindowsOfClass("Notepad", 0);

    // No box came of the readme (ChooseCopyTask's look); the same look finds the refusal of a
    // destination where "pxmonitor\monitorxp.inf" would not fit MAX_PATH. The page stays, with the
    // keyboard in the directory's edit.
    hDestination = ChooseCopyTask(wizard);
    const std::string tooDeep = "C:\\" + std::string(247, 'l');
    TypeText(hDestination, IDC_DIRECTORY, tooDeep.c_str());
    PostClick(hDestination, IDOK);
    MessageBoxRecord box;
    HWND hBox = wizard.WaitForMessageBox(&box, 10000, IDC_HEADING);
    REQUIRE(hBox != NULL);
    CHECK(box.text == "The name you specified contains illegal characters ! \\ \\ / : * ? < > | , or is too long. "
                      "Maximum length is 220 characters.");
    AnswerMessageBox(hBox, IDOK);
    CHECK(WaitFor([&] {
        GUITHREADINFO info = {};
        info.cbSize = sizeof(info);
        return ::GetGUIThreadInfo(::GetWindowThreadProcessId(hDestination, NULL), &info) &&
               info.hwndFocus == ::GetDlgItem(hDestination, IDC_DIRECTORY);
    }, 10000));
    CHECK(::IsWindowVisible(hDestination));
    CHECK_FALSE(Exists(tooDeep));

    // The copy takes its files from the current directory: the package's, not the drive browsed.
    const std::string destination = "C:\\after-browsing";
    TypeText(hDestination, IDC_DIRECTORY, destination.c_str());
    PostClick(hDestination, IDOK);
    HWND hSummary = wizard.WaitForPage(IDC_HEADING, 10000);
    REQUIRE(hSummary != NULL);
    PostClick(hSummary, IDOK);
    wizard.CheckEndsWell(60000);
    CHECK(CloseWindowsOfClass("ExplorerWClass", kShellWindowMs, "after-browsing") ==
          std::vector<std::string>{ "after-browsing" });
    CHECK(Exists(destination + "\\readme.txt"));
    CHECK(Exists(destination + "\\setup.exe"));
    CHECK_FALSE(Exists(destination + "\\stray.txt"));
}

TEST_CASE("bad input: a package of 2,000 files, copied whole into a directory with accented letters")
{
    std::string package = StageSample();
    REQUIRE(StartSpoolerService());
    // Names long enough that the list of them needs several of the shell's copy operations.
    for (int i = 0; i < 2000; ++i) {
        char szName[64];
        wsprintfA(szName, "\\printer-data-file-number-%04d.dat", i);
        REQUIRE(WriteTextFile(package + szName, "data"));
    }
    WizardProcess wizard;
    REQUIRE(wizard.Start(package));
    const std::string destination = "C:\\Dr\xFC" "cker\\M\xFCller B\xFCro";
    CopyThroughPages(wizard, package, destination);
    CHECK(FilesIn(destination).size() == FilesIn(package).size());
}
