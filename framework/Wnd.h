// CWnd: a window handle with the framework's message dispatch. The object borrows its
// window and never destroys it; once subclassed, the window's messages go through the
// object's message map first, until the window is destroyed.
#pragma once
#include "CmdTarget.h"
#include "Geometry.h"
#include "String.h"

class CDataExchange;

class CWnd : public CCmdTarget {
    DECLARE_DYNAMIC(CWnd)
public:
    CWnd();
    virtual ~CWnd();

    HWND m_hWnd;
    operator HWND() const { return m_hWnd; }

    // The object subclassed onto the window, or NULL.
    static CWnd* FromHandlePermanent(HWND hWnd);
    // That object, or a wrapper owned by the framework that lives as long as the window.
    static CWnd* FromHandle(HWND hWnd);

    BOOL SubclassWindow(HWND hWnd);

    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    CWnd* GetDlgItem(int nID) const;
    void SetWindowText(LPCSTR lpszString);
    void GetWindowText(CString& rString) const;
    int GetWindowTextLength() const;
    BOOL EnableWindow(BOOL bEnable = TRUE);
    BOOL IsWindowEnabled() const;
    void GetClientRect(LPRECT lpRect) const;
    BOOL IsIconic() const;
    void SetRedraw(BOOL bRedraw = TRUE) { SendMessage(WM_SETREDRAW, (WPARAM)bRedraw); }
    void Invalidate(BOOL bErase = TRUE);
    void UpdateWindow();
    HWND SetFocus();
    DWORD GetStyle() const;
    BOOL ModifyStyle(DWORD dwRemove, DWORD dwAdd);
    // Centres the window on its owner, or on the screen's work area when it has none.
    void CenterWindow();

    // Moves data between the controls and the members (DoDataExchange); FALSE when a
    // check failed, after the user was told.
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    // Called by the parent for a notification this window sent; TRUE when handled here.
    virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // The window's own processing of the message being handled.
    LRESULT Default();

    // Default handlers that the message-map entries name.
    void OnPaint() { Default(); }
    void OnShowWindow(BOOL, UINT) { Default(); }
    HCURSOR OnQueryDragIcon() { return (HCURSOR)Default(); }

    DECLARE_MESSAGE_MAP()

private:
    struct Message {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };

    static LRESULT CALLBACK WindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    void Detach();

    WNDPROC m_pfnSuper;
    Message m_msgCur;
};
