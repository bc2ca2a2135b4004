#include "tests/harness/Process.h"
#include "res/resource.h"
#include <tlhelp32.h>
#include <winternl.h>
#include "tests/harness/Children.h"
#include "tests/harness/Files.h"
#include "tests/harness/Report.h"
#include "tests/harness/Windows.h"
#include <stdlib.h>

namespace harness {

namespace {

struct WindowSearch {
    DWORD dwProcessId;
    std::vector<HWND> windows;
};

BOOL CALLBACK CollectWindow(HWND hWnd, LPARAM lParam)
{
    WindowSearch* pSearch = reinterpret_cast<WindowSearch*>(lParam);
    DWORD dwProcessId = 0;
    ::GetWindowThreadProcessId(hWnd, &dwProcessId);
    if (dwProcessId == pSearch->dwProcessId && ::IsWindowVisible(hWnd))
        pSearch->windows.push_back(hWnd);
    return TRUE;
}

} // namespace

std::string PathFromEnvironment(const char* pszVariable)
{
    const char* pszPath = getenv(pszVariable);
    if (pszPath == NULL || *pszPath == '\0')
        return std::string();
    if (pszPath[0] != '/')
        return pszPath;
    std::string path = std::string("Z:") + pszPath;
    for (char& ch : path) {
        if (ch == '/')
            ch = '\\';
    }
    return path;
}

bool CopyTree(const std::string& from, const std::string& to)
{
    if (!::CreateDirectoryA(to.c_str(), NULL) && ::GetLastError() != ERROR_ALREADY_EXISTS)
        return false;
    WIN32_FIND_DATAA found;
    HANDLE hFind = ::FindFirstFileA((from + "\\*").c_str(), &found);
    if (hFind == INVALID_HANDLE_VALUE)
        return false;
    bool bCopied = true;
    do {
        std::string name = found.cFileName;
        if (name == "." || name == "..")
            continue;
        std::string source = from + "\\" + name;
        std::string target = to + "\\" + name;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            bCopied = CopyTree(source, target) && bCopied;
        else
            bCopied = ::CopyFileA(source.c_str(), target.c_str(), FALSE) && bCopied;
    } while (::FindNextFileA(hFind, &found));
    ::FindClose(hFind);
    return bCopied;
}

namespace {

// The arguments on the process's command line (what follows the program's name), read from
// its parameters block; false when they cannot be read.
bool ReadArguments(HANDLE hProcess, std::string& arguments)
{
    typedef NTSTATUS(NTAPI * QueryProcess)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);
    QueryProcess pfnQuery =
        (QueryProcess)(void*)::GetProcAddress(::GetModuleHandleA("ntdll.dll"), "NtQueryInformationProcess");
    PROCESS_BASIC_INFORMATION basic = {};
    PEB peb = {};
    RTL_USER_PROCESS_PARAMETERS parameters = {};
    if (pfnQuery == NULL || pfnQuery(hProcess, ProcessBasicInformation, &basic, sizeof(basic), NULL) != 0 ||
        !::ReadProcessMemory(hProcess, basic.PebBaseAddress, &peb, sizeof(peb), NULL) ||
        !::ReadProcessMemory(hProcess, peb.ProcessParameters, &parameters, sizeof(parameters), NULL))
        return false;
    std::wstring wide(parameters.CommandLine.Length / sizeof(WCHAR) + 1, L'\0');
    if (!::ReadProcessMemory(hProcess, parameters.CommandLine.Buffer, &wide[0], parameters.CommandLine.Length, NULL))
        return false;
    std::string commandLine(wide.size() * 2, '\0');
    commandLine.resize(::WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, &commandLine[0], (int)commandLine.size(),
                                             NULL, NULL) - 1);
    size_t nEnd = commandLine[0] == '"' ? commandLine.find('"', 1) : commandLine.find(' ');
    size_t nStart = nEnd == std::string::npos ? nEnd : commandLine.find_first_not_of(' ', nEnd + 1);
    arguments = nStart == std::string::npos ? std::string() : commandLine.substr(nStart);
    return true;
}

} // namespace

