// Measures how long the printer page takes to list 1,000 ports of the package's monitor
// (with their connections), next to a bare EnumPortsA and the same list-view insertion into
// the same dialog, in one run.
//   port_list_bench PACKAGE_DIRECTORY [RUNS] [PORTS]
#include "bench/Timing.h"
#include "framework/Afx.h"
#include "res/resource.h"
#include "tests/harness/Spooler.h"
#include "ui/PrinterDlg.h"
#include <stdio.h>
#include <stdlib.h>
#include <string>
#include <vector>

namespace {

const char kMonitor[] = "ZUV Izov Language/Port Monitor";
// A page not up by then is given up.
const DWORD kGiveUpMs = 60000;

struct PageRun {
    CPrinterDlg* pPage;
    int nExpected;
    bool bListed;
    DWORD dwStarted;
};
PageRun* g_pRun = NULL;

// Ends the page once it is up with every port listed.
void CALLBACK WhenListed(HWND, UINT, UINT_PTR nTimer, DWORD)
{
    HWND hPage = g_pRun->pPage->m_hWnd;
    if (hPage == NULL || !::IsWindowVisible(hPage)) {
        if (hPage != NULL && ::GetTickCount() - g_pRun->dwStarted > kGiveUpMs) {
            ::KillTimer(NULL, nTimer);
            ::EndDialog(hPage, IDCANCEL);
        }
        return;
    }
    ::KillTimer(NULL, nTimer);
    g_pRun->bListed = (int)::SendDlgItemMessageA(hPage, IDC_PORTS, LVM_GETITEMCOUNT, 0, 0) == g_pRun->nExpected;
    ::EndDialog(hPage, IDCANCEL);
}

INT_PTR CALLBACK Bare(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

// The floor: the same dialog made bare, the spooler's ports read once, the monitor's inserted.
int ListBare()
{
    HWND hDialog = ::CreateDialogParamA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDD_PRINTER), NULL, &Bare, 0);
    HWND hList = ::GetDlgItem(hDialog, IDC_PORTS);
    LVCOLUMNA column = {};
    column.mask = LVCF_WIDTH;
    column.cx = 100;
    ::SendMessageA(hList, LVM_INSERTCOLUMNA, 0, (LPARAM)&column);
    ::SendMessageA(hList, LVM_INSERTCOLUMNA, 1, (LPARAM)&column);
    DWORD cbNeeded = 0;
    DWORD nPorts = 0;
    ::EnumPortsA(NULL, 2, NULL, 0, &cbNeeded, &nPorts);
    std::vector<BYTE> buffer(cbNeeded + 1);
    int nListed = 0;
    // Drawing held while the list fills, as the page holds it.
    ::SendMessageA(hList, WM_SETREDRAW, FALSE, 0);
    if (::EnumPortsA(NULL, 2, buffer.data(), cbNeeded, &cbNeeded, &nPorts)) {
        const PORT_INFO_2A* pPorts = reinterpret_cast<const PORT_INFO_2A*>(buffer.data());
        for (DWORD i = 0; i < nPorts; ++i) {
            if (pPorts[i].pMonitorName == NULL || strcmp(pPorts[i].pMonitorName, kMonitor) != 0)
                continue;
            LVITEMA item = {};
            item.mask = LVIF_TEXT;
            item.iItem = nListed++;
            item.pszText = pPorts[i].pPortName;
            ::SendMessageA(hList, LVM_INSERTITEMA, 0, (LPARAM)&item);
        }
    }
    ::SendMessageA(hList, WM_SETREDRAW, TRUE, 0);
    ::ShowWindow(hDialog, SW_SHOW);
    ::UpdateWindow(hDialog);
    ::DestroyWindow(hDialog);
    return nListed;
}

} // namespace

int main(int argc, char** argv)
{
    AfxWinInit(::GetModuleHandleA(NULL));
    int nRuns = argc > 2 ? atoi(argv[2]) : 5;
    int nPorts = argc > 3 ? atoi(argv[3]) : 1000;
    if (argc < 2 || nRuns < 1 || nPorts < 1) {
        fprintf(stderr, "usage: port_list_bench PACKAGE_DIRECTORY [RUNS] [PORTS]\n");
        return 2;
    }
    if (!harness::StartSpoolerService() || !harness::InstallPackageMonitor(argv[1], kMonitor)) {
        fprintf(stderr, "port_list_bench: the package's monitor could not be installed\n");
        return 1;
    }
    for (int i = 0; i < nPorts; ++i) {
        char szPort[32];
        sprintf(szPort, "IZOV%d:", i + 1);
        DWORD dwType = (DWORD)(i % 5);
        harness::WriteMonitorPort(kMonitor, szPort, &dwType, sizeof(dwType));
    }

    std::vector<double> pageTimes, bareTimes;
    for (int nRun = 0; nRun < nRuns; ++nRun) {
        CPrinterDlg page;
        PageRun run = { &page, nPorts + 1, false, ::GetTickCount() };  // and the file port
        g_pRun = &run;
        ::SetTimer(NULL, 0, 1, &WhenListed);
        double dStart = bench::Now();
        page.DoModal();
        pageTimes.push_back(bench::Now() - dStart);
        if (!run.bListed) {
            fprintf(stderr, "port_list_bench: the page did not list every port\n");
            return 1;
        }
        dStart = bench::Now();
        if (ListBare() != nPorts) {
            fprintf(stderr, "port_list_bench: the spooler did not list every port\n");
            return 1;
        }
        bareTimes.push_back(bench::Now() - dStart);
    }
    double dPage = bench::Median(pageTimes);
    double dBare = bench::Median(bareTimes);
    printf("Listing %d ports of the monitor (%d runs):\n", nPorts, nRuns);
    printf("  on the printer page:     median %8.1f ms\n", dPage);
    printf("  bare EnumPortsA + list:  median %8.1f ms\n", dBare);
    printf("  ratio page / bare:              %8.2f\n", dBare > 0 ? dPage / dBare : 0.0);
    return 0;
}
