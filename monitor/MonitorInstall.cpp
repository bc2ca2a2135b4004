#include "monitor/MonitorInstall.h"
#include "base/Buffers.h"
#include "base/Enumeration.h"
#include "base/FilesAside.h"
#include "base/Messages.h"
#include "base/ProgramEnd.h"
#include "base/ShellCopy.h"
#include "base/SystemVersion.h"
#include "base/Text.h"
#include "framework/WaitCursor.h"
#include "monitor/MonitorInf.h"
#include "monitor/SpoolerService.h"
#include "platform/Platform.h"
#include "res/resource.h"
#include <ctype.h>
#include <string.h>
#include <functional>
#include <string>
#include <vector>

namespace {

const char kMonitorDirectory[] = "\\pxmonitor";
const char kMonitorDll[] = "ZADAZARE.DLL";
const char kPackageMonitorDll[] = "pxmonitor\\ZADAZARE.DLL";
const char kMonitorsKey[] = "System\\CurrentControlSet\\Control\\Print\\Monitors";
const char kVersionQuery[] = "\\StringFileInfo\\040904b0\\FileVersion";
const char kNtEnvironment[] = "Windows NT x86";
const REGSAM kMonitorKeyRights = KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY;

// Windows 2000 has its monitor INF; Windows XP and later 5.x systems have the other.
UINT MonitorInfNameID()
{
    OSVERSIONINFOA osvi = SystemVersion();
    return osvi.dwMajorVersion == 5 && osvi.dwMinorVersion >= 1 ? IDS_MONITOR_INF_XP : IDS_MONITOR_INF;
}


// The system directory, into a NAME_BUFFER_SIZE block; FALSE when it does not fit.
BOOL ReadSystemDirectory(char* pszSystem)
{
    DWORD cch = ::GetSystemDirectoryA(pszSystem, (DWORD)NAME_BUFFER_SIZE);
    if (cch > 0 && cch < NAME_BUFFER_SIZE)
        return TRUE;
    ::SetLastError(cch == 0 ? ::GetLastError() : ERROR_FILENAME_EXCED_RANGE);
    return FALSE;
}

// A string value, NUL-terminated within the buffer; FALSE when it cannot be read.
BOOL ReadRegistryText(HKEY hKey, LPCSTR pszValue, char* pszText, DWORD cbText)
{
    ZeroMemory(pszText, cbText);
    DWORD cbData = cbText - 1;
    return ThePlatform().RegQueryValueExA(hKey, pszValue, reinterpret_cast<BYTE*>(pszText), &cbData) == ERROR_SUCCESS;
}

// The FileVersion text of the package's monitor DLL, in a buffer the caller frees; NULL when
// the DLL or its version text cannot be read.
char* PackageMonitorVersion()
{
    DWORD dwHandle = 0;
    DWORD cbInfo = ::GetFileVersionInfoSizeA(kPackageMonitorDll, &dwHandle);
    if (cbInfo == 0)
        return NULL;
    char* pInfo = AllocBuffer(cbInfo);
    char* pszVersion = NULL;
    LPVOID pValue = NULL;
    UINT cchValue = 0;
    if (pInfo != NULL && ::GetFileVersionInfoA(kPackageMonitorDll, 0, cbInfo, pInfo) &&
        ::VerQueryValueA(pInfo, kVersionQuery, &pValue, &cchValue) && pValue != NULL) {
        pszVersion = AllocBuffer(NAME_BUFFER_SIZE);
        if (pszVersion != NULL)
            CopyWholeChars(pszVersion, NAME_BUFFER_SIZE, static_cast<LPCSTR>(pValue));
    }
    FreeBuffer(pInfo);
    return pszVersion;
}

// The numbers of a version made only of dot-separated numbers; false for any other text.
bool SplitVersion(LPCSTR pszVersion, std::vector<std::string>& numbers)
{
    numbers.clear();
    std::string number;
    for (LPCSTR p = pszVersion;; ++p) {
        if (isdigit((unsigned char)*p)) {
            number += *p;
        } else if ((*p == '.' || *p == '\0') && !number.empty()) {
            size_t nFirst = number.find_first_not_of('0');
            numbers.push_back(nFirst == std::string::npos ? std::string("0") : number.substr(nFirst));
            number.clear();
            if (*p == '\0')
                return true;
        } else {
            return false;
        }
    }
}

// Compares two numbers of any length given as digits without leading zeros.
int CompareNumbers(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    return a.compare(b);
}

} // namespace

