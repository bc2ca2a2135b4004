// Measures how long setup.exe takes from its start to a visible welcome page, next to how
// long a program that only shows a message box takes to show it (Wine's own floor).
//   startup_bench PACKAGE_DIR [RUNS]
#include <windows.h>
#include <algorithm>
#include <stdio.h>
#include <stdlib.h>
#include <string>
#include <vector>

namespace {

const char kFloorTitle[] = "Startup floor";
const DWORD kPollMs = 5;
const DWORD kTimeoutMs = 60000;

struct Search {
    DWORD dwProcessId;
    const char* pszTitle;
    bool bFound;
};

BOOL CALLBACK FindTitledWindow(HWND hWnd, LPARAM lParam)
{
    Search* pSearch = reinterpret_cast<Search*>(lParam);
    DWORD dwProcessId = 0;
    ::GetWindowThreadProcessId(hWnd, &dwProcessId);
    char szTitle[256] = "";
    ::GetWindowTextA(hWnd, szTitle, sizeof(szTitle));
    if (dwProcessId == pSearch->dwProcessId && ::IsWindowVisible(hWnd) && strcmp(szTitle, pSearch->pszTitle) == 0) {
        pSearch->bFound = true;
        return FALSE;
    }
    return TRUE;
}

// Milliseconds from CreateProcess to a visible window with the title; -1 if none came.
double TimeToWindow(std::string commandLine, const char* pszDirectory, const char* pszTitle)
{
    LARGE_INTEGER frequency, start, now;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&start);

    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!::CreateProcessA(NULL, &commandLine[0], NULL, NULL, FALSE, 0, NULL, pszDirectory, &startup, &process))
        return -1;

    Search search = { process.dwProcessId, pszTitle, false };
    double ms = -1;
    for (;;) {
        ::EnumWindows(&FindTitledWindow, (LPARAM)&search);
        ::QueryPerformanceCounter(&now);
        double elapsed = (now.QuadPart - start.QuadPart) * 1000.0 / frequency.QuadPart;
        if (search.bFound) {
            ms = elapsed;
            break;
        }
        if (elapsed > kTimeoutMs)
            break;
        ::Sleep(kPollMs);
    }
    ::TerminateProcess(process.hProcess, 0);
    ::WaitForSingleObject(process.hProcess, 5000);
    ::CloseHandle(process.hProcess);
    ::CloseHandle(process.hThread);
    return ms;
}

void Report(const char* pszWhat, std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    if (times.empty() || times.front() < 0) {
        printf("%-34s no window appeared\n", pszWhat);
        return;
    }
    printf("%-34s median %7.1f ms   min %7.1f ms   max %7.1f ms   (%u runs)\n", pszWhat, times[times.size() / 2],
           times.front(), times.back(), (unsigned)times.size());
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && strcmp(argv[1], "--floor") == 0) {
        ::MessageBoxA(NULL, kFloorTitle, kFloorTitle, MB_OK);
        return 0;
    }
    if (argc < 2) {
        fprintf(stderr, "usage: startup_bench PACKAGE_DIR [RUNS]\n");
        return 2;
    }
    const char* pszPackage = argv[1];
    int nRuns = argc > 2 ? atoi(argv[2]) : 10;
    char szSelf[MAX_PATH];
    ::GetModuleFileNameA(NULL, szSelf, MAX_PATH);
    std::string setup = std::string("\"") + pszPackage + "\\setup.exe\"";
    std::string floor = std::string("\"") + szSelf + "\" --floor";

    // One start of each first, so that neither pays for loading Wine's libraries the first time.
    TimeToWindow(setup, pszPackage, "ZUV Izov Printer Driver Wizard");
    TimeToWindow(floor, NULL, kFloorTitle);

    std::vector<double> setupTimes, floorTimes;
    for (int i = 0; i < nRuns; ++i) {
        setupTimes.push_back(TimeToWindow(setup, pszPackage, "ZUV Izov Printer Driver Wizard"));
        floorTimes.push_back(TimeToWindow(floor, NULL, kFloorTitle));
    }
    Report("setup.exe to its welcome page:", setupTimes);
    Report("a plain message box (the floor):", floorTimes);
    bool bAllShown = std::none_of(setupTimes.begin(), setupTimes.end(), [](double ms) { return ms < 0; }) &&
                     std::none_of(floorTimes.begin(), floorTimes.end(), [](double ms) { return ms < 0; });
    return bAllShown ? 0 : 1;
}
