// Both roads of the wizard, run again and again with one call failing each time: each call that a
// clean run of the road makes through the platform boundary and the program's other seams (work
// buffers, shell copies, listings, new directories), with each error the call can answer. The
// steps are the program's own; the printer and destination pages are shown and driven as a user
// drives them, the welcome and summary pages answered by script. After each run the checks hold,
// or the run is named with what it broke, its steps and its boxes.
#include <doctest.h>
#include "base/ProgramEnd.h"
#include "res/resource.h"
#include "tests/harness/Files.h"
#include "tests/harness/Injection.h"
#include "tests/harness/ListView.h"
#include "tests/harness/MessageBoxes.h"
#include "tests/harness/Process.h"
#include "tests/harness/ScriptedPlatform.h"
#include "tests/harness/ScriptedWizard.h"
#include "tests/harness/Spooler.h"
#include "tests/harness/Texts.h"
#include "tests/harness/Windows.h"
#include "ui/DestinationDlg.h"
#include "ui/PrinterDlg.h"
#include "ui/WelcomeDlg.h"
#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

using namespace harness;

namespace {

const char kProcessor[] = "IzovPrint";
const char kPrinter[] = "Sweep Printer";
const char kDestination[] = "X:\\sweep\\out";
const std::vector<std::string> kMonitorFiles = { "ZADAZARE.DLL", "ZADAZARE.HLP" };
const DWORD kRunBoundMs = 15000;
const int kShowingsBound = 12;

const int KIND_PLATFORM = SEAM_KINDS;
const int KINDS = SEAM_KINDS + 1;
const char* const kKindNames[KINDS] = { "buffer",    "shell copy",  "listing",        "next entry",
                                        "new directory", "rename", "deletion", "temporary name",
                                        "file copy", "volume name", "library",   "platform call" };

bool StartsWith(const std::string& text, const std::string& start)
{
    return text.compare(0, start.size(), start) == 0;
}

// A file's text written anew: a file of the run may be a link to the package's, whose text must
// stay.
void ReplaceText(const std::string& path, const std::string& text)
{
    ::DeleteFileA(path.c_str());
    WriteTextFile(path, text);
}

// Whether the box's text is the prefix and the system's text, whole, or followed by lines of
// details (a file's name, the services not started).
bool IsWhole(const std::string& box, const std::string& prefix, const std::string& text)
{
    size_t n = prefix.size() + text.size();
    return !text.empty() && box.compare(0, n, prefix + text) == 0 &&
           (box.size() == n || text.back() == '\n' || box.compare(n, 2, "\r\n") == 0);
}

// Whether the text begins with one of the alternatives, '|' between them ("" begins any text).
bool BeginsWithAny(const std::string& text, const std::string& alternatives)
{
    for (size_t nStart = 0; nStart <= alternatives.size();) {
        size_t nEnd = std::min(alternatives.find('|', nStart), alternatives.size());
        if (StartsWith(text, alternatives.substr(nStart, nEnd - nStart)))
            return true;
        nStart = nEnd + 1;
    }
    return false;
}

// Calls of a kind: the starts of their records (an operation and its arguments, a pattern, a
// path) and of the places on the road where they are made (the flow's steps as its trace gives
// them, the pages' actions).
struct Calls {
    int nKind;
    const char* pszCalls;
    const char* pszWhere;