BOOL IsOlderVersion(LPCSTR pszInstalled, LPCSTR pszPackage)
{
    std::vector<std::string> installed;
    std::vector<std::string> package;
    if (SplitVersion(pszInstalled, installed) && SplitVersion(pszPackage, package)) {
        for (size_t i = 0; i < installed.size() || i < package.size(); ++i) {
            int nOrder = CompareNumbers(i < installed.size() ? installed[i] : std::string("0"),
                                        i < package.size() ? package[i] : std::string("0"));
            if (nOrder != 0)
                return nOrder < 0;
        }
        return FALSE;
    }
    return strcmp(pszInstalled, pszPackage) < 0;
}

BOOL RunInMonitorDirectory(CWnd* pOwner, const std::function<void(MonitorInf&)>& work)
{
    char* pszInfName = LoadTextBuffer(MonitorInfNameID());
    char* pszSaved = AllocBuffer(NAME_BUFFER_SIZE);
    char* pszMonitorDirectory = AllocBuffer(NAME_BUFFER_SIZE);
    BOOL bEntered = FALSE;
    if (pszInfName != NULL && pszSaved != NULL && pszMonitorDirectory != NULL) {
        DWORD cch = ::GetCurrentDirectoryA((DWORD)NAME_BUFFER_SIZE, pszSaved);
        bEntered = cch > 0 && cch < NAME_BUFFER_SIZE && cch + sizeof(kMonitorDirectory) <= NAME_BUFFER_SIZE &&
                   strcat(strcpy(pszMonitorDirectory, pszSaved), kMonitorDirectory) != NULL &&
                   ::SetCurrentDirectoryA(pszMonitorDirectory);
        if (!bEntered) {
            ShowTableMessageWith(OwnerWindow(pOwner), IDS_CANNOT_OPEN_FILE, pszInfName, IDS_CAPTION,
                                 MB_OK | MB_ICONERROR);
        } else {
            {
                MonitorInf inf(pszInfName);
                work(inf);
            }
            ::SetCurrentDirectoryA(pszSaved);
        }
    }
    FreeBuffer(pszInfName);
    FreeBuffer(pszSaved);
    FreeBuffer(pszMonitorDirectory);
    return bEntered;
}

BOOL FindInstalledMonitor(MonitorInf& inf)
{
    Platform& platform = ThePlatform();
    Enumeration monitors = Enumerate([&](LPBYTE p, DWORD cb, LPDWORD pcbNeeded, LPDWORD pcReturned) {
        return platform.EnumMonitorsA(2, p, cb, pcbNeeded, pcReturned);
    });
    const MONITOR_INFO_2A* pMonitors = reinterpret_cast<const MONITOR_INFO_2A*>(monitors.pBuffer);
    BOOL bFound = FALSE;
    for (DWORD i = 0; i < monitors.nCount && !bFound; ++i) {
        if (pMonitors[i].pDLLName != NULL && lstrcmpiA(pMonitors[i].pDLLName, inf.m_pszDllName) == 0) {
            bFound = TRUE;
            CopyText(inf.m_pszMonitorName, NAME_BUFFER_SIZE, pMonitors[i].pName);
        }
    }
    FreeBuffer(monitors.pBuffer);
    return bFound;
}

BOOL CheckMonitor(CWnd* pOwner)
{
    if (!EnsureSpoolerRunningForMonitor(pOwner))
        EndProgram(0);

    BOOL bResult = FALSE;
    RunInMonitorDirectory(pOwner, [&](MonitorInf& inf) {
        if (inf.m_pszFileList == NULL || inf.m_pszFileList[0] == '\0')
            return;
        if (SystemVersion().dwMajorVersion == 5 && FindInstalledMonitor(inf))
            UpgradeMonitor(pOwner, inf.m_pszFileList);
        else
            InstallMonitor(pOwner, inf);
        bResult = TRUE;
    });
    return bResult;
}

