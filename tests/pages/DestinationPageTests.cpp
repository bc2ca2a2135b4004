// The destination page and its directory tree on directories this test makes: on C: of its own
// prefix and on X: (a folder of the prefix, volume "ZUVTEST"); U: is a drive that is not ready.
// The drives that cannot be listed are the failure sweep's.
#include <doctest.h>
#include "base/Buffers.h"
#include "res/resource.h"
#include "tests/harness/Files.h"
#include "tests/harness/MessageBoxes.h"
#include "tests/harness/Pages.h"
#include "tests/harness/Texts.h"
#include "tests/harness/Windows.h"
#include "ui/DestinationDlg.h"
#include <algorithm>
#include <string>
#include <vector>

using namespace harness;

namespace {

bool IsDirectory(const std::string& path)
{
    DWORD dwAttributes = ::GetFileAttributesA(path.c_str());
    return dwAttributes != INVALID_FILE_ATTRIBUTES && (dwAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

void MakeDirectories(const std::vector<std::string>& paths)
{
    for (const std::string& path : paths)
        ::CreateDirectoryA(path.c_str(), NULL);
}

bool SameText(const std::string& a, const std::string& b)
{
    return ::lstrcmpiA(a.c_str(), b.c_str()) == 0;
}

// The children's texts in tree order; of TVI_ROOT, the root items'.
std::vector<std::string> Children(CTreeCtrl& tree, HTREEITEM hItem)
{
    std::vector<std::string> names;
    HTREEITEM hFirst = hItem == TVI_ROOT ? tree.GetRootItem() : tree.GetChildItem(hItem);
    for (HTREEITEM hChild = hFirst; hChild != NULL; hChild = tree.GetNextSiblingItem(hChild))
        names.push_back((LPCSTR)tree.GetItemText(hChild));
    return names;
}

HTREEITEM Child(CTreeCtrl& tree, HTREEITEM hItem, const char* pszName)
{
    for (HTREEITEM hChild = tree.GetChildItem(hItem); hChild != NULL; hChild = tree.GetNextSiblingItem(hChild)) {
        if (tree.GetItemText(hChild) == pszName)
            return hChild;
    }
    return NULL;
}

bool Has(const std::vector<std::string>& names, const char* pszName)
{
    return std::find(names.begin(), names.end(), pszName) != names.end();
}

bool IsExpanded(CTreeCtrl& tree, HTREEITEM hItem)
{
    return (tree.SendMessage(TVM_GETITEMSTATE, (WPARAM)hItem, TVIS_EXPANDED) & TVIS_EXPANDED) != 0;
}

std::string SelectedPath(CDirectoryTree& tree)
{
    return (LPCSTR)tree.GetItemPath(tree.GetSelectedItem());
}

// The names in the order the control itself gives when it inserts each one sorted.
std::vector<std::string> SortedByControl(HWND hParent, const std::vector<std::string>& names)
{
    HWND hTree = ::CreateWindowExA(0, WC_TREEVIEWA, "", WS_CHILD, 0, 0, 10, 10, hParent, NULL, NULL, NULL);
    CTreeCtrl tree;
    tree.m_hWnd = hTree;
    for (const std::string& name : names)
        tree.InsertItem(name.c_str(), 0, 0, TVI_ROOT, TVI_SORT);
    std::vector<std::string> sorted = Children(tree, TVI_ROOT);
    tree.m_hWnd = NULL;
    ::DestroyWindow(hTree);
    return sorted;
}

void DoubleClick(CTreeCtrl& tree, HTREEITEM hItem)
{
    // TVM_GETITEMRECT takes the item in the rectangle it fills.
    union {
        RECT rect;
        HTREEITEM hItem;
    } in = {};
    in.hItem = hItem;
    RECT& rect = in.rect;
    tree.SendMessage(TVM_GETITEMRECT, TRUE, (LPARAM)&rect);
    tree.SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2));
}

} // namespace