    bool Take(int nCallKind, const std::string& call, const std::string& where) const
    {
        return nKind == nCallKind && BeginsWithAny(call, pszCalls) && BeginsWithAny(where, pszWhere);
    }
};

// The errors a call can answer: the first rule that takes it gives them. A drive's root can be
// empty or gone; any other directory lists at least its own ".".
struct Errors {
    Calls calls;
    std::vector<DWORD> errors;
};
const Errors kErrors[] = {
    { { SEAM_ALLOCATION, "", "" }, { ERROR_NOT_ENOUGH_MEMORY } },
    { { SEAM_SHELL_COPY, "", "" }, { ERROR_ACCESS_DENIED, ERROR_CANCELLED } },
    { { SEAM_LISTING, "C:\\*.*|X:\\*.*", "" },
      { ERROR_FILE_NOT_FOUND, ERROR_NO_MORE_FILES, ERROR_NOT_READY, ERROR_BAD_NETPATH, ERROR_BAD_NET_NAME,
        ERROR_UNRECOGNIZED_VOLUME, ERROR_ACCESS_DENIED } },
    { { SEAM_LISTING, "*.*|C:\\|X:\\", "" }, { ERROR_ACCESS_DENIED } },
    { { SEAM_LISTING, "", "" }, { ERROR_FILE_NOT_FOUND, ERROR_ACCESS_DENIED } },
    { { SEAM_NEXT_ENTRY, "", "" }, { ERROR_NETNAME_DELETED } },
    { { SEAM_NEW_DIRECTORY, "", "" }, { ERROR_ACCESS_DENIED, ERROR_PATH_NOT_FOUND } },
    { { SEAM_RENAME, "", "" }, { ERROR_ACCESS_DENIED, ERROR_SHARING_VIOLATION } },
    { { SEAM_DELETION, "", "" }, { ERROR_ACCESS_DENIED, ERROR_SHARING_VIOLATION } },
    { { SEAM_TEMP_NAME, "", "" }, { ERROR_DISK_FULL } },
    { { SEAM_FILE_COPY, "", "" }, { ERROR_ACCESS_DENIED, ERROR_FILE_EXISTS } },
    { { SEAM_VOLUME, "", "" }, { ERROR_NOT_READY } },
    { { SEAM_LIBRARY, "", "" }, { ERROR_MOD_NOT_FOUND } },
    { { KIND_PLATFORM, "Reg", "" }, { ERROR_ACCESS_DENIED, ERROR_FILE_NOT_FOUND } },
    { { KIND_PLATFORM, "SetupCloseInfFile", "" }, {} },  // it has no way to fail
    { { KIND_PLATFORM, "Enum", "" }, { RPC_S_SERVER_UNAVAILABLE } },
    { { KIND_PLATFORM, "AddMonitorA", "" }, { ERROR_MOD_NOT_FOUND } },
    { { KIND_PLATFORM, "AddPortA", "" }, { ERROR_NOT_SUPPORTED } },
    { { KIND_PLATFORM, "OpenPrinterA", "" }, { ERROR_INVALID_PRINTER_NAME } },
    { { KIND_PLATFORM, "ClosePrinter|CloseServiceHandle", "" }, { ERROR_INVALID_HANDLE } },
    { { KIND_PLATFORM, "AddPrinterDriverExA|AddPrintProcessorA", "" }, { ERROR_ACCESS_DENIED, ERROR_FILE_NOT_FOUND } },
    { { KIND_PLATFORM, "AddPrinterA", "" }, { ERROR_ACCESS_DENIED, ERROR_PRINTER_ALREADY_EXISTS } },
    { { KIND_PLATFORM, "OpenServiceA", "" }, { ERROR_ACCESS_DENIED, ERROR_SERVICE_DOES_NOT_EXIST } },
    { { KIND_PLATFORM, "StartServiceA", "" }, { ERROR_SERVICE_DISABLED, ERROR_SERVICE_REQUEST_TIMEOUT } },
    { { KIND_PLATFORM, "ControlService", "" }, { ERROR_DEPENDENT_SERVICES_RUNNING, ERROR_SERVICE_CANNOT_ACCEPT_CTRL } },
    { { KIND_PLATFORM, "SetupOpenAppendInfFileA", "" }, { ERROR_FILE_NOT_FOUND } },
    { { KIND_PLATFORM, "SetupFind", "" }, { ERROR_LINE_NOT_FOUND } },
    { { KIND_PLATFORM, "SetupGetStringFieldA|SetupGetLineTextA", "" }, { ERROR_INSUFFICIENT_BUFFER } },
    { { KIND_PLATFORM, "SetupGetFieldCount", "" }, { ERROR_INVALID_PARAMETER } },
    { { KIND_PLATFORM, "SetupGetLineCountA", "" }, { ERROR_SECTION_NOT_FOUND } },
    { { KIND_PLATFORM, "", "" }, { ERROR_ACCESS_DENIED } },
};

// Failures the user need not hear of, and why nothing is lost by the silence. These runs are
// still held to nothing lost and nothing half-done.
struct Silence {
    Calls calls;
    const char* pszWhy;
};
const Silence kSilences[] = {
    { { SEAM_ALLOCATION, "", "" }, "a work buffer that cannot be had skips its step without a word: the "
                                   "program's rule" },
    { { KIND_PLATFORM, "Setup", "rights" }, "an INF that cannot be read is no driver INF: installing is not offered" },
    { { KIND_PLATFORM, "SetupFind|SetupGet|SetupOpenAppendInfFileA", "" },
      "these errors say a key, section, field or included INF is not there, or a value too long to read: the reader "
      "takes the INF's word, an empty value, and the driver is installed as such an INF describes; a value the "
      "registration needs makes the spooler refuse it, and that is shown" },
    { { KIND_PLATFORM, "SetupOpenInfFileA", "driver: registration" }, "an INF whose catalog cannot be read is kept by "
                                                                      "the OEM copy" },
    { { KIND_PLATFORM, "SetupCopyOEMInfA", "" }, "the OEM copy of the INF is made instead" },
    { { SEAM_FILE_COPY, "", "driver: registration" }, "the OEM copy of the INF is kept or not without a word; the "
                                                      "driver is registered all the same" },
    { { SEAM_VOLUME, "", "destination" }, "a drive whose volume name cannot be read is listed without it" },
    { { KIND_PLATFORM, "Reg", "monitor|printer: new port" }, "an installed monitor whose version cannot be read is "
                                                             "kept, as one whose package gives no version is" },
    { { KIND_PLATFORM, "Reg", "printer" }, "a port whose connection cannot be read is listed without it" },
    { { SEAM_LISTING, "izov.cat", "" }, "without its catalog the INF is kept by the OEM copy" },
    { { SEAM_LISTING, "sweep-install.inf|C:\\windows\\inf\\OEM", "driver: registration" },
      "the OEM copy of the INF is kept or not without a word; the driver is registered all the same, and a later "
      "installation makes the copy" },
    { { SEAM_LISTING, "*.inf", "" }, "a package whose INF cannot be listed offers no installing; nothing is touched" },
    { { SEAM_LISTING, "*.*", "welcome" }, "the longest path of the package is sought before the destination page; "
                                          "the copy still refuses, and says, a path that would not fit" },
    { { SEAM_NEXT_ENTRY, "*.*", "welcome" }, "as for the listing the next entry belongs to" },
    { { SEAM_LISTING, "", "destination" }, "the tree shows what it can list; the drive is checked apart from it" },
    { { SEAM_NEXT_ENTRY, "", "destination" }, "the tree shows what it can list; the drive is checked apart from it" },
    { { SEAM_NEW_DIRECTORY, "", "monitor|printer|summary|api-dll|driver|copy" },
      "a copy's target directory that cannot be made fails the copy into it, and the shell says so" },
    { { KIND_PLATFORM, "OpenPrinterA", "" }, "a name that cannot be opened is free: one taken after all is refused, "
                                             "with its message, by AddPrinterA" },
    { { KIND_PLATFORM, "ClosePrinter|CloseServiceHandle", "" }, "a handle left open changes nothing installed" },
    { { KIND_PLATFORM, "OpenSCManagerA|OpenServiceA Spooler|QueryServiceStatus Spooler", "printer: next" },
      "the printer page's look at the spooler has no use for its answer; a spooler that is down fails the "
      "installation's own calls, which say so" },
    { { KIND_PLATFORM, "OpenSCManagerA|OpenServiceA Spooler|QueryServiceStatus Spooler", "welcome|summary" },
      "the page's look at the spooler has no use for its answer; a spooler that is down fails the installation's "
      "own calls, which say so" },
    { { KIND_PLATFORM, "EnumPortsA", "" }, "without the spooler's list the file port alone is offered" },
    { { KIND_PLATFORM, "EnumMonitorsA", "" }, "an unread list counts as no monitor: AddMonitorA installs it or its "
                                              "refusal is shown" },
    { { KIND_PLATFORM, "DeletePrintProcessorA", "" }, "the processor stays registered, as one in use, and its "
                                                      "file is replaced, the old one moved aside" },
    { { KIND_PLATFORM, "EnumPrintersA", "driver: print processor" },
      "printers that cannot be listed may use the print processor: it is kept registered, its file moved aside and "
      "replaced, as for one in use" },
};

// Failures that the installation goes on after: the road still ends with the printer.
const Calls kGoingOn[] = {
    { KIND_PLATFORM, "AddMonitorA", "monitor" },
    { KIND_PLATFORM, "EnumPortsA", "printer" },
    { KIND_PLATFORM, "EnumPrintProcessorsA", "driver" },
    { KIND_PLATFORM, "OpenSCManagerA|OpenServiceA lanmanserver|QueryServiceStatus lanmanserver", "create" },
};

// The spooler, refusing what the real one refuses, and telling where the driver's installation
// turns to the print processor and back.
class Spooler : public ScriptedPlatform {
public:
    std::function<void(const std::string& where)> onProcessor;

