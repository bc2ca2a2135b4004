// Measures how long the destination page's tree takes to open a directory of many
// subdirectories (each with one of its own), next to the same listings made bare with
// FindFirstFile/FindNextFile: the directory and each of its subdirectories.
//   tree_bench [RUNS] [SUBDIRECTORIES]
#include "bench/Timing.h"
#include "framework/Afx.h"
#include "ui/DestinationDlg.h"
#include <stdio.h>
#include <stdlib.h>
#include <string>
#include <vector>

namespace {

const char kTop[] = "C:\\treebench";
const char kBig[] = "C:\\treebench\\big";

struct Bench {
    CDestinationDlg* pPage;
    int nRuns;
    int nSubdirectories;
    std::vector<double> treeTimes;
    std::vector<double> bareTimes;
    bool bTreeComplete;
};

Bench* g_pBench = NULL;

void MakeTree(int nSubdirectories)
{
    ::CreateDirectoryA(kTop, NULL);
    ::CreateDirectoryA(kBig, NULL);
    char szPath[MAX_PATH];
    for (int i = 0; i < nSubdirectories; ++i) {
        sprintf(szPath, "%s\\directory-%05d", kBig, i);
        ::CreateDirectoryA(szPath, NULL);
        strcat(szPath, "\\inner");
        ::CreateDirectoryA(szPath, NULL);
    }
}

// The subdirectories' names; and with bDeeper, each subdirectory listed as well.
int ListBare(const std::string& path, bool bDeeper)
{
    int nFound = 0;
    WIN32_FIND_DATAA found;
    HANDLE hFind = ::FindFirstFileA((path + "\\*.*").c_str(), &found);
    if (hFind == INVALID_HANDLE_VALUE)
        return 0;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || strcmp(found.cFileName, ".") == 0 ||
            strcmp(found.cFileName, "..") == 0)
            continue;
        ++nFound;
        if (bDeeper)
            ListBare(path + "\\" + found.cFileName, false);
    } while (::FindNextFileA(hFind, &found));
    ::FindClose(hFind);
    return nFound;
}

HTREEITEM ChildNamed(CTreeCtrl& tree, HTREEITEM hParent, const char* pszName)
{
    for (HTREEITEM h = tree.GetChildItem(hParent); h != NULL; h = tree.GetNextSiblingItem(h)) {
        if (tree.GetItemText(h) == pszName)
            return h;
    }
    return NULL;
}

// Opens "big" as the user's click on its expand button does; the milliseconds it took.
double OpenInTree(Bench& bench)
{
    CDirectoryTree& tree = bench.pPage->m_treeDir;
    // A fresh "big", shown but never opened, as the look-ahead of its parent leaves it.
    tree.SelectPath(kTop);
    HTREEITEM hBig = ChildNamed(tree, tree.GetSelectedItem(), "big");
    if (hBig == NULL) {
        bench.bTreeComplete = false;
        return 0;
    }
    double dStart = bench::Now();
    tree.Expand(hBig, TVE_EXPAND);
    double dElapsed = bench::Now() - dStart;

    int nChildren = 0;
    for (HTREEITEM h = tree.GetChildItem(hBig); h != NULL; h = tree.GetNextSiblingItem(h)) {
        ++nChildren;
        if (tree.GetChildItem(h) == NULL)
            bench.bTreeComplete = false;
    }
    if (nChildren != bench.nSubdirectories)
        bench.bTreeComplete = false;
    return dElapsed;
}

double ListBareTimed()
{
    double dStart = bench::Now();
    ListBare(kBig, true);
    return bench::Now() - dStart;
}

void CALLBACK RunBench(HWND, UINT, UINT_PTR nTimer, DWORD)
{
    ::KillTimer(NULL, nTimer);
    Bench& bench = *g_pBench;
    bench.pPage->m_treeDir.m_chDrive = 'C';
    bench.pPage->m_treeDir.FillTree();
    // One of each first, so that neither pays for a cold start.
    OpenInTree(bench);
    ListBareTimed();
    for (int i = 0; i < bench.nRuns; ++i) {
        bench.treeTimes.push_back(OpenInTree(bench));
        bench.bareTimes.push_back(ListBareTimed());
    }
    bench.pPage->EndDialog(IDCANCEL);
}

} // namespace

int main(int argc, char** argv)
{
    AfxWinInit(::GetModuleHandleA(NULL));
    Bench bench;
    bench.nRuns = argc > 1 ? atoi(argv[1]) : 5;
    bench.nSubdirectories = argc > 2 ? atoi(argv[2]) : 5000;
    bench.bTreeComplete = true;
    if (bench.nRuns < 1 || bench.nSubdirectories < 1) {
        fprintf(stderr, "usage: tree_bench [RUNS] [SUBDIRECTORIES]\n");
        return 2;
    }
    MakeTree(bench.nSubdirectories);
    if (ListBare(kBig, false) != bench.nSubdirectories) {
        fprintf(stderr, "tree_bench: %s must hold exactly %d directories\n", kBig, bench.nSubdirectories);
        return 1;
    }

    CDestinationDlg page;
    bench.pPage = &page;
    g_pBench = &bench;
    ::SetTimer(NULL, 0, 10, &RunBench);
    page.DoModal();
    if (bench.treeTimes.empty() || !bench.bTreeComplete) {
        fprintf(stderr, "tree_bench: the tree did not show the directory and its subdirectories\n");
        return 1;
    }

    double dTree = bench::Median(bench.treeTimes);
    double dBare = bench::Median(bench.bareTimes);
    printf("Opening a directory of %d subdirectories, each with one of its own (%d runs):\n", bench.nSubdirectories,
           bench.nRuns);
    printf("  in the tree:             median %8.1f ms\n", dTree);
    printf("  bare listings:           median %8.1f ms\n", dBare);
    printf("  ratio tree / bare:              %8.2f\n", dBare > 0 ? dTree / dBare : 0.0);
    return 0;
}
