// Measures what the wizard does after Finish, next to a bare program making the same calls on
// the same package, in one run. It runs from a copy of the package (the driver INF is read from
// the program's own directory), with the package's monitor installed and the spooler running.
//   finish_bench install [RUNS]   from Finish to the printer created; the floor copies the same
//                                 files and calls AddPrintProcessorA, AddPrinterDriverExA and
//                                 AddPrinterA with what the INF says
//   finish_bench copy [RUNS]      from Finish to the destination handed to the shell; the floor
//                                 is a bare SHFileOperationA of the same files
// The wizard runs its real flow; only the pages are answered by the program, and the shell
// window that ends either task is not opened (the floor opens none).
#include "app/DriverWizardApp.h"
#include "base/Buffers.h"
#include "bench/Timing.h"
#include "inf/DriverInf.h"
#include "monitor/SpoolerService.h"
#include "res/resource.h"
#include "tests/harness/Files.h"
#include "tests/harness/Spooler.h"
#include "ui/DestinationDlg.h"
#include "ui/PrinterDlg.h"
#include "ui/WelcomeDlg.h"
#include <shellapi.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <string>
#include <vector>

namespace {

const char kMonitor[] = "ZUV Izov Language/Port Monitor";
const char kPort[] = "IZOV1:";
const char kDriver[] = "ZUV Izov";
const char kPrinter[] = "Finish bench";
const char kApiLibrary[] = "DEROvurEZA.DLL";
const char kInfFile[] = "izov.inf";

enum { STEP_CHECK, STEP_FIND_INF, STEP_API_COPY, STEP_DRIVER, STEP_PRINTER, STEP_PACKAGE_COPY, kSteps };
const char* const kStepNames[kSteps] = {
    "Finish's spooler check", "finding the INF", "the API library's copy", "the driver installed",
    "the printer created", "the package copied",
};

// The wizard with its pages answered: the install or copy task, a printer on the monitor's
// port or a new destination, then Finish. The clock runs from Finish to the end of the flow.
class FinishedWizard : public CDriverWizardApp {
public:
    bool bCopy = false;
    std::string destination;
    double dFinish = 0;
    double dDone = 0;
    // Where the time went, step by step: Finish's spooler check, then the steps after it.
    std::vector<double> steps[kSteps];

    void RunFromWelcome()
    {
        dFinish = dDone = 0;
        m_nWizardStep = STEP_WELCOME;
        CopyText(m_pszDriverName, NAME_BUFFER_SIZE, kDriver);
        RunWizard();
    }

protected:
    BOOL ShowPage(CDialog& page) override
    {
        CWizardPage& wizardPage = static_cast<CWizardPage&>(page);
        wizardPage.m_nResult = PAGE_NEXT;
        switch (page.m_nIDTemplate) {
        case IDD_WELCOME:
            static_cast<CWelcomeDlg&>(page).m_nTask = bCopy ? 1 : 0;
            break;
        case IDD_PRINTER: {
            CPrinterDlg& printer = static_cast<CPrinterDlg&>(page);
            printer.m_strPrinterName = kPrinter;
            CopyText(printer.m_pszPortName, NAME_BUFFER_SIZE, kPort);
            break;
        }
        case IDD_DESTINATION:
            CopyText(static_cast<CDestinationDlg&>(page).m_pszPath, NAME_BUFFER_SIZE, destination.c_str());
            break;
        case IDD_SUMMARY:
            // What Finish itself does before the page closes.
            dFinish = bench::Now();
            if (!EnsureSpoolerRunning(NULL))
                wizardPage.m_nResult = PAGE_CANCEL;
            steps[STEP_CHECK].push_back(bench::Now() - dFinish);
            break;
        default:
            wizardPage.m_nResult = PAGE_CANCEL;
            break;
        }
        return TRUE;
    }
    // The monitor is installed: the check before the printer page is not what is measured.
    BOOL CheckMonitor(CWnd*) override { return TRUE; }
    void OpenPrintersFolder() override { dDone = bench::Now(); }
    void OpenWithShell(LPCSTR) override { dDone = bench::Now(); }