    BOOL EnumPrintProcessorsA(LPSTR pEnv, DWORD dwLevel, LPBYTE p, DWORD cb, LPDWORD pcbNeeded, LPDWORD pc) override
    {
        if (p == NULL)
            onProcessor("driver: print processor");
        return ScriptedPlatform::EnumPrintProcessorsA(pEnv, dwLevel, p, cb, pcbNeeded, pc);
    }
    BOOL AddPrintProcessorA(LPSTR pEnvironment, LPSTR pPathName, LPSTR pName) override
    {
        BOOL bAdded = ScriptedPlatform::AddPrintProcessorA(pEnvironment, pPathName, pName);
        DWORD dwError = ::GetLastError();
        onProcessor("driver: registration");
        ::SetLastError(dwError);
        return bAdded;
    }
    BOOL AddPrinterDriverExA(DWORD dwLevel, LPBYTE pInfo, DWORD dwFlags) override
    {
        if (!ScriptedPlatform::AddPrinterDriverExA(dwLevel, pInfo, dwFlags))
            return FALSE;
        const Driver& driver = drivers.back();
        std::vector<std::string> files = { driver.driverPath, driver.dataFile, driver.configFile };
        files.insert(files.end(), driver.dependentFiles.begin(), driver.dependentFiles.end());
        for (const std::string& file : files) {
            if (file.empty() || !Exists(driverDirectory + "\\" + file))
                return Refuse(drivers, file.empty() ? ERROR_INVALID_PARAMETER : ERROR_FILE_NOT_FOUND) != NULL;
        }
        return TRUE;
    }
    HANDLE AddPrinterA(LPSTR pName, DWORD dwLevel, LPBYTE pInfo) override
    {
        HANDLE hPrinter = ScriptedPlatform::AddPrinterA(pName, dwLevel, pInfo);
        if (hPrinter == NULL)
            return NULL;
        const Printer& printer = printers.back();
        DWORD dwError =
            std::none_of(drivers.begin(), drivers.end(), [&](const Driver& d) { return d.name == printer.driver; })
                ? ERROR_UNKNOWN_PRINTER_DRIVER
            : std::count(printProcessors.begin(), printProcessors.end(), printer.printProcessor) == 0
                ? ERROR_UNKNOWN_PRINTPROCESSOR
            : std::none_of(ports.begin(), ports.end(), [&](const Port& p) { return p.name == printer.port; })
                ? ERROR_UNKNOWN_PORT
                : ERROR_SUCCESS;
        if (dwError == ERROR_SUCCESS)
            return hPrinter;
        m_openPrinters.erase(m_openPrinters.find(hPrinter));
        return Refuse(printers, dwError);
    }

private:
    template <typename List>
    HANDLE Refuse(List& list, DWORD dwError)
    {
        list.pop_back();
        ::SetLastError(dwError);
        return NULL;
    }
};

// ---- The worlds a road runs in.

enum Road { INSTALL_ROAD, COPY_ROAD };

struct Variant {
    const char* pszName;
    Road road;
    const char* pszProcessorFile;  // as the driver INF names it
    bool bMonitorInstalled;
    bool bProcessorRegistered;     // with its file in the print processor directory
    bool bProcessorInUse;          // by a printer
    bool bOlderMonitor;            // an upgrade, answered Yes; the printer page makes a new port
    const char* pszLeftOut;        // a file of the package left out of it (the INF's catalog), or ""
    // The stretch of the road whose calls fail in turn (places, '|' between them; "" the whole
    // road, NULL the clean run alone): the first variant of a road sweeps the whole road, the
    // others the stretch where what they hold is moved aside or replaced.
    const char* pszStretch;
};

const Variant kVariants[] = {
    { "nothing installed yet", INSTALL_ROAD, "IZOVPP.DLL", false, false, false, false, "", "" },
    { "the print processor registered and unused", INSTALL_ROAD, "IZOVPP.DLL", true, true, false, false, "izov.cat",
      "driver: print processor|driver: registration" },
    { "the print processor in use", INSTALL_ROAD, "IZOVPP.DLL", true, true, true, false, "izov.cat",
      "driver: print processor" },
    { "an older monitor installed", INSTALL_ROAD, "IZOVPP.DLL", true, false, false, true, "izov.cat",
      "printer: new port" },
    { "an older monitor installed, a file of the new one missing", INSTALL_ROAD, "IZOVPP.DLL", true, false, false,
      true, "pxmonitor\\ZADAZARE.HLP", NULL },
    { "the print processor's file missing from the package", INSTALL_ROAD, "IZOVPP.DLL", true, true, true, false,
      "IZOVPP.DLL", NULL },
    { "a print processor file named with a path", INSTALL_ROAD, "..\\..\\x.dll", true, true, true, false, "izov.cat",
      NULL },
    { "a print processor file named with a wildcard", INSTALL_ROAD, "*.DLL", true, true, true, false, "izov.cat", NULL },
    { "the print processor in use, registered with a file of another name", INSTALL_ROAD, "IZOVPP2.DLL", true, true,
      true, false, "izov.cat", NULL },
    { "the sample package", COPY_ROAD, "IZOVPP.DLL", false, false, false, false, "izov.cat", "" },
};

// Stand-ins for the sample package's files (setup.exe aside) and its monitor directory, with its
// driver INF naming the variant's print processor file, made once for all runs of a variant. The
// INF is read from the test program's directory, and the monitor's version from its "pxmonitor",
// as setup.exe reads both from its own; each road's INF has a name of its own there, as the two
// roads may run at once.
struct Package {
    TempDirectory directory;
    std::unique_ptr<ProgramFile> inf;
    std::vector<std::string> files;  // every file the copy road copies, relative to the package