std::vector<std::string> ProcessesNamed(const char* pszExeName, const FILETIME* pStartedSince)
{
    std::vector<std::string> found;
    HANDLE hSnapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (hSnapshot == INVALID_HANDLE_VALUE) {
        Fail(Said() << "cannot list the processes: error " << ::GetLastError());
        return found;
    }
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL bMore = ::Process32First(hSnapshot, &entry); bMore; bMore = ::Process32Next(hSnapshot, &entry)) {
        if (lstrcmpiA(entry.szExeFile, pszExeName) != 0)
            continue;
        // A process that has ended meanwhile cannot be opened, and is not counted.
        HANDLE hProcess = ::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, entry.th32ProcessID);
        FILETIME created, exited, kernel, user;
        std::string arguments;
        if (hProcess != NULL && ::GetProcessTimes(hProcess, &created, &exited, &kernel, &user) &&
            (pStartedSince == NULL || ::CompareFileTime(&created, pStartedSince) >= 0)) {
            // One that ends while it is read is not counted either.
            DWORD dwExitCode = STILL_ACTIVE;
            if (ReadArguments(hProcess, arguments))
                found.push_back(arguments);
            else if (::GetExitCodeProcess(hProcess, &dwExitCode) && dwExitCode == STILL_ACTIVE)
                Fail(Said() << "cannot read the command line of " << pszExeName << " " << entry.th32ProcessID
                            << ": error " << ::GetLastError());
        }
        if (hProcess != NULL)
            ::CloseHandle(hProcess);
    }
    ::CloseHandle(hSnapshot);
    return found;
}

FILETIME ProcessClock()
{
    FILETIME now;
    ::GetSystemTimeAsFileTime(&now);
    return now;
}

namespace {

// What GetVersionExA answers under each of Wine's version names.
struct NamedVersion {
    const char* pszName;
    DWORD dwPlatformId;
    DWORD dwMajor;
    DWORD dwMinor;
};

const NamedVersion kNamedVersions[] = {
    { "win2k", VER_PLATFORM_WIN32_NT, 5, 0 }, { "winxp", VER_PLATFORM_WIN32_NT, 5, 1 },
    { "win2003", VER_PLATFORM_WIN32_NT, 5, 2 }, { "nt40", VER_PLATFORM_WIN32_NT, 4, 0 },
    { "vista", VER_PLATFORM_WIN32_NT, 6, 0 }, { "win7", VER_PLATFORM_WIN32_NT, 6, 1 },
    { "win98", VER_PLATFORM_WIN32_WINDOWS, 4, 10 }, { "win95", VER_PLATFORM_WIN32_WINDOWS, 4, 0 },
};

DWORD VersionCode(DWORD dwPlatformId, DWORD dwMajor, DWORD dwMinor)
{
    return (dwPlatformId << 16) | (dwMajor << 8) | dwMinor;
}

std::string VersionText(DWORD dwCode)
{
    return Said() << ((dwCode >> 8) & 0xFF) << "." << (dwCode & 0xFF) << " (platform " << (dwCode >> 16) << ")";
}

// The version setup.exe is to see: the one the test sets for it (WIZARD_WINVER), or else the
// one the whole prefix reports (WINETEST_WINVER); empty when no one chose.
std::string ChosenVersion()
{
    for (const char* pszVariable : { "WIZARD_WINVER", "WINETEST_WINVER" }) {
        const char* pszVersion = getenv(pszVariable);
        if (pszVersion != NULL && *pszVersion != '\0')
            return pszVersion;
    }
    return std::string();
}

std::string g_confirmedVersion;

// What a program named setup.exe gets from GetVersionExA in this prefix, run as this one is:
// this test program, copied under that name, answers with its exit code. 0 when it cannot run.
DWORD VersionSeenAsSetupExe()
{
    TempDirectory probe("windows-version-probe");
    char szSelf[MAX_PATH];
    ::GetModuleFileNameA(NULL, szSelf, MAX_PATH);
    std::string copy = probe.path + "\\setup.exe";
    if (!::CopyFileA(szSelf, copy.c_str(), FALSE))
        return 0;
    std::string commandLine = "\"" + copy + "\" --child windows_version";
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!::CreateProcessA(NULL, &commandLine[0], NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process))
        return 0;
    DWORD dwCode = 0;
    if (::WaitForSingleObject(process.hProcess, 30000) != WAIT_OBJECT_0 ||
        !::GetExitCodeProcess(process.hProcess, &dwCode)) {
        ::TerminateProcess(process.hProcess, 1);
        ::WaitForSingleObject(process.hProcess, 5000);
        dwCode = 0;
    }
    ::CloseHandle(process.hProcess);
    ::CloseHandle(process.hThread);
    return dwCode;
}

