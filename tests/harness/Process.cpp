#include "tests/harness/Process.h"
#include "res/resource.h"
#include <tlhelp32.h>
#include "tests/harness/Children.h"
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

size_t ProcessesNamed(const char* pszExeName)
{
    size_t nFound = 0;
    HANDLE hSnapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (hSnapshot == INVALID_HANDLE_VALUE)
        return 0;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL bMore = ::Process32First(hSnapshot, &entry); bMore; bMore = ::Process32Next(hSnapshot, &entry))
        nFound += lstrcmpiA(entry.szExeFile, pszExeName) == 0;
    ::CloseHandle(hSnapshot);
    return nFound;
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

void WizardProcess::SetWindowsVersion(const char* pszVersion)
{
    HKEY hKey;
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\setup.exe", 0, NULL, 0,
                          KEY_SET_VALUE, NULL, &hKey, NULL) != ERROR_SUCCESS)
        return;
    ::RegSetValueExA(hKey, "Version", 0, REG_SZ, (const BYTE*)pszVersion, (DWORD)lstrlenA(pszVersion) + 1);
    ::RegCloseKey(hKey);
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

HWND WizardProcess::WaitForMessageBox(MessageBoxRecord* pBox, DWORD dwTimeoutMs) const
{
    HWND hFound = NULL;
    WaitFor([&] {
        for (HWND hWnd : VisibleWindows()) {
            if (IsMessageBox(hWnd)) {
                hFound = hWnd;
                return true;
            }
        }
        return false;
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

bool WizardProcess::IsRunning() const
{
    return m_pi.hProcess != NULL && ::WaitForSingleObject(m_pi.hProcess, 0) == WAIT_TIMEOUT;
}

} // namespace harness