    explicit Package(const Variant& variant) : directory("sweep-package")
    {
        std::string sample = PathFromEnvironment("WIZARD_PACKAGE_DIR");
        std::string infText = FileText(sample + "\\izov.inf");
        infText.replace(infText.find("IZOVPP.DLL"), 10, variant.pszProcessorFile);
        const char* pszInf = variant.road == INSTALL_ROAD ? "sweep-install.inf" : "sweep-copy.inf";
        inf.reset(new ProgramFile(pszInf, infText));
        ::CreateDirectoryA((directory.path + "\\pxmonitor").c_str(), NULL);
        for (const std::string& sub : { std::string(), std::string("pxmonitor\\") }) {
            for (std::string name : FilesIn(sample + "\\" + sub)) {
                if (name == "setup.exe" || sub + name == variant.pszLeftOut)
                    continue;
                bool bText = name.find(".inf") != std::string::npos || name == "izov.cat";
                std::string text = bText ? FileText(sample + "\\" + sub + name) : "stand-in for " + name;
                if (name == "izov.inf") {
                    name = pszInf;
                    text = infText;
                }
                REQUIRE(WriteTextFile(directory.path + "\\" + sub + name, text));
                files.push_back(sub + name);
            }
        }
        // The print processor file the INF names, where it is a file name the sample lacks.
        std::string processor = variant.pszProcessorFile;
        if (processor.find_first_of("\\/:*?") == std::string::npos && processor != variant.pszLeftOut &&
            !Exists(directory.path + "\\" + processor))
            REQUIRE(WriteTextFile(directory.path + "\\" + processor, "stand-in for " + processor));
    }
};

// A place on the road, with the number of calls of each kind made before it.
struct Mark {
    std::string where;
    size_t counts[KINDS];
};

std::string WhereOf(const std::vector<Mark>& marks, int nKind, size_t k)
{
    std::string where = "start";
    for (const Mark& mark : marks)
        where = mark.counts[nKind] <= k ? mark.where : where;
    return where;
}

// The call that fails, as the clean run made it.
struct Failure {
    int nKind = -1;  // none: the clean run
    size_t k = 0;
    DWORD dwError = 0;
    std::string call;
    std::string where;
    bool bDriveCheck = false;  // the destination page's check of a chosen or typed drive
    // After the real page: the page is answered by script as the clean run answered it, and k
    // counts the road's calls without the page's.
    bool bPageScripted = false;
    std::string driver;  // the driver as the clean run registered it (DriverText)
};

// Every field of a driver record, in one line.
std::string DriverText(const ScriptedPlatform::Driver& driver)
{
    std::string text = driver.name + "|" + driver.driverPath + "|" + driver.dataFile + "|" + driver.configFile + "|" +
                       driver.helpFile + "|" + driver.defaultDataType + "|";
    for (const std::string& file : driver.dependentFiles)
        text += file + ",";
    return text;
}

struct ProgramEnded {};
bool g_bEnded = false;

void EndByThrowing(UINT)
{
    g_bEnded = true;
    throw ProgramEnded();
}

// One run of a road in its variant's world, and its checks.
class Run {
public:
    const Variant& variant;
    const Package& package;
    const Failure failure;
    std::vector<Mark> marks;
    std::vector<std::string> violations;
    ScriptedWizard wizard;
    Spooler platform;
    Injection injection;
    MessageBoxRecorder boxes;
    SkippedPauses pauses;
    TempDirectory root;
    std::string processors;
    std::string before = CurrentDirectory();
    std::map<std::string, ScriptedPlatform::Service> servicesBefore;
    std::unique_ptr<RegisteredMonitor> olderMonitor;
    int nShowings = 0;
    bool bPassed = false;              // the real page was left with Next
    bool bRetried = false;             // and the road taken again after a failure
    size_t nNewPortCalls = 0;          // the seams' calls when "New VOV Port" was clicked
    bool bEnded = false;

    Run(const Variant& variant_, const Package& package_, const Failure& failure_)
        : variant(variant_), package(package_), failure(failure_), root("sweep-run"),
          processors(root.path + "\\prtprocs")
    {
        ::CreateDirectoryA(processors.c_str(), NULL);
        ::CreateDirectoryA((root.path + "\\drivers").c_str(), NULL);
        platform.driverDirectory = root.path + "\\drivers";
        platform.processorDirectory = processors;
        platform.ports = { { "LPT1:", "Local Port", "" }, { "FILE:", "Local Port", "" }, { "PX1", kMonitorName, "" } };
        platform.printProcessors = { "WinPrint" };
        platform.services["lanmanserver"] = ScriptedPlatform::Service();
        if (variant.bMonitorInstalled)
            platform.monitors = { { kMonitorName, "Windows NT x86", "ZADAZARE.DLL" } };
        if (variant.bProcessorRegistered) {
            // An earlier installation: its processor, and its driver's files.
            platform.printProcessors.push_back(kProcessor);
            WriteTextFile(processors + "\\IZOVPP.DLL", "old processor");
            for (const char* pszFile : { "IZOV.GPD", "IZOVDRV.DLL", "IZOVUI.DLL", "IZOV.HLP" })
                WriteTextFile(platform.driverDirectory + "\\" + pszFile, std::string("old ") + pszFile);
        }
        if (variant.bProcessorInUse)
            platform.printers = { { "Old", "LPT1:", "Old Driver", kProcessor, "" } };
        WriteTextFile(root.path + "\\x.dll", "not the print processor's");
        if (variant.bOlderMonitor) {
            platform.services["Fax"].dependsOn = { "Spooler" };
            olderMonitor.reset(new RegisteredMonitor(kMonitorName, "ZADAZARE.DLL", "1.0.0.3"));
            platform.portToAdd = "PX9";
            platform.whileAddingPort = [this](HWND) { CheckUpgradeCopied(); };
        }
        servicesBefore = platform.services;
        wizard.bRealSteps = wizard.bRealInfSearch = true;
        wizard.nextShowing = [this](CDialog& page) { return NextShowing(page); };
        // The welcome page: the road's task and Next, or Cancel where installing is not offered;
        // the summary page: Finish.
        wizard.realPages[IDD_WELCOME] = [this](CDialog&, HWND hPage) {
            bool bCancel = Bounded() || (variant.road == INSTALL_ROAD && !IsEnabled(hPage, IDC_INSTALL));
            Click(hPage, variant.road == COPY_ROAD ? IDC_COPY : IDC_INSTALL);
            Click(hPage, bCancel ? IDCANCEL : IDOK);
            StopIfEnded();
        };
        wizard.realPages[IDD_PRINTER] = [this](CDialog& page, HWND hPage) { PrinterPage(page, hPage); };
        wizard.realPages[IDD_DESTINATION] = [this](CDialog& page, HWND hPage) { DestinationPage(page, hPage); };
        wizard.realPages[IDD_SUMMARY] = [this](CDialog&, HWND hPage) {
            Click(hPage, Bounded() ? IDCANCEL : IDOK);
            StopIfEnded();
        };
        // The printer and destination pages are real until the user has passed them; the welcome
        // and summary pages are real where the whole road is swept (elsewhere their calls are not).
        bool bWholeRoad = variant.pszStretch != NULL && variant.pszStretch[0] == '\0';
        wizard.isShownForReal = [this, bWholeRoad](CDialog& page) {
            if (page.m_nIDTemplate == IDD_WELCOME || page.m_nIDTemplate == IDD_SUMMARY)
                return bWholeRoad;
            return !bPassed && !failure.bPageScripted;
        };
        // The monitor's files of an earlier installation, in the system directory.
        for (const std::string& name : kMonitorFiles)
            ReplaceText(SystemDirectoryFile(name.c_str()), "old " + name);
        wizard.onStep = platform.onProcessor = [this](const std::string& where) { Note(where); };
        if (failure.bPageScripted) {
            ::CreateDirectoryA("X:\\sweep", NULL);
            ::CreateDirectoryA(kDestination, NULL);
        }
        ::SetCurrentDirectoryA(package.directory.path.c_str());
        if (failure.nKind == KIND_PLATFORM)
            platform.FailCall(failure.k, failure.dwError);
        else if (failure.nKind >= 0)
            injection.Fail((SeamKind)failure.nKind, failure.k, failure.dwError);
        for (int i = 0; i < 20; ++i)
            boxes.Answer(IDYES);
    }
    ~Run()
    {
        ::SetCurrentDirectoryA(before.c_str());
        RemoveTree("X:\\sweep");
        boxes.boxes.size();  // the checks read them all
    }