    LPCSTR FindInstallableInf(LPCSTR pszCandidates) override
    {
        return Timed(STEP_FIND_INF, [&] { return CDriverWizardApp::FindInstallableInf(pszCandidates); });
    }
    void CopyApiDll() override
    {
        Timed(STEP_API_COPY, [&] { CDriverWizardApp::CopyApiDll(); return 0; });
    }
    BOOL InstallPrinterDriver(LPCSTR pszInfFile, LPCSTR pszDriverName, LPCSTR pszEnvironment) override
    {
        return Timed(STEP_DRIVER, [&] {
            return CDriverWizardApp::InstallPrinterDriver(pszInfFile, pszDriverName, pszEnvironment);
        });
    }
    BOOL CreatePrinter(LPSTR pszServerName, LPCSTR pszPrinterName, LPCSTR pszDriverName, LPCSTR pszPortName,
                       LPCSTR pszComment, LPCSTR pszLocation, LPCSTR pszSepFile) override
    {
        return Timed(STEP_PRINTER, [&] {
            return CDriverWizardApp::CreatePrinter(pszServerName, pszPrinterName, pszDriverName, pszPortName,
                                                   pszComment, pszLocation, pszSepFile);
        });
    }
    BOOL CopyPackage(LPCSTR pszDestination) override
    {
        return Timed(STEP_PACKAGE_COPY, [&] { return CDriverWizardApp::CopyPackage(pszDestination); });
    }

private:
    template <class Step> auto Timed(int nStep, Step step) -> decltype(step())
    {
        double dStart = bench::Now();
        auto result = step();
        steps[nStep].push_back(bench::Now() - dStart);
        return result;
    }
};

// The paths of the directory's named files, each with its NUL, then an empty one, as the
// shell takes them.
std::string FileList(const std::string& directory, const std::vector<std::string>& names)
{
    std::string list;
    for (const std::string& name : names)
        list += directory + "\\" + name + '\0';
    return list + '\0';
}

bool ShellCopy(const std::string& sources, const std::string& target)
{
    std::string to = target + '\0';
    SHFILEOPSTRUCTA operation = {};
    operation.wFunc = FO_COPY;
    operation.pFrom = sources.c_str();
    operation.pTo = to.c_str();
    operation.fFlags = FOF_NOCONFIRMATION | FOF_NOCONFIRMMKDIR;
    return ::SHFileOperationA(&operation) == 0 && !operation.fAnyOperationsAborted;
}

// The plain files of a package copy: its own and its monitor directory's.
size_t CopiedFiles(const std::string& directory)
{
    return harness::FilesIn(directory).size() + harness::FilesIn(directory + "\\pxmonitor").size();
}

// An empty destination, as the destination page leaves a new one.
void EmptyDestination(const std::string& directory)
{
    harness::RemoveTree(directory);
    ::CreateDirectoryA(directory.c_str(), NULL);
}

// Puts the spooler back as it was before the install: no printer, driver or print processor.
void RemoveInstall(const char* pszProcessor)
{
    HANDLE hPrinter = NULL;
    PRINTER_DEFAULTSA defaults = { NULL, NULL, PRINTER_ALL_ACCESS };
    if (::OpenPrinterA(const_cast<LPSTR>(kPrinter), &hPrinter, &defaults)) {
        ::DeletePrinter(hPrinter);
        ::ClosePrinter(hPrinter);
    }
    ::DeletePrinterDriverA(NULL, NULL, const_cast<LPSTR>(kDriver));
    ::DeletePrintProcessorA(NULL, NULL, const_cast<LPSTR>(pszProcessor));
}

bool PrinterCreated()
{
    return harness::Printer(kPrinter).bFound;
}

// What the bare installer needs, read before any clock runs: the INF's description and the
// spooler's directories.
struct BareInstall {
    std::string processor, processorFile, driverFile, dataFile, configFile, helpFile, defaultDataType;
    std::string dependentFiles;  // as a list of names
    std::string packageDirectory, processorDirectory, driverDirectory, systemDirectory, oemCopy;

