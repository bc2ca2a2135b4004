#include "tests/harness/ListView.h"
#include "tests/harness/Report.h"
#include "tests/harness/Windows.h"
#include <commctrl.h>

namespace harness {

namespace {

// False, and the test failed, when the window is no list view.
bool IsList(HWND hList)
{
    if (ClassName(hList) == WC_LISTVIEWA)
        return true;
    Fail(Said() << "no list view: window " << hList << " of class \"" << ClassName(hList) << "\"");
    return false;
}

// A block of memory in the process that owns the window, freed with the object; the test fails
// when there is none.
class BlockInWindowProcess {
public:
    BlockInWindowProcess(HWND hWnd, SIZE_T cb) : m_hProcess(NULL), m_pBlock(NULL)
    {
        DWORD dwProcessId = 0;
        ::GetWindowThreadProcessId(hWnd, &dwProcessId);
        m_hProcess = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, dwProcessId);
        if (m_hProcess != NULL)
            m_pBlock = ::VirtualAllocEx(m_hProcess, NULL, cb, MEM_COMMIT, PAGE_READWRITE);
        if (m_pBlock == NULL)
            Fail(Said() << "no memory for list view " << hWnd << " in process " << dwProcessId << ": error "
                        << ::GetLastError());
    }
    ~BlockInWindowProcess()
    {
        if (m_pBlock != NULL)
            ::VirtualFreeEx(m_hProcess, m_pBlock, 0, MEM_RELEASE);
        if (m_hProcess != NULL)
            ::CloseHandle(m_hProcess);
    }
    BYTE* Address(SIZE_T nOffset = 0) const { return static_cast<BYTE*>(m_pBlock) + nOffset; }
    bool IsReady() const { return m_pBlock != NULL; }
    bool Write(SIZE_T nOffset, const void* pData, SIZE_T cb)
    {
        return Succeeded(::WriteProcessMemory(m_hProcess, Address(nOffset), pData, cb, NULL), "write");
    }
    bool Read(SIZE_T nOffset, void* pData, SIZE_T cb) const
    {
        return Succeeded(::ReadProcessMemory(m_hProcess, Address(nOffset), pData, cb, NULL), "read");
    }

private:
    static bool Succeeded(BOOL bDone, const char* pszWhat)
    {
        if (!bDone)
            Fail(Said() << "cannot " << pszWhat << " a list view's item in its process: error " << ::GetLastError());
        return bDone != FALSE;
    }

    HANDLE m_hProcess;
    void* m_pBlock;
};

const SIZE_T kTextSize = 1024;

} // namespace

std::vector<std::string> ListColumn(HWND hList, int nColumn)
{
    std::vector<std::string> texts;
    if (!IsList(hList))
        return texts;
    BlockInWindowProcess block(hList, sizeof(LVITEMA) + kTextSize);
    if (!block.IsReady())
        return texts;
    int nItems = (int)::SendMessageA(hList, LVM_GETITEMCOUNT, 0, 0);
    for (int i = 0; i < nItems; ++i) {
        LVITEMA item = {};
        item.iSubItem = nColumn;
        item.pszText = reinterpret_cast<LPSTR>(block.Address(sizeof(LVITEMA)));
        item.cchTextMax = (int)kTextSize;
        char szText[kTextSize] = "";
        if (!block.Write(0, &item, sizeof(item)))
            break;
        ::SendMessageA(hList, LVM_GETITEMTEXTA, (WPARAM)i, (LPARAM)block.Address());
        if (!block.Read(sizeof(LVITEMA), szText, sizeof(szText)))
            break;
        szText[kTextSize - 1] = '\0';
        texts.push_back(szText);
    }
    return texts;
}

int SelectedListItem(HWND hList)
{
    return IsList(hList) ? (int)::SendMessageA(hList, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_SELECTED) : -1;
}

bool ListItemShown(HWND hList, int nItem)
{
    if (!IsList(hList))
        return false;
    int nTop = (int)::SendMessageA(hList, LVM_GETTOPINDEX, 0, 0);
    int nRows = (int)::SendMessageA(hList, LVM_GETCOUNTPERPAGE, 0, 0);
    return nItem >= nTop && nItem < nTop + nRows;
}

bool SelectListItem(HWND hList, int nItem)
{
    // Item -1 would be every item: a missing item is not selected.
    if (nItem < 0 || !IsList(hList))
        return false;
    BlockInWindowProcess block(hList, sizeof(LVITEMA));
    LVITEMA item = {};
    item.state = item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    return block.IsReady() && block.Write(0, &item, sizeof(item)) &&
           ::SendMessageA(hList, LVM_SETITEMSTATE, (WPARAM)nItem, (LPARAM)block.Address()) != FALSE;
}

void DoubleClickListItem(HWND hList, int nItem)
{
    if (!IsList(hList))
        return;
    RECT rect = {};
    rect.left = LVIR_BOUNDS;
    ::SendMessageA(hList, LVM_GETITEMRECT, (WPARAM)nItem, (LPARAM)&rect);
    LPARAM lPoint = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    ::SendMessageA(hList, WM_LBUTTONDBLCLK, MK_LBUTTON, lPoint);
}

} // namespace harness