// True when setup.exe will see the version chosen for it, or none was chosen; otherwise the test
// fails, saying what it would see instead.
bool ConfirmChosenVersion()
{
    std::string chosen = ChosenVersion();
    if (chosen.empty() || chosen == g_confirmedVersion)
        return true;
    const NamedVersion* pExpected = NULL;
    for (const NamedVersion& version : kNamedVersions) {
        if (chosen == version.pszName)
            pExpected = &version;
    }
    if (pExpected == NULL) {
        Fail("no known Windows version is named " + chosen);
        return false;
    }
    DWORD dwExpected = VersionCode(pExpected->dwPlatformId, pExpected->dwMajor, pExpected->dwMinor);
    DWORD dwSeen = VersionSeenAsSetupExe();
    if (dwSeen != dwExpected) {
        Fail(Said() << "setup.exe would see Windows " << (dwSeen != 0 ? VersionText(dwSeen) : "(no answer)")
                    << ", not " << chosen << " " << VersionText(dwExpected));
        return false;
    }
    g_confirmedVersion = chosen;
    return true;
}

} // namespace

TEST_CHILD(windows_version)
{
    OSVERSIONINFOA osvi = {};
    osvi.dwOSVersionInfoSize = sizeof(osvi);
    if (!::GetVersionExA(&osvi))
        return 0;
    return (int)VersionCode(osvi.dwPlatformId, osvi.dwMajorVersion, osvi.dwMinorVersion);
}

WizardProcess::WizardProcess()
{
    ZeroMemory(&m_pi, sizeof(m_pi));
}

WizardProcess::~WizardProcess()
{
    if (IsRunning()) {
        ::TerminateProcess(m_pi.hProcess, 1);
        ::WaitForSingleObject(m_pi.hProcess, 5000);
    }
    if (m_pi.hProcess != NULL)
        ::CloseHandle(m_pi.hProcess);
    if (m_pi.hThread != NULL)
        ::CloseHandle(m_pi.hThread);
}

std::string WizardProcess::StagePackage(const std::string& name)
{
    std::string source = PathFromEnvironment("WIZARD_PACKAGE_DIR");
    std::string target = "C:\\" + name;
    if (source.empty() || !CopyTree(source, target))
        return std::string();
    return target;
}

bool WizardProcess::SetWindowsVersion(const char* pszVersion)
{
    g_confirmedVersion.clear();
    HKEY hKey;
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\setup.exe", 0, NULL, 0,
                          KEY_SET_VALUE, NULL, &hKey, NULL) != ERROR_SUCCESS)
        return false;
    bool bSet = ::RegSetValueExA(hKey, "Version", 0, REG_SZ, (const BYTE*)pszVersion,
                                 (DWORD)lstrlenA(pszVersion) + 1) == ERROR_SUCCESS;
    ::RegCloseKey(hKey);
    return bSet;
}

bool WizardProcess::Start(const std::string& directory)
{
    return Start(directory, NULL);
}

bool WizardProcess::StartWithoutAdminRights(const std::string& directory)
{
    HANDLE hToken = TokenWithoutAdminRights();
    bool bStarted = hToken != NULL && Start(directory, hToken);
    if (hToken != NULL)
        ::CloseHandle(hToken);
    return bStarted;
}