BOOL InstallMonitor(CWnd* pOwner, MonitorInf& inf)
{
    // The monitor's files are checked before anything is touched, and the files of an earlier
    // installation that the copy replaces come back if the monitor is not registered.
    if (!CheckCopySources(inf.m_pszFileList))
        return FALSE;
    char* pszOsVariable = LoadTextBuffer(IDS_OS_VARIABLE);
    char* pszWindowsNt = LoadTextBuffer(IDS_WINDOWS_NT);
    char* pszOs = AllocBuffer(NAME_BUFFER_SIZE);
    char* pszSystem = AllocBuffer(NAME_BUFFER_SIZE);
    BOOL bAdded = FALSE;
    FilesAside aside;
    if (pszOsVariable != NULL && pszWindowsNt != NULL && pszOs != NULL && pszSystem != NULL &&
        ReadSystemDirectory(pszSystem) && aside.MoveAside(pszSystem, inf.m_pszFileList)) {
        DWORD cchOs = ::GetEnvironmentVariableA(pszOsVariable, pszOs, (DWORD)NAME_BUFFER_SIZE);
        bool bWindowsNt = cchOs > 0 && cchOs < NAME_BUFFER_SIZE && strcmp(pszOs, pszWindowsNt) == 0;
        // A monitor whose files were not copied would be registered on none, or on stale ones.
        if (!CopyMonitorFiles(inf.m_pszFileList, pszSystem)) {
            TellCopyFailure(::GetLastError());
        } else {
            // The local machine's own environment; a system that does not name itself Windows NT
            // in "OS" is still one of them, the only ones the wizard runs on.
            MONITOR_INFO_2A info;
            info.pName = inf.m_pszMonitorName;
            info.pEnvironment = bWindowsNt ? NULL : const_cast<LPSTR>(kNtEnvironment);
            info.pDLLName = inf.m_pszDllName;
            bAdded = ThePlatform().AddMonitorA(2, reinterpret_cast<LPBYTE>(&info));
            if (!bAdded)
                ShowSystemError(OwnerWindow(pOwner), ::GetLastError());
        }
        if (bAdded)
            aside.Drop();
        else
            aside.PutBack();
    }
    FreeBuffer(pszOsVariable);
    FreeBuffer(pszWindowsNt);
    FreeBuffer(pszOs);
    FreeBuffer(pszSystem);
    return bAdded;
}

BOOL UpgradeMonitor(CWnd* pOwner, LPCSTR pszFileList)
{
    CWaitCursor wait;
    if (SystemVersion().dwPlatformId != VER_PLATFORM_WIN32_NT)
        return TRUE;

    ::SetLastError(ERROR_SUCCESS);
    char* pszInstalled = AllocBuffer(NAME_BUFFER_SIZE);
    char* pszPackage = NULL;
    bool bOlder = pszInstalled != NULL &&
                  GetInstalledMonitorVersion(kMonitorDll, pszInstalled, (DWORD)NAME_BUFFER_SIZE) &&
                  (pszPackage = PackageMonitorVersion()) != NULL && IsOlderVersion(pszInstalled, pszPackage);
    // Without the memory to compare the versions nobody knows whether the installed monitor
    // will do: that is no upgrade done, and what needs one is skipped.
    bool bCompared = ::GetLastError() != ERROR_NOT_ENOUGH_MEMORY;
    FreeBuffer(pszInstalled);
    FreeBuffer(pszPackage);
    if (!bOlder)
        return bCompared;

    HWND hOwner = OwnerWindow(pOwner);
    if (ShowTableMessage(hOwner, IDS_UPGRADE_MONITOR, IDS_CAPTION, MB_YESNO | MB_ICONQUESTION,
                         QUESTION_BUFFER_SIZE) != IDYES)
        return FALSE;
    wait.Restore();
    return ReplaceMonitorFiles(pOwner, pszFileList);
}