TEST_CASE("destination page: the first showing opens drive C: and lists its directories only")
{
    MakeDirectories({ "C:\\dtHidden", "C:\\dtEmpty", "C:\\dtFull", "C:\\dtFull\\sub" });
    ::SetFileAttributesA("C:\\dtHidden", FILE_ATTRIBUTE_HIDDEN);
    REQUIRE(WriteTextFile("C:\\dtEmpty\\file.txt", "a file, not a directory"));
    REQUIRE(WriteTextFile("C:\\dtfile.txt", "a file, not a directory"));

    CDestinationDlg page;
    CDirectoryTree& tree = page.m_treeDir;
    RunPage(page, [&](HWND hPage) {
        HTREEITEM hRoot = tree.GetRootItem();
        REQUIRE(hRoot != NULL);
        CHECK(tree.GetNextSiblingItem(hRoot) == NULL);
        CHECK(SameText((LPCSTR)tree.GetItemText(hRoot), "C:\\"));
        CHECK(tree.GetSelectedItem() == hRoot);
        CHECK(IsExpanded(tree, hRoot));

        std::vector<std::string> shown = Children(tree, hRoot);
        CHECK(shown == SortedByControl(hPage, DirectoriesIn("C:")));
        CHECK(Has(shown, "dtHidden"));
        CHECK_FALSE(Has(shown, "dtfile.txt"));
        for (const std::string& name : shown) {
            CAPTURE(name);
            bool bHasButton = tree.GetChildItem(Child(tree, hRoot, name.c_str())) != NULL;
            CHECK(bHasButton == !DirectoriesIn("C:\\" + name).empty());
        }

        CHECK(SameText(ControlText(hPage, IDC_DIRECTORY), "C:\\"));
        CHECK(SameText(page.m_pszPath, "C:\\"));
        HWND hCombo = ::GetDlgItem(hPage, IDC_DRIVE);
        CHECK(WindowText(hCombo) == "C: ");
        std::vector<std::string> drives;
        char szEntry[1100];
        for (int i = 0; i < (int)::SendMessageA(hCombo, CB_GETCOUNT, 0, 0); ++i) {
            ::SendMessageA(hCombo, CB_GETLBTEXT, i, (LPARAM)szEntry);
            drives.push_back(szEntry);
        }
        CHECK(Has(drives, "X: ZUVTEST"));
        CHECK(Has(drives, "U: "));
        Click(hPage, IDCANCEL);
    });

    HIMAGELIST hImages = page.m_imageList.GetSafeHandle();
    RunPage(page, [&](HWND hPage) {
        CHECK((HIMAGELIST)tree.SendMessage(TVM_GETIMAGELIST, TVSIL_NORMAL) == hImages);
        Click(hPage, IDCANCEL);
    });
    CHECK(page.m_imageList.GetSafeHandle() == hImages);
}