bool WizardProcess::Start(const std::string& directory, HANDLE hToken)
{
    if (!ConfirmChosenVersion())
        return false;
    std::string commandLine = "\"" + directory + "\\setup.exe\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    if (hToken != NULL)
        return ::CreateProcessAsUserA(hToken, NULL, &commandLine[0], NULL, NULL, FALSE, 0, NULL, directory.c_str(),
                                      &startup, &m_pi) != FALSE;
    return ::CreateProcessA(NULL, &commandLine[0], NULL, NULL, FALSE, 0, NULL, directory.c_str(), &startup,
                            &m_pi) != FALSE;
}

HWND WizardProcess::StartAtWelcome(const std::string& directory, DWORD dwTimeoutMs)
{
    return Start(directory) ? WaitForPage(IDC_INSTALL, dwTimeoutMs) : NULL;
}

std::vector<HWND> WizardProcess::VisibleWindows() const
{
    WindowSearch search;
    search.dwProcessId = m_pi.dwProcessId;
    ::EnumWindows(&CollectWindow, (LPARAM)&search);
    return search.windows;
}

HWND WizardProcess::WaitForWindow(const char* pszTitle, DWORD dwTimeoutMs) const
{
    HWND hFound = NULL;
    WaitFor([&] {
        for (HWND hWnd : VisibleWindows()) {
            if (WindowText(hWnd) == pszTitle && !IsMessageBox(hWnd)) {
                hFound = hWnd;
                return true;
            }
        }
        return false;
    }, dwTimeoutMs);
    return hFound;
}

HWND WizardProcess::WaitForPage(int nControlID, DWORD dwTimeoutMs) const
{
    HWND hFound = NULL;
    WaitFor([&] {
        for (HWND hWnd : VisibleWindows()) {
            if (!IsMessageBox(hWnd) && ::GetDlgItem(hWnd, nControlID) != NULL) {
                hFound = hWnd;
                return true;
            }
        }
        return false;
    }, dwTimeoutMs);
    return hFound;
}

HWND WizardProcess::WaitForMessageBox(MessageBoxRecord* pBox, DWORD dwTimeoutMs, int nUntilPage) const
{
    HWND hFound = NULL;
    WaitFor([&] {
        for (HWND hWnd : VisibleWindows()) {
            if (IsMessageBox(hWnd)) {
                hFound = hWnd;
                return true;
            }
        }
        return nUntilPage != 0 && WaitForPage(nUntilPage, 0) != NULL;
    }, dwTimeoutMs);
    if (hFound != NULL && pBox != NULL) {
        // The icon is told by its looks, so read again until the box has painted it.
        ::RedrawWindow(hFound, NULL, NULL, RDW_UPDATENOW | RDW_ALLCHILDREN);
        WaitFor([&] {
            *pBox = ReadMessageBox(hFound);
            return (pBox->type & MB_ICONMASK) != MB_ICONMASK;
        }, 2000);
    }
    return hFound;
}

bool WizardProcess::WaitForExit(DWORD dwTimeoutMs, DWORD* pdwExitCode)
{
    if (m_pi.hProcess == NULL || ::WaitForSingleObject(m_pi.hProcess, dwTimeoutMs) != WAIT_OBJECT_0)
        return false;
    if (pdwExitCode != NULL)
        ::GetExitCodeProcess(m_pi.hProcess, pdwExitCode);
    return true;
}

void WizardProcess::CheckEndsWell(DWORD dwTimeoutMs)
{
    DWORD dwExitCode = 1;
    if (!WaitForExit(dwTimeoutMs, &dwExitCode))
        Fail(Said() << "setup.exe did not end within " << dwTimeoutMs << " ms");
    else if (dwExitCode != 0)
        Fail(Said() << "setup.exe ended with exit code " << dwExitCode);
}

bool WizardProcess::IsRunning() const
{
    return m_pi.hProcess != NULL && ::WaitForSingleObject(m_pi.hProcess, 0) == WAIT_TIMEOUT;
}

} // namespace harness
