#include "Wnd.h"
#include "DataExchange.h"
#include <map>

IMPLEMENT_DYNAMIC(CWnd, CCmdTarget)

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
END_MESSAGE_MAP()

namespace {

// The objects that subclassed their windows. Every message to such a window looks its object up
// here: a map of the process's own, where a window property would cost Wine a call to its
// server for each message. The program's windows all live on its one thread, as the wrappers'.
std::map<HWND, CWnd*>& PermanentObjects()
{
    static std::map<HWND, CWnd*> objects;
    return objects;
}

// Wrappers for windows that no object subclassed, freed once their window is gone.
std::map<HWND, CWnd*>& TemporaryWrappers()
{
    static std::map<HWND, CWnd*> wrappers;
    return wrappers;
}

void FreeDeadWrappers()
{
    std::map<HWND, CWnd*>& wrappers = TemporaryWrappers();
    for (std::map<HWND, CWnd*>::iterator it = wrappers.begin(); it != wrappers.end();) {
        if (!::IsWindow(it->first)) {
            delete it->second;
            it = wrappers.erase(it);
        } else {
            ++it;
        }
    }
}

} // namespace

CWnd::CWnd() : m_hWnd(NULL), m_pfnSuper(NULL)
{
    m_msgCur.message = 0;
    m_msgCur.wParam = 0;
    m_msgCur.lParam = 0;
}

CWnd::~CWnd()
{
    if (m_pfnSuper != NULL && ::IsWindow(m_hWnd))
        Detach();
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd)
{
    if (hWnd == NULL)
        return NULL;
    std::map<HWND, CWnd*>& objects = PermanentObjects();
    std::map<HWND, CWnd*>::const_iterator it = objects.find(hWnd);
    return it != objects.end() ? it->second : NULL;
}

CWnd* CWnd::FromHandle(HWND hWnd)
{
    if (hWnd == NULL)
        return NULL;
    if (CWnd* pWnd = FromHandlePermanent(hWnd))
        return pWnd;
    std::map<HWND, CWnd*>& wrappers = TemporaryWrappers();
    std::map<HWND, CWnd*>::iterator it = wrappers.find(hWnd);
    if (it != wrappers.end() && it->second->m_hWnd == hWnd)
        return it->second;
    FreeDeadWrappers();
    CWnd* pWnd = new CWnd;
    pWnd->m_hWnd = hWnd;
    wrappers[hWnd] = pWnd;
    return pWnd;
}

BOOL CWnd::SubclassWindow(HWND hWnd)
{
    if (hWnd == NULL || m_hWnd != NULL || FromHandlePermanent(hWnd) != NULL)
        return FALSE;
    try {
        PermanentObjects()[hWnd] = this;
    } catch (...) {
        return FALSE;
    }
    m_hWnd = hWnd;
    m_pfnSuper = (WNDPROC)::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, (LONG_PTR)&CWnd::WindowProc);
    return TRUE;
}

void CWnd::Detach()
{
    PermanentObjects().erase(m_hWnd);
    ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, (LONG_PTR)m_pfnSuper);
    m_hWnd = NULL;
    m_pfnSuper = NULL;
}

LRESULT CALLBACK CWnd::WindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWnd* pWnd = FromHandlePermanent(hWnd);
    if (pWnd == NULL)
        return ::DefWindowProcA(hWnd, message, wParam, lParam);
    return pWnd->Dispatch(message, wParam, lParam);
}

LRESULT CWnd::Dispatch(UINT message, WPARAM wParam, LPARAM lParam)
{
    Message saved = m_msgCur;
    m_msgCur.message = message;
    m_msgCur.wParam = wParam;
    m_msgCur.lParam = lParam;

    LRESULT lResult = 0;
    try {
        if (message == WM_NCDESTROY) {
            lResult = DefWindowProc(message, wParam, lParam);
            Detach();
        } else if (!OnWndMsg(message, wParam, lParam, &lResult)) {
            lResult = DefWindowProc(message, wParam, lParam);
        }
    } catch (...) {
        // No exception may cross into the system's code that called the window procedure.
        lResult = 0;
    }

    m_msgCur = saved;
    return lResult;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    UINT nCode = 0;
    UINT nID = 0;
    if (message == WM_COMMAND) {
        nID = LOWORD(wParam);
        nCode = HIWORD(wParam);
    } else if (message == WM_NOTIFY) {
        NMHDR* pNMHDR = reinterpret_cast<NMHDR*>(lParam);
        CWnd* pChild = FromHandlePermanent(pNMHDR->hwndFrom);
        if (pChild != NULL && pChild->OnChildNotify(message, wParam, lParam, pResult))
            return TRUE;
        nID = (UINT)pNMHDR->idFrom;
        nCode = pNMHDR->code;
    }

    const AFX_MSGMAP_ENTRY* pEntry = AfxFindMessageEntry(GetMessageMap(), message, nCode, nID);
    return pEntry != NULL && CallHandler(pEntry, wParam, lParam, pResult);
}