    size_t Count(int nKind) const
    {
        return nKind == KIND_PLATFORM ? platform.calls.size() : injection.Count((SeamKind)nKind);
    }
    std::string CallText(int nKind, size_t k) const
    {
        if (nKind == KIND_PLATFORM)
            return k < platform.calls.size() ? platform.calls[k] : std::string();
        for (const SeamCall& call : injection.calls) {
            if (call.kind == nKind && k-- == 0)
                return call.what;
        }
        return std::string();
    }
    void Note(const std::string& where)
    {
        marks.push_back(Mark{ where, {} });
        for (int nKind = 0; nKind < KINDS; ++nKind)
            marks.back().counts[nKind] = Count(nKind);
    }
    bool Has(const std::string& line) const
    {
        return std::find(wizard.trace.begin(), wizard.trace.end(), line) != wizard.trace.end();
    }
    void Violation(const std::string& text) { violations.push_back(text); }

    void Go()
    {
        g_bEnded = false;
        ProgramEndFunction pfnEnd = SetProgramEndFunction(&EndByThrowing);
        DWORD dwStart = ::GetTickCount();
        try {
            wizard.RunFromWelcome();
        } catch (const ProgramEnded&) {
            bEnded = true;
        }
        DWORD dwMs = ::GetTickCount() - dwStart;
        SetProgramEndFunction(pfnEnd);
        if (dwMs > kRunBoundMs)
            Violation("hang: the run took " + std::to_string(dwMs) + " ms");
        if (!bEnded && wizard.m_nWaitCursorCount != 0)
            Violation("the wait cursor is left on");
        if (!bEnded && platform.OpenPrinterHandles() != 0)
            Violation("a printer handle is left open");
        if (platform.ClosedUnknownPrinter())
            Violation("a printer handle never given was closed");
        if (std::any_of(injection.calls.begin(), injection.calls.end(), [](const SeamCall& call) {
                return call.kind == SEAM_FILE_COPY && call.what.size() > 5 &&
                       call.what.compare(call.what.size() - 5, 5, " over") == 0;
            }))
            Violation("a file copy may overwrite a file that is there");
        if (!bEnded && platform.OpenServiceHandles() != 0 && !StartsWith(failure.call, "CloseServiceHandle"))
            Violation("a service handle is left open");
        if (!bEnded && lstrcmpiA(CurrentDirectory().c_str(), package.directory.path.c_str()) != 0)
            Violation("the current directory is " + CurrentDirectory() + ", not the package's");
        CheckShown();
        CheckNothingLost();
        CheckNothingHalfDone();
        CheckServices();
    }

    // ---- The user, as the pages meet him.