TEST_CASE("destination tree: reads the disk at every opening, and walks paths by whole names")
{
    MakeDirectories({ "X:\\Walk", "X:\\Walk\\Program Files", "X:\\Walk\\Program Files\\Common Files",
                      "X:\\Walk\\Program Files\\Common Files\\deeper", "X:\\Sorted" });
    const std::vector<std::string> names = { "beta", "Alpha", "alpha", "a-b", "ab", "a_b", "_x", "10", "9",
                                             "Zed", "zed", "a b", "\xC4pfel" };
    for (const std::string& name : names)
        ::CreateDirectoryA(("X:\\Sorted\\" + name).c_str(), NULL);

    CDestinationDlg page;
    CDirectoryTree& tree = page.m_treeDir;
    tree.m_chDrive = 'X';
    RunPage(page, [&](HWND hPage) {
        HTREEITEM hRoot = tree.GetRootItem();
        CHECK((LPCSTR)tree.GetItemPath(hRoot) == std::string("X:\\"));
        CHECK((LPCSTR)tree.GetItemPath(Child(tree, hRoot, "Walk")) == std::string("X:\\Walk"));
        CHECK(Children(tree, Child(tree, hRoot, "Sorted")) == SortedByControl(hPage, DirectoriesIn("X:\\Sorted")));

        tree.SelectPath("X:\\walk\\program files\\COMMON FILES");
        CHECK(SelectedPath(tree) == "X:\\Walk\\Program Files\\Common Files");
        CHECK(ControlText(hPage, IDC_DIRECTORY) == "X:\\Walk\\Program Files\\Common Files");
        for (HTREEITEM h = tree.GetSelectedItem(); h != NULL; h = tree.GetParentItem(h))
            CHECK(IsExpanded(tree, h));
        for (const char* pszPath : { "X:\\Walk\\Prog", "X:\\Walk\\Missing\\Common Files", "X:\\Walk\\" }) {
            CAPTURE(pszPath);
            tree.SelectPath(pszPath);
            CHECK(SelectedPath(tree) == "X:\\Walk");
        }
        tree.SelectPath("X:\\");
        CHECK(tree.GetSelectedItem() == tree.GetRootItem());
        CHECK(std::string(page.m_pszPath) == "X:\\");

        // Collapsing and expanding as the user does (the keys act on the selected item).
        tree.SelectPath("X:\\Walk");
        HTREEITEM hWalk = tree.GetSelectedItem();
        ::CreateDirectoryA("X:\\Walk\\new1", NULL);
        tree.SendMessage(WM_KEYDOWN, VK_LEFT, 0);
        CHECK_FALSE(IsExpanded(tree, hWalk));
        CHECK(Has(Children(tree, hWalk), "new1"));
        ::RemoveDirectoryA("X:\\Walk\\new1");
        ::CreateDirectoryA("X:\\Walk\\new2", NULL);
        tree.SendMessage(WM_KEYDOWN, VK_RIGHT, 0);
        CHECK(IsExpanded(tree, hWalk));
        CHECK(Children(tree, hWalk) == std::vector<std::string>({ "new2", "Program Files" }));

        ::CreateDirectoryA("X:\\Walk\\new3", NULL);
        DoubleClick(tree, hWalk);
        CHECK(IsExpanded(tree, hWalk));
        CHECK(Has(Children(tree, hWalk), "new3"));
        HTREEITEM hProgramFiles = Child(tree, hWalk, "Program Files");
        tree.SelectItem(hProgramFiles);
        CHECK_FALSE(IsExpanded(tree, hProgramFiles));
        DoubleClick(tree, hProgramFiles);
        CHECK(IsExpanded(tree, hProgramFiles));
        TVITEMA item = {};
        item.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE;
        item.hItem = hProgramFiles;
        tree.SendMessage(TVM_GETITEMA, 0, (LPARAM)&item);
        CHECK(item.iImage == 2);
        CHECK(item.iSelectedImage == 3);
        CHECK((LPCSTR)tree.GetPath() == std::string("X:\\Walk\\Program Files"));
        Click(hPage, IDCANCEL);
    });
}

TEST_CASE("destination page: typed entries are qualified, checked and made, or refused")
{
    struct Case {
        std::string typed;
        std::string message;  // empty: accepted
        std::string path;     // the destination taken, for an accepted entry
    };
    const Case cases[] = {
        { "dtfoo", "", "C:\\dtfoo" },
        { "X:dtbar", "", "X:\\dtbar" },
        { "C:/dta/b  ", "", "C:\\dta\\b" },
        { "Recycler\\sub", "", "C:\\Recycler\\sub" },
        { "RecycledFiles", "", "C:\\RecycledFiles" },
        { "C:\\dt\"quote", kIllegalName, "" },
        { "C:\\dt\\\\double", kIllegalName, "" },
        { "\\\\server\\share", kIllegalName, "" },
        { std::string(260, 'a'), kIllegalName, "" },
        { std::string(257, 'a'), kIllegalName, "" },
        { "RECYCLER", "Cannot copy files or folders to the RECYCLER folder.", "" },
        { "recycled", "Cannot copy files or folders to the recycled folder.", "" },
        { "Recycled\\sub", "Cannot copy files or folders to the Recycled\\sub folder.", "" },
        { "C:\\", kNoDirectory, "" },
        { "   ", kNoDirectory, "" },
    };
    for (const Case& c : cases) {
        CAPTURE(c.typed);
        MessageBoxRecorder boxes;
        CDestinationDlg page;
        bool bStayed = false;
        RunPage(page, [&](HWND hPage) {
            TypeText(hPage, IDC_DIRECTORY, c.typed.c_str());
            Click(hPage, IDOK);
            bStayed = ::IsWindow(hPage) && ::IsWindowVisible(hPage);
            if (bStayed) {
                CHECK(page.m_nResult == PAGE_REFUSED);
                Click(hPage, IDCANCEL);
            }
        });
        if (c.message.empty()) {
            CHECK(boxes.boxes.empty());
            CHECK(page.m_nResult == PAGE_NEXT);
            CHECK(std::string(page.m_pszPath) == c.path);
            CHECK(IsDirectory(c.path));
        } else {
            CHECK(bStayed);
            REQUIRE(boxes.boxes.size() == 1);
            CHECK(boxes.boxes[0].text == c.message);
            CHECK(boxes.boxes[0].caption == kCaption);
            CHECK(boxes.boxes[0].type == (MB_OK | MB_ICONERROR));
        }
    }

    // A path without any backslash has no parent to make.
    CDestinationDlg page;
    CHECK(page.MakePath("C:dtnone") == -1);
    CHECK_FALSE(IsDirectory("C:\\dtnone"));
}

