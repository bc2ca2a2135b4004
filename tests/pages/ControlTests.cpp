// Control wrappers read back what they hold, texts longer than a first guess included.
#include <doctest.h>
#include "framework/Afx.h"
#include "res/resource.h"
#include "tests/harness/Pages.h"
#include "ui/SummaryDlg.h"
#include <string>

using namespace harness;

namespace {

class CControlsDialog : public CDialog {
public:
    explicit CControlsDialog(UINT nID) : CDialog(nID) {}

    CListCtrl m_list;
    CTreeCtrl m_tree;
    CComboBox m_combo;

protected:
    void DoDataExchange(CDataExchange* pDX) override
    {
        if (m_nIDTemplate == IDD_PRINTER) {
            DDX_Control(pDX, IDC_PORTS, m_list);
        } else {
            DDX_Control(pDX, IDC_DIRECTORY_TREE, m_tree);
            DDX_Control(pDX, IDC_DRIVE, m_combo);
        }
    }
};

} // namespace

TEST_CASE("a list view gives back its items' texts and selection")
{
    std::string longName(600, 'p');
    CControlsDialog dialog(IDD_PRINTER);
    RunPage(dialog, [&](HWND hPage) {
        CListCtrl& list = dialog.m_list;
        REQUIRE(list.InsertColumn(0, "Port name", LVCFMT_LEFT, 100) == 0);
        REQUIRE(list.InsertColumn(1, "Related physical port", LVCFMT_LEFT, 100) == 1);
        list.InsertItem(0, "FILE:");
        int nItem = list.InsertItem(1, longName.c_str());  // the list sorts: "FILE:" stays first
        REQUIRE(nItem == 1);
        list.SetItemText(nItem, 1, "COM 1");
        CHECK(list.GetItemCount() == 2);
        CHECK(std::string(list.GetItemText(nItem, 0)) == longName);
        CHECK(list.GetItemText(nItem, 1) == "COM 1");
        CHECK(list.GetItemText(5, 0).IsEmpty());

        list.SetItemState(nItem, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        CHECK(list.GetSelectedCount() == 1);
        CHECK(list.GetItemState(nItem, LVIS_SELECTED) == LVIS_SELECTED);
        list.SetExtendedStyle(LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
        CHECK((list.GetExtendedStyle() & 0x21) == 0x21);
        CHECK(list.DeleteAllItems());
        CHECK(list.GetItemCount() == 0);
        ::EndDialog(hPage, IDCANCEL);
    });
}

TEST_CASE("a tree view and a combo box give back their items")
{
    CControlsDialog dialog(IDD_DESTINATION);
    RunPage(dialog, [&](HWND hPage) {
        CTreeCtrl& tree = dialog.m_tree;
        HTREEITEM hRoot = tree.InsertItem("C:\\", 2, 3, TVI_ROOT, TVI_LAST);
        HTREEITEM hChild = tree.InsertItem("Windows", 0, 1, hRoot, TVI_SORT);
        HTREEITEM hFirst = tree.InsertItem("Program Files", 0, 1, hRoot, TVI_SORT);
        CHECK(tree.GetRootItem() == hRoot);
        CHECK(tree.GetChildItem(hRoot) == hFirst);
        CHECK(tree.GetNextSiblingItem(hFirst) == hChild);
        CHECK(tree.GetParentItem(hChild) == hRoot);
        CHECK(tree.GetItemText(hFirst) == "Program Files");
        CHECK(tree.SelectItem(hChild));
        CHECK(tree.GetSelectedItem() == hChild);
        CHECK(tree.DeleteItem(hChild));
        CHECK(tree.GetNextSiblingItem(hFirst) == NULL);

        CComboBox& combo = dialog.m_combo;
        combo.AddString("D: ");
        combo.AddString("C: System");
        CHECK(combo.GetCount() == 2);
        int nIndex = combo.FindString(-1, "c");
        CHECK(nIndex == 0);
        combo.SetCurSel(nIndex);
        CHECK(combo.GetCurSel() == 0);
        CString text;
        combo.GetLBText(1, text);
        CHECK(text == "D: ");
        combo.GetLBText(7, text);
        CHECK(text.IsEmpty());
        ::EndDialog(hPage, IDCANCEL);
    });
}

TEST_CASE("the summary page cuts a text longer than its buffer and takes NULL as empty")
{
    CSummaryDlg summary;
    REQUIRE(summary.HasBuffers());
    std::string longName(400, 'n');
    summary.SetPrinterName(longName.c_str());
    CHECK(std::string(summary.m_pszPrinterName) == longName.substr(0, 259));
    summary.SetPort(NULL);
    CHECK(summary.m_pszPort[0] == '\0');
    summary.SetDestination("C:\\out");
    CHECK(std::string(summary.m_pszDestination) == "C:\\out");
}