    // Counts the showing: past the bound the road is taken not to end.
    bool Bounded()
    {
        if (++nShowings <= kShowingsBound)
            return false;
        Violation("hang: the road had not ended after " + std::to_string(kShowingsBound) + " pages");
        return true;
    }
    // Where the program ended inside a page, the framework kept the end from the flow: the run
    // ends there too.
    void StopIfEnded() const
    {
        if (g_bEnded)
            throw ProgramEnded();
    }
    // The welcome and summary pages go on. A real page answered by script takes the clean run's
    // answer; met again after the installation or the copy failed, it is where the user tries
    // once more, and then gives up.
    Showing NextShowing(CDialog& page)
    {
        Showing showing = { page.m_nIDTemplate, Bounded() ? PAGE_CANCEL : PAGE_NEXT };
        if (page.m_nIDTemplate == IDD_PRINTER || page.m_nIDTemplate == IDD_DESTINATION) {
            // A user who gives up here must have lost nothing; trying again may mend a loss.
            if (bPassed && !bRetried)
                CheckNothingLost();
            showing.nResult = bRetried ? PAGE_CANCEL : showing.nResult;
            bRetried = bPassed;
            bPassed = true;
            showing.pszPrinter = kPrinter;
            showing.pszPort = variant.bOlderMonitor ? "PX9" : "PX1";
            showing.pszPath = kDestination;
        } else if (page.m_nIDTemplate == IDD_WELCOME) {
            showing.nTask = variant.road == COPY_ROAD ? 1 : 0;
            if (variant.road == INSTALL_ROAD && static_cast<CWelcomeDlg&>(page).m_bInstallDisabled)
                showing.nResult = PAGE_CANCEL;
        }
        return showing;
    }
    // Next may be pressed only while a listed port is selected, and it hands on that port; the
    // file port is always offered.
    void CheckNext(CPrinterDlg& printer, HWND hPage)
    {
        std::vector<std::string> ports = ListColumn(printer.m_listPorts.m_hWnd, 0);
        int nItem = SelectedListItem(printer.m_listPorts.m_hWnd);
        if (IsEnabled(hPage, IDOK) && (nItem < 0 || ports[nItem] != printer.m_pszPortName))
            Violation("Next enabled with no port selected (held: \"" + std::string(printer.m_pszPortName) + "\")");
        if (failure.nKind != SEAM_ALLOCATION && std::count(ports.begin(), ports.end(), "FILE:") == 0)
            Violation("the file port is not offered");
    }
    void PrinterPage(CDialog& page, HWND hPage)
    {
        CPrinterDlg& printer = static_cast<CPrinterDlg&>(page);
        auto choose = [&](const char* pszPort) {
            std::vector<std::string> ports = ListColumn(printer.m_listPorts.m_hWnd, 0);
            auto wanted = std::find(ports.begin(), ports.end(), pszPort);
            if (!ports.empty())
                SelectListItem(printer.m_listPorts.m_hWnd, wanted == ports.end() ? 0 : (int)(wanted - ports.begin()));
            CheckNext(printer, hPage);
        };
        if (Bounded())
            return Click(hPage, IDCANCEL);
        CheckNext(printer, hPage);
        Note("printer: port and name");
        TypeText(hPage, IDC_PRINTER_NAME, kPrinter);
        choose("PX1");
        // Having chosen a port, the user makes a new one and takes it.
        if (variant.bOlderMonitor) {
            Note("printer: new port");
            nNewPortCalls = injection.calls.size();
            Click(hPage, IDC_NEW_PORT);
            StopIfEnded();
            CheckNext(printer, hPage);
            choose("PX9");
        }
        if (IsEnabled(hPage, IDOK)) {
            Note("printer: next");
            Click(hPage, IDOK);
            StopIfEnded();
        }
        // A user who cannot go on tries again from the welcome page.
        bPassed = !::IsWindowVisible(hPage);
        if (!bPassed)
            Click(hPage, IDC_BACK);
    }
    // The drive list and the tree show the same drive, where both show one.
    void CheckSameDrive(CDestinationDlg& destination)
    {
        std::string drive = WindowText(destination.m_cbDrive.m_hWnd);
        HTREEITEM hRoot = destination.m_treeDir.GetRootItem();
        std::string tree = hRoot != NULL ? (LPCSTR)destination.m_treeDir.GetItemText(hRoot) : "";
        if (!drive.empty() && !tree.empty() && toupper((unsigned char)drive[0]) != toupper((unsigned char)tree[0]))
            Violation("the drive list shows \"" + drive + "\", the tree \"" + tree + "\"");
    }
    void DestinationPage(CDialog& page, HWND hPage)
    {
        CDestinationDlg& destination = static_cast<CDestinationDlg&>(page);
        if (Bounded())
            return Click(hPage, IDCANCEL);
        CheckSameDrive(destination);
        Note("destination: choose drive");
        destination.m_cbDrive.SetCurSel(destination.m_cbDrive.FindString(-1, "X:"));
        size_t nBoxes = boxes.boxes.size();
        ::SendMessageA(hPage, WM_COMMAND, MAKEWPARAM(IDC_DRIVE, CBN_SELCHANGE), (LPARAM)destination.m_cbDrive.m_hWnd);
        StopIfEnded();
        CheckSameDrive(destination);
        // A drive taken without a word is shown from its root, which is current (unless a work
        // buffer skipped the showing).
        if (boxes.boxes.size() == nBoxes && failure.nKind != SEAM_ALLOCATION &&
            (ControlText(hPage, IDC_DIRECTORY) != "X:\\" || lstrcmpiA(CurrentDirectory().c_str(), "X:\\") != 0))
            Violation("drive X: taken, the page shows " + ControlText(hPage, IDC_DIRECTORY));
        TypeText(hPage, IDC_DIRECTORY, kDestination);
        Note("destination: next");
        Click(hPage, IDOK);
        StopIfEnded();
        bPassed = !::IsWindowVisible(hPage);
        if (!bPassed) {
            CheckSameDrive(destination);
            Click(hPage, IDC_BACK);
        }
    }
    // The port dialog comes only after an upgrade that put the monitor's files in place (an
    // installed version that could not be read asks for no upgrade).
    void CheckUpgradeCopied()
    {
        if (failure.nKind == KIND_PLATFORM && StartsWith(failure.call, "Reg"))
            return;
        char szSystem[MAX_PATH];
        UINT cchSystem = ::GetSystemDirectoryA(szSystem, MAX_PATH);
        if (std::none_of(injection.calls.begin() + nNewPortCalls, injection.calls.end(), [&](const SeamCall& call) {
                return call.kind == SEAM_SHELL_COPY && !call.bFailed &&
                       lstrcmpiA(call.what.substr(0, cchSystem).c_str(), szSystem) == 0;
            }))
            Violation("an upgrade whose files were not copied counted as done: the port dialog came");
    }

    // ---- The checks.