BOOL CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (message != WM_NOTIFY)
        return FALSE;
    const NMHDR* pNMHDR = reinterpret_cast<const NMHDR*>(lParam);
    const AFX_MSGMAP_ENTRY* pEntry =
        AfxFindMessageEntry(GetMessageMap(), WM_REFLECT_BASE + WM_NOTIFY, pNMHDR->code, 0);
    return pEntry != NULL && CallHandler(pEntry, wParam, lParam, pResult);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_pfnSuper != NULL)
        return ::CallWindowProcA(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default()
{
    return DefWindowProc(m_msgCur.message, m_msgCur.wParam, m_msgCur.lParam);
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) const
{
    return ::SendMessageA(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) const
{
    return ::PostMessageA(m_hWnd, message, wParam, lParam);
}

CWnd* CWnd::GetDlgItem(int nID) const
{
    return FromHandle(::GetDlgItem(m_hWnd, nID));
}

void CWnd::SetWindowText(LPCSTR lpszString)
{
    ::SetWindowTextA(m_hWnd, lpszString);
}

void CWnd::GetWindowText(CString& rString) const
{
    int nLength = ::GetWindowTextLengthA(m_hWnd);
    ::GetWindowTextA(m_hWnd, rString.GetBuffer(nLength), nLength + 1);
    rString.ReleaseBuffer();
}

int CWnd::GetWindowTextLength() const
{
    return ::GetWindowTextLengthA(m_hWnd);
}

BOOL CWnd::EnableWindow(BOOL bEnable)
{
    return ::EnableWindow(m_hWnd, bEnable);
}

BOOL CWnd::IsWindowEnabled() const
{
    return ::IsWindowEnabled(m_hWnd);
}

void CWnd::GetClientRect(LPRECT lpRect) const
{
    ::GetClientRect(m_hWnd, lpRect);
}

BOOL CWnd::IsIconic() const
{
    return ::IsIconic(m_hWnd);
}

void CWnd::Invalidate(BOOL bErase)
{
    ::InvalidateRect(m_hWnd, NULL, bErase);
}

void CWnd::UpdateWindow()
{
    ::UpdateWindow(m_hWnd);
}

HWND CWnd::SetFocus()
{
    return ::SetFocus(m_hWnd);
}

DWORD CWnd::GetStyle() const
{
    return (DWORD)::GetWindowLongA(m_hWnd, GWL_STYLE);
}

BOOL CWnd::ModifyStyle(DWORD dwRemove, DWORD dwAdd)
{
    DWORD dwStyle = GetStyle();
    DWORD dwNewStyle = (dwStyle & ~dwRemove) | dwAdd;
    if (dwStyle == dwNewStyle)
        return FALSE;
    ::SetWindowLongA(m_hWnd, GWL_STYLE, (LONG)dwNewStyle);
    return TRUE;
}

void CWnd::CenterWindow()
{
    CRect area;
    HWND hWndOwner = ::GetWindow(m_hWnd, GW_OWNER);
    if (hWndOwner != NULL && ::IsWindowVisible(hWndOwner) && !::IsIconic(hWndOwner))
        ::GetWindowRect(hWndOwner, &area);
    else
        ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);

    CRect rect;
    ::GetWindowRect(m_hWnd, &rect);
    int x = area.left + (area.Width() - rect.Width()) / 2;
    int y = area.top + (area.Height() - rect.Height()) / 2;
    ::SetWindowPos(m_hWnd, NULL, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CWnd::DoDataExchange(CDataExchange*)
{
}

BOOL CWnd::UpdateData(BOOL bSaveAndValidate)
{
    CDataExchange dx(this, bSaveAndValidate);
    try {
        DoDataExchange(&dx);
    } catch (const CDataExchange::Failure&) {
        return FALSE;
    }
    return TRUE;
}