BOOL ReplaceMonitorFiles(CWnd* pOwner, LPCSTR pszFileList)
{
    // What the copy needs is made sure of while the spooler runs: the files, and the library
    // that copies them.
    HWND hOwner = OwnerWindow(pOwner);
    if (!CheckCopySources(pszFileList))
        return FALSE;
    if (!LoadShellCopy()) {
        ShowSystemError(hOwner, ::GetLastError());
        return FALSE;
    }
    LPENUM_SERVICE_STATUSA pServices = NULL;
    DWORD nServices = 0;
    if (!StopSpooler(pOwner, &pServices, &nServices)) {
        ShowErrorWithPrefix(hOwner, IDS_SPOOLER_STOP_FAILED, ::GetLastError(), MB_OK | MB_ICONERROR);
        return FALSE;
    }
    // The files replaced come back when the copy fails, or the spooler will not run on them.
    char* pszSystem = AllocBuffer(NAME_BUFFER_SIZE);
    FilesAside aside;
    BOOL bCopied = FALSE;
    BOOL bDirectory = pszSystem != NULL && ReadSystemDirectory(pszSystem);
    DWORD dwCopyError = ::GetLastError();
    if (bDirectory && aside.MoveAside(pszSystem, pszFileList)) {
        bCopied = CopyMonitorFiles(pszFileList, pszSystem);
        dwCopyError = ::GetLastError();
        if (!bCopied)
            aside.PutBack();
    } else if (bDirectory) {
        dwCopyError = ERROR_SUCCESS;  // the move aside said why
    }
    FreeBuffer(pszSystem);

    if (!RestartSpooler(pOwner, pServices, nServices)) {
        DWORD dwError = ::GetLastError();
        aside.PutBack();
        ShowErrorWithPrefix(hOwner, IDS_SPOOLER_RESTART_FAILED, dwError, MB_OK | MB_ICONERROR);
        EndProgram(0);
    }
    // Once the spooler runs again, the copy's failure is said where the shell would not say it.
    if (bCopied)
        aside.Drop();
    else
        TellCopyFailure(dwCopyError);
    return bCopied;
}

BOOL GetInstalledMonitorVersion(LPCSTR pszDllName, char* pszVersion, DWORD cbVersion)
{
    Platform& platform = ThePlatform();
    HKEY hMonitors = NULL;
    if (platform.RegOpenKeyExA(HKEY_LOCAL_MACHINE, kMonitorsKey, kMonitorKeyRights, &hMonitors) != ERROR_SUCCESS)
        return FALSE;
    DWORD nMonitors = 0;
    char* pszName = AllocBuffer(NAME_BUFFER_SIZE);
    char* pszDriver = AllocBuffer(NAME_BUFFER_SIZE);
    BOOL bFound = FALSE;
    if (pszName != NULL && pszDriver != NULL && platform.RegQueryInfoKeyA(hMonitors, &nMonitors) == ERROR_SUCCESS) {
        for (DWORD i = 0; i < nMonitors && !bFound; ++i) {
            DWORD cchName = (DWORD)NAME_BUFFER_SIZE;
            HKEY hMonitor = NULL;
            if (platform.RegEnumKeyExA(hMonitors, i, pszName, &cchName) != ERROR_SUCCESS ||
                platform.RegOpenKeyExA(hMonitors, pszName, kMonitorKeyRights, &hMonitor) != ERROR_SUCCESS)
                continue;
            bFound = ReadRegistryText(hMonitor, "Driver", pszDriver, (DWORD)NAME_BUFFER_SIZE) &&
                     lstrcmpiA(pszDriver, pszDllName) == 0 &&
                     ReadRegistryText(hMonitor, "Version", pszVersion, cbVersion);
            platform.RegCloseKey(hMonitor);
        }
    }
    FreeBuffer(pszName);
    FreeBuffer(pszDriver);
    platform.RegCloseKey(hMonitors);
    return bFound;
}

BOOL CopyMonitorFiles(LPCSTR pszFileList, LPCSTR pszTargetDirectory)
{
    return ShellCopyFiles(pszFileList, pszTargetDirectory, FOF_NOCONFIRMATION);
}