    // The failure reached the user: a box with the system's text for it (or the page's own word
    // for a drive that is not ready), told as a failure; or a shell that speaks for its own copy;
    // or a failure that may be silent, or that was overcome.
    void CheckShown()
    {
        if (failure.nKind < 0)
            return;
        char szText[1024] = "";
        ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL, failure.dwError,
                         MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), szText, sizeof(szText), NULL);
        std::vector<std::string> accepted = { szText };
        if (failure.bDriveCheck) {
            // An empty drive is a ready one that lists nothing: nothing to refuse, nothing to say.
            if (failure.dwError == ERROR_FILE_NOT_FOUND || failure.dwError == ERROR_NO_MORE_FILES) {
                if (!boxes.boxes.empty())
                    Violation("an empty drive was refused: " + boxes.boxes[0].text);
                return;
            }
            if (failure.dwError == ERROR_NOT_READY)
                accepted = { "Drive X: is not ready.", "Cannot copy files to this drive." };
        } else if (std::any_of(std::begin(kSilences), std::end(kSilences), [&](const Silence& silence) {
                       return silence.calls.Take(failure.nKind, failure.call, failure.where);
                   })) {
            return;
        }
        // A directory there in the end was made after all; an old file that could not be deleted
        // goes at the system's next start; a call tried again at once was answered.
        if ((failure.nKind == SEAM_NEW_DIRECTORY && Exists(failure.call)) ||
            (failure.nKind == SEAM_DELETION &&
             std::any_of(injection.calls.begin(), injection.calls.end(), [&](const SeamCall& call) {
                 return call.kind == SEAM_RENAME && call.what == CallText(SEAM_DELETION, failure.k) + " at restart";
             })) ||
            ((failure.nKind == KIND_PLATFORM || failure.nKind == SEAM_NEW_DIRECTORY) &&
             CallText(failure.nKind, failure.k + 1) == CallText(failure.nKind, failure.k)))
            return;
        if (std::any_of(injection.calls.begin(), injection.calls.end(), [&](const SeamCall& call) {
                return call.kind == SEAM_SHELL_COPY && call.bFailed &&
                       (call.bErrorUi || (failure.nKind == SEAM_SHELL_COPY && failure.dwError == ERROR_CANCELLED));
            }))
            return;
        // The whole box: the system's text alone, or with one line naming a file after it, under
        // "Unable to complete the install." (the destination page's under the program's
        // caption); or after a prefix of the spooler's steps, for a call of the service manager.
        const std::string& text = accepted[0];
        bool bServiceCall = BeginsWithAny(failure.call, "OpenSCManagerA|OpenServiceA|QueryServiceStatus|"
                                                        "StartServiceA|ControlService|EnumDependentServicesA");
        bool bErrorBox = false;
        for (size_t i = 0; i < boxes.boxes.size(); ++i) {
            const MessageBoxRecord& box = boxes.boxes[i];
            bool bWarns = (box.type & MB_ICONMASK) == MB_ICONERROR || (box.type & MB_ICONMASK) == MB_ICONEXCLAMATION;
            bErrorBox = bErrorBox || bWarns;
            if (failure.bDriveCheck) {
                if (std::find(accepted.begin(), accepted.end(), box.text) == accepted.end())
                    continue;
            } else if (!IsWhole(box.text, "", text) &&
                       !(bServiceCall &&
                         std::any_of(std::begin(kSpoolerPrefixes), std::end(kSpoolerPrefixes),
                                     [&](const char* pszPrefix) { return IsWhole(box.text, pszPrefix, text); }))) {
                continue;
            }
            bool bAlone = IsWhole(box.text, "", text) && !StartsWith(failure.where, "destination");
            if (bAlone ? box.type != (MB_OK | MB_ICONERROR) || box.caption != kErrorCaption
                       : !bWarns || box.caption != kCaption)
                Violation("the failure was told in a box \"" + box.caption + "\" that is no error's");
            return;
        }
        // An INF that cannot be opened shows through the registration the spooler then refuses.
        if (!(bErrorBox && failure.nKind == KIND_PLATFORM && StartsWith(failure.call, "SetupOpenInfFileA") &&
              BeginsWithAny(failure.where, "summary|driver inf")))
            Violation("failure not shown" + std::string(bErrorBox ? " (only another error's box)" : ""));
    }
    // What the wizard moved aside, unregistered or replaced is back, or still there: the old
    // file, or the package's with the driver registered on it.
    void CheckNothingLost()
    {
        if (variant.bProcessorRegistered) {
            if (std::count(platform.printProcessors.begin(), platform.printProcessors.end(), kProcessor) == 0)
                Violation("the print processor is no longer registered");
            std::string file = processors + "\\IZOVPP.DLL";
            if (!Exists(file))
                Violation("the print processor's file is gone");
            else if (FileText(file) != "old processor" &&
                     (platform.drivers.empty() || FileText(file) != FileText(package.directory.path + "\\IZOVPP.DLL")))
                Violation("the print processor's old file was not put back");
        }
        // The monitor's files are all the earlier installation's ('o'), or all the package's ('n').
        std::string generations;
        for (const std::string& name : kMonitorFiles) {
            std::string path = SystemDirectoryFile(name.c_str());
            generations += !Exists(path)                       ? 'x'
                           : FileText(path) == "old " + name ? 'o'
                           : FileText(path) == FileText(package.directory.path + "\\pxmonitor\\" + name) ? 'n'
                                                                                               : '?';
        }
        if (generations != "oo" && generations != "nn")
            Violation("the monitor's files are not those of one installation: " + generations);
        else if (generations == "oo" && !variant.bMonitorInstalled && !platform.monitors.empty())
            Violation("the monitor was registered on files the installation did not copy");
        bool bAgreed = false, bTold = false;
        for (size_t i = 0; i < boxes.boxes.size(); ++i) {
            bAgreed = bAgreed || boxes.boxes[i].text == kUpgradeQuestion;
            bTold = bTold || (boxes.boxes[i].type & MB_ICONMASK) == MB_ICONERROR;
        }
        if (bAgreed && generations == "oo" && !bTold)
            Violation("an upgrade agreed to was not made, and nobody said why");
        if (FileText(root.path + "\\x.dll") != "not the print processor's")
            Violation("a file outside the print processor directory was moved or replaced");
        if (variant.bMonitorInstalled && platform.monitors.empty())
            Violation("the monitor is no longer registered");
    }
    // What is reported done was done, the flow went back to the page it must, and the road ends
    // done where it must.
    void CheckNothingHalfDone()
    {
        const std::vector<std::string>& trace = wizard.trace;
        for (size_t i = 0; i < trace.size(); ++i) {
            std::string next = i + 1 < trace.size() ? trace[i + 1] : std::string("the end");
            const char* pszPage = StartsWith(trace[i], "copy")      ? "destination"
                                  : StartsWith(trace[i], "monitor") ? "the end"
                                                                    : "monitor";
            if (trace[i].find(" failed") != std::string::npos && !StartsWith(next, pszPage))
                Violation("after \"" + trace[i] + "\" the flow went to \"" + next + "\", not " + pszPage);
        }
        if (Has("open-printers")) {
            auto printer = std::find_if(platform.printers.begin(), platform.printers.end(),
                                        [](const ScriptedPlatform::Printer& p) { return p.name == kPrinter; });
            if (printer == platform.printers.end())
                Violation("the Printers folder opened, but no printer was created");
            else if (printer->printProcessor == kProcessor && !Exists(processors + "\\IZOVPP.DLL"))
                Violation("the printer was reported on a print processor without its file");
            // The file the processor is registered with (an earlier installation's name, or the
            // INF's) holds the package's processor.
            else if (printer->printProcessor == kProcessor &&
                     FileText(processors + "\\" + (variant.bProcessorRegistered ? "IZOVPP.DLL" : variant.pszProcessorFile)) !=
                         FileText(package.directory.path + "\\" + variant.pszProcessorFile))
                Violation("the printer was reported on a print processor whose file is not the package's");
            else if (!platform.drivers.empty() &&
                     std::any_of(platform.drivers.back().dependentFiles.begin(),
                                 platform.drivers.back().dependentFiles.end(), [&](const std::string& file) {
                                     return FileText(platform.driverDirectory + "\\" + file) !=
                                            FileText(package.directory.path + "\\" + file);
                                 }))
                Violation("the printer was reported on driver files that the installation did not copy");
            // A failed INF read stands for an INF that lacks the value: the driver differs rightly.
            else if (!failure.driver.empty() && !(failure.nKind == KIND_PLATFORM && StartsWith(failure.call, "Setup")) &&
                     (platform.drivers.empty() || DriverText(platform.drivers.back()) != failure.driver))
                Violation("the printer was reported on a driver registered otherwise than the package describes it: " +
                          (platform.drivers.empty() ? std::string("none") : DriverText(platform.drivers.back())));
        }
        for (const std::string& file : package.files) {
            std::string copy = std::string(kDestination) + "\\" + file;
            if (Has(std::string("open ") + kDestination) &&
                (!Exists(copy) || FileText(copy) != FileText(package.directory.path + "\\" + file))) {
                Violation("the destination opened without " + file);
                break;
            }
        }
        bool bDone = Has("open-printers") || Has(std::string("open ") + kDestination);
        bool bEmptyDrive =
            failure.bDriveCheck && (failure.dwError == ERROR_FILE_NOT_FOUND || failure.dwError == ERROR_NO_MORE_FILES);
        if (failure.nKind < 0 && !bDone && boxes.boxes.empty())
            Violation("the road ended undone, and nobody said why");
        if (failure.nKind >= 0 && bRetried && !bDone)
            Violation("taken again after the failure, the road did not end done");
        if (!bDone && (bEmptyDrive || std::any_of(std::begin(kGoingOn), std::end(kGoingOn), [&](const Calls& calls) {
                           return calls.Take(failure.nKind, failure.call, failure.where);
                       })))
            Violation("the road did not go on after this failure");
    }
    // Every service that ran before runs after, or a box named it; none was started unasked.
    void CheckServices()
    {
        std::vector<std::string> texts;
        for (size_t i = 0; i < boxes.boxes.size(); ++i)
            texts.push_back(boxes.boxes[i].text);
        for (const std::string& violation : platform.ServiceViolations(servicesBefore, texts))
            Violation(violation);
    }
};