TEST_CASE("destination page: Create makes every level and shows it; paths too long for the tree are refused")
{
    std::string longName(200, 'l');
    std::string longChild(100, 'c');
    std::wstring wideRoot = L"\\\\?\\X:\\" + std::wstring(longName.begin(), longName.end());
    std::wstring wideChild = wideRoot + L"\\" + std::wstring(longChild.begin(), longChild.end());
    REQUIRE(::CreateDirectoryW(wideRoot.c_str(), NULL));
    REQUIRE(::CreateDirectoryW(wideChild.c_str(), NULL));
    REQUIRE(::CreateDirectoryW((wideChild + L"\\grandchild").c_str(), NULL));

    MessageBoxRecorder boxes;
    CDestinationDlg page;
    CDirectoryTree& tree = page.m_treeDir;
    RunPage(page, [&](HWND hPage) {
        TypeText(hPage, IDC_DIRECTORY, "");
        CHECK_FALSE(IsEnabled(hPage, IDOK));
        CHECK_FALSE(IsEnabled(hPage, IDC_CREATE));
        TypeText(hPage, IDC_DIRECTORY, "x:/dtmade/one\\two");
        CHECK(IsEnabled(hPage, IDOK));
        CHECK(IsEnabled(hPage, IDC_CREATE));

        Click(hPage, IDC_CREATE);
        REQUIRE(::IsWindowVisible(hPage));
        CHECK(IsDirectory("X:\\dtmade\\one\\two"));
        CHECK(SelectedPath(tree) == "X:\\dtmade\\one\\two");
        CHECK(ControlText(hPage, IDC_DIRECTORY) == "X:\\dtmade\\one\\two");
        CHECK(WindowText(::GetDlgItem(hPage, IDC_DRIVE)) == "X: ZUVTEST");

        tree.SelectPath(("X:\\" + longName + "\\" + longChild).c_str());
        HTREEITEM hDeep = tree.GetSelectedItem();
        CHECK(tree.GetItemText(hDeep) == longChild.c_str());
        CHECK(tree.GetChildItem(hDeep) == NULL);
        CHECK(ControlText(hPage, IDC_DIRECTORY) == "X:\\" + longName + "\\" + longChild);
        Click(hPage, IDOK);
        REQUIRE(::IsWindowVisible(hPage));
        REQUIRE(boxes.boxes.size() == 1);
        CHECK(boxes.boxes[0].text == kIllegalName);

        TypeText(hPage, IDC_DIRECTORY, "X:\\dtmade\\one\\two");
        Click(hPage, IDOK);
    });
    CHECK(page.m_nResult == PAGE_NEXT);
    CHECK(std::string(page.m_pszPath) == "X:\\dtmade\\one\\two");
}