    bool Read(const std::string& directory, const char* pszInf)
    {
        DriverInf inf(pszInf, kDriver);
        if (!inf.HasBuffers())
            return false;
        inf.ReadDriverInfo();
        processor = inf.m_pszPrintProcessor;
        processorFile = inf.m_pszPrintProcessorFile;
        driverFile = inf.m_pszDriverFile;
        dataFile = inf.m_pszDataFile;
        configFile = inf.m_pszConfigFile;
        helpFile = inf.m_pszHelpFile;
        defaultDataType = inf.m_pszDefaultDataType;
        dependentFiles.assign(inf.m_pszDependentFiles, inf.m_cbDependentFiles);
        packageDirectory = directory;

        char szPath[MAX_PATH] = "";
        DWORD cb = 0;
        if (!::GetPrintProcessorDirectoryA(NULL, NULL, 1, (LPBYTE)szPath, sizeof(szPath), &cb))
            return false;
        processorDirectory = szPath;
        if (!::GetPrinterDriverDirectoryA(NULL, NULL, 1, (LPBYTE)szPath, sizeof(szPath), &cb))
            return false;
        driverDirectory = szPath;
        ::GetSystemDirectoryA(szPath, MAX_PATH);
        systemDirectory = szPath;
        ::GetWindowsDirectoryA(szPath, MAX_PATH);
        oemCopy = std::string(szPath) + "\\inf\\OEMBENCH.inf";
        return !driverFile.empty() && !processorFile.empty();
    }

    // The package's paths of the listed names (each with its NUL, then an empty name).
    std::string FromPackage(const std::string& names) const
    {
        return FileList(packageDirectory, harness::NamesOfList(names.c_str()));
    }