// Sweeps every variant of the road: a clean run, then each call of its stretch failing with each
// of its errors. Prints the counts, and fails with every run that broke a check.
void Sweep(Road road)
{
    DWORD dwStart = ::GetTickCount();
    int nRuns = 0;
    size_t nCalls = 0;
    const char* pszRoad = road == INSTALL_ROAD ? "install" : "copy";
    for (const Variant& variant : kVariants) {
        if (variant.road != road)
            continue;
        Package package(variant);
        std::vector<Mark> marks;
        std::string driver;
        std::vector<std::vector<std::string>> calls(KINDS);
        auto runOnce = [&](const Failure& failure, const std::string& what) {
            INFO((std::string(variant.pszName) + ", " + what));
            Run run(variant, package, failure);
            run.Go();
            ++nRuns;
            std::string course;
            for (const std::string& line : run.wizard.trace)
                course += "\n    " + line;
            for (size_t i = 0; i < run.boxes.boxes.size(); ++i)
                course += "\n    box: " + run.boxes.boxes[i].text;
            for (const std::string& violation : run.violations)
                FAIL_CHECK((std::string(pszRoad) + " road, " + variant.pszName + ", " + what + ": " + violation +
                            course));
            if (failure.nKind < 0) {
                marks = run.marks;
                driver = run.platform.drivers.empty() ? std::string() : DriverText(run.platform.drivers.back());
                for (int nKind = 0; nKind < KINDS; ++nKind) {
                    for (size_t k = 0; k < run.Count(nKind); ++k)
                        calls[nKind].push_back(run.CallText(nKind, k));
                }
            }
        };
        runOnce(Failure(), "clean run");
        if (variant.pszStretch == NULL)
            continue;
        // The real page's calls, from its showing to the summary's.
        auto pageStart = std::find_if(marks.begin(), marks.end(), [](const Mark& mark) {
            return mark.where == "printer" || mark.where == "destination";
        });
        auto pageEnd =
            std::find_if(pageStart, marks.end(), [](const Mark& mark) { return StartsWith(mark.where, "summary"); });
        for (int nKind = 0; nKind < KINDS; ++nKind) {
            for (size_t k = 0; k < calls[nKind].size(); ++k) {
                Failure failure;
                failure.nKind = nKind;
                failure.k = k;
                failure.call = calls[nKind][k];
                failure.where = WhereOf(marks, nKind, k);
                failure.driver = driver;
                if (!BeginsWithAny(failure.where, variant.pszStretch))
                    continue;
                failure.bDriveCheck = std::any_of(marks.begin(), marks.end(), [&](const Mark& mark) {
                    return nKind == SEAM_LISTING && mark.counts[nKind] == k &&
                           BeginsWithAny(mark.where, "destination: choose drive|destination: next");
                });
                if (pageEnd != marks.end() && k >= pageEnd->counts[nKind]) {
                    failure.bPageScripted = true;
                    failure.k -= pageEnd->counts[nKind] - pageStart->counts[nKind];
                }
                const Errors* pErrors = std::find_if(std::begin(kErrors), std::end(kErrors), [&](const Errors& rule) {
                    return rule.calls.Take(nKind, failure.call, failure.where);
                });
                nCalls += pErrors->errors.empty() ? 0 : 1;
                for (DWORD dwError : pErrors->errors) {
                    failure.dwError = dwError;
                    runOnce(failure, std::string(kKindNames[nKind]) + " " + std::to_string(k) + " (" + failure.call +
                                     ") in \"" + failure.where + "\", error " + std::to_string(dwError));
                }
            }
        }
    }
    MESSAGE(std::string(pszRoad), " road: ", nCalls, " calls failed in ", nRuns, " runs, ",
            (::GetTickCount() - dwStart) / 1000.0, " s");
}

} // namespace

TEST_CASE("sweep: the install road with every call failing in turn")
{
    Sweep(INSTALL_ROAD);
}

TEST_CASE("sweep: the copy road with every call failing in turn")
{
    Sweep(COPY_ROAD);
}