TEST_CASE("destination page: coming back opens the tree down to the destination chosen before")
{
    CDestinationDlg page;
    struct Case {
        const char* pszTyped;
        const char* pszRoot;
        const char* pszDrive;
    };
    const Case cases[] = { { "C:\\dtre\\a\\b", "C:\\", "C: " }, { "X:\\dtre\\c", "X:\\", "X: ZUVTEST" } };
    for (const Case& c : cases) {
        CAPTURE(c.pszTyped);
        RunPage(page, [&](HWND hPage) {
            TypeText(hPage, IDC_DIRECTORY, c.pszTyped);
            Click(hPage, IDOK);
        });
        REQUIRE(page.m_nResult == PAGE_NEXT);
        RunPage(page, [&](HWND hPage) {
            CDirectoryTree& tree = page.m_treeDir;
            CHECK(SameText((LPCSTR)tree.GetItemText(tree.GetRootItem()), c.pszRoot));
            CHECK(WindowText(::GetDlgItem(hPage, IDC_DRIVE)) == c.pszDrive);
            CHECK(SelectedPath(tree) == c.pszTyped);
            CHECK(ControlText(hPage, IDC_DIRECTORY) == c.pszTyped);
            CHECK(std::string(page.m_pszPath) == c.pszTyped);
            Click(hPage, IDC_BACK);
        });
        CHECK(page.m_nResult == PAGE_BACK);
    }

    // A destination removed meanwhile stays the destination; the tree opens as far as it can.
    REQUIRE(::RemoveDirectoryA("X:\\dtre\\c"));
    RunPage(page, [&](HWND hPage) {
        CHECK(SelectedPath(page.m_treeDir) == "X:\\dtre");
        CHECK(ControlText(hPage, IDC_DIRECTORY) == "X:\\dtre\\c");
        Click(hPage, IDOK);
    });
    CHECK(page.m_nResult == PAGE_NEXT);
    CHECK(IsDirectory("X:\\dtre\\c"));
}

namespace {

// Drive C: taken away while the object lives: the prefix's folder behind it is parked under
// another name (through Z:, the Unix root), so the drive is there but cannot be entered.
struct WithoutDriveC {
    std::string folder;
    std::string parked;
    bool bAway = false;

    WithoutDriveC()
    {
        char szPrefix[MAX_PATH] = "";
        if (!::GetEnvironmentVariableA("WINEPREFIX", szPrefix, MAX_PATH) || szPrefix[0] != '/')
            return;
        std::string prefix = std::string("Z:") + szPrefix;
        std::replace(prefix.begin(), prefix.end(), '/', '\\');
        folder = prefix + "\\drive_c";
        parked = prefix + "\\drive_c-parked";
        bAway = ::MoveFileA(folder.c_str(), parked.c_str()) != FALSE;
    }
    ~WithoutDriveC()
    {
        if (bAway)
            ::MoveFileA(parked.c_str(), folder.c_str());
    }
};

} // namespace

TEST_CASE("destination page: without drive C:, the tree opens at the root of the current drive")
{
    char szBefore[MAX_PATH];
    ::GetCurrentDirectoryA(MAX_PATH, szBefore);
    REQUIRE((::CreateDirectoryA("X:\\elsewhere", NULL) || ::GetLastError() == ERROR_ALREADY_EXISTS));
    REQUIRE(::SetCurrentDirectoryA("X:\\elsewhere"));
    CDestinationDlg page;
    {
        WithoutDriveC away;
        REQUIRE(away.bAway);
        REQUIRE(::GetFileAttributesA("C:\\") == INVALID_FILE_ATTRIBUTES);
        RunPage(page, [&](HWND hPage) {
            CDirectoryTree& tree = page.m_treeDir;
            HTREEITEM hRoot = tree.GetRootItem();
            REQUIRE(hRoot != NULL);
            CHECK(tree.GetNextSiblingItem(hRoot) == NULL);
            CHECK(SameText((LPCSTR)tree.GetItemText(hRoot), "X:\\"));
            CHECK(Has(Children(tree, hRoot), "elsewhere"));
            CHECK(SameText(ControlText(hPage, IDC_DIRECTORY), "X:\\"));
            Click(hPage, IDCANCEL);
        });
    }
    CHECK(::GetFileAttributesA("C:\\") != INVALID_FILE_ATTRIBUTES);
    ::SetCurrentDirectoryA(szBefore);
}