    bool Run() const
    {
        if (!ShellCopy(FromPackage(processorFile + '\0'), processorDirectory))
            return false;
        ::AddPrintProcessorA(NULL, NULL, const_cast<LPSTR>(processorFile.c_str()),
                             const_cast<LPSTR>(processor.c_str()));
        if (!ShellCopy(FromPackage(std::string(kApiLibrary) + '\0'), systemDirectory) ||
            !ShellCopy(FromPackage(dependentFiles + '\0'), driverDirectory) ||
            !::CopyFileA((packageDirectory + "\\" + kInfFile).c_str(), oemCopy.c_str(), FALSE))
            return false;
        DRIVER_INFO_3A info = {};
        info.cVersion = 3;
        info.pName = const_cast<LPSTR>(kDriver);
        info.pDriverPath = const_cast<LPSTR>(driverFile.c_str());
        info.pDataFile = const_cast<LPSTR>(dataFile.c_str());
        info.pConfigFile = const_cast<LPSTR>(configFile.c_str());
        info.pHelpFile = const_cast<LPSTR>(helpFile.c_str());
        info.pDependentFiles = const_cast<LPSTR>(dependentFiles.c_str());
        info.pDefaultDataType = const_cast<LPSTR>(defaultDataType.c_str());
        if (!::AddPrinterDriverExA(NULL, 3, (LPBYTE)&info, APD_COPY_ALL_FILES))
            return false;
        PRINTER_INFO_2A printer = {};
        printer.pPrinterName = const_cast<LPSTR>(kPrinter);
        printer.pPortName = const_cast<LPSTR>(kPort);
        printer.pDriverName = const_cast<LPSTR>(kDriver);
        printer.pPrintProcessor = const_cast<LPSTR>(processor.c_str());
        printer.pDatatype = const_cast<LPSTR>("RAW");  // Wine refuses a printer without one
        HANDLE hPrinter = ::AddPrinterA(NULL, 2, (LPBYTE)&printer);
        if (hPrinter == NULL)
            return false;
        ::ClosePrinter(hPrinter);
        return true;
    }
};

void Report(const char* pszWhat, const char* pszFloor, const std::vector<double>& wizardTimes,
            const std::vector<double>& floorTimes, const FinishedWizard& wizard)
{
    double dWizard = bench::Median(wizardTimes);
    double dFloor = bench::Median(floorTimes);
    printf("%s (%u runs):\n", pszWhat, (unsigned)wizardTimes.size());
    printf("  the wizard:              median %8.1f ms\n", dWizard);
    printf("  %-24s median %8.1f ms\n", pszFloor, dFloor);
    printf("  ratio wizard / floor:           %8.2f\n", dFloor > 0 ? dWizard / dFloor : 0.0);
    printf("  the wizard's steps:\n");
    for (int nStep = 0; nStep < kSteps; ++nStep) {
        if (!wizard.steps[nStep].empty())
            printf("    %-28s %8.1f ms\n", kStepNames[nStep], bench::Median(wizard.steps[nStep]));
    }
}

int BenchInstall(const std::string& directory, int nRuns)
{
    if (!harness::InstallPackageMonitor(directory, kMonitor) ||
        !harness::WriteMonitorPort(kMonitor, kPort, NULL, 0)) {
        fprintf(stderr, "finish_bench: the package's monitor could not be installed\n");
        return 1;
    }
    BareInstall bare;
    if (!bare.Read(directory, kInfFile)) {
        fprintf(stderr, "finish_bench: the package's driver INF could not be read\n");
        return 1;
    }
    FinishedWizard wizard;
    std::vector<double> wizardTimes, floorTimes;
    for (int nRun = 0; nRun < nRuns; ++nRun) {
        RemoveInstall(bare.processor.c_str());
        wizard.RunFromWelcome();
        if (wizard.dDone == 0 || !PrinterCreated()) {
            fprintf(stderr, "finish_bench: the wizard did not create the printer\n");
            return 1;
        }
        wizardTimes.push_back(wizard.dDone - wizard.dFinish);

        RemoveInstall(bare.processor.c_str());
        double dStart = bench::Now();
        bool bDone = bare.Run();
        floorTimes.push_back(bench::Now() - dStart);
        DWORD dwError = bDone ? 0 : ::GetLastError();
        if (!bDone || !PrinterCreated()) {
            fprintf(stderr, "finish_bench: the bare calls did not create the printer (error %lu)\n",
                    (unsigned long)dwError);
            return 1;
        }
    }
    RemoveInstall(bare.processor.c_str());
    Report("From Finish to the printer created", "the same calls, bare:", wizardTimes, floorTimes, wizard);
    return 0;
}

int BenchCopy(const std::string& directory, int nRuns)
{
    const std::string target = "C:\\finishbench";
    const std::string monitorDirectory = directory + "\\pxmonitor";
    const std::string packageFiles = FileList(directory, harness::FilesIn(directory));
    const std::string monitorFiles = FileList(monitorDirectory, harness::FilesIn(monitorDirectory));
    const size_t nFiles = CopiedFiles(directory);

    FinishedWizard wizard;
    wizard.bCopy = true;
    wizard.destination = target;
    std::vector<double> wizardTimes, floorTimes;
    for (int nRun = 0; nRun < nRuns; ++nRun) {
        EmptyDestination(target);
        wizard.RunFromWelcome();
        if (wizard.dDone == 0 || CopiedFiles(target) != nFiles) {
            fprintf(stderr, "finish_bench: the wizard did not copy the package\n");
            return 1;
        }
        wizardTimes.push_back(wizard.dDone - wizard.dFinish);

        EmptyDestination(target);
        double dStart = bench::Now();
        bool bDone = ShellCopy(packageFiles, target) && ShellCopy(monitorFiles, target + "\\pxmonitor");
        floorTimes.push_back(bench::Now() - dStart);
        if (!bDone || CopiedFiles(target) != nFiles) {
            fprintf(stderr, "finish_bench: the bare copy did not copy the package\n");
            return 1;
        }
    }
    harness::RemoveTree(target);
    char szWhat[64];
    sprintf(szWhat, "From Finish to the destination opened, %u files", (unsigned)nFiles);
    Report(szWhat, "bare SHFileOperationA:", wizardTimes, floorTimes, wizard);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    AfxWinInit(::GetModuleHandleA(NULL));
    int nRuns = argc > 2 ? atoi(argv[2]) : 10;
    bool bInstall = argc > 1 && strcmp(argv[1], "install") == 0;
    if (argc < 2 || nRuns < 1 || (!bInstall && strcmp(argv[1], "copy") != 0)) {
        fprintf(stderr, "usage: finish_bench install|copy [RUNS]\n");
        return 2;
    }
    std::string directory = harness::ProgramDirectory();
    ::SetCurrentDirectoryA(directory.c_str());
    if (!harness::StartSpoolerService()) {
        fprintf(stderr, "finish_bench: the spooler did not start\n");
        return 1;
    }
    return bInstall ? BenchInstall(directory, nRuns) : BenchCopy(directory, nRuns);
}
