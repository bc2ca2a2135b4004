// Message maps: dispatch by message, control and notification, chaining to the base
// class, reflection to the control that sent a notification, and the window's lifetime.
#include <doctest.h>
#include "framework/Afx.h"
#include <string>
#include <vector>

namespace {

const int kButtonID = 7;
const UINT kReflectedCode = 0x1234;
const UINT kParentCode = 0x2345;

class CTestWnd : public CWnd {
public:
    std::vector<std::string> calls;

    void OnButton() { calls.push_back("button"); }
    void OnEditChange() { calls.push_back("change"); }
    void OnNotifyParent(NMHDR* pNMHDR, LRESULT* pResult)
    {
        calls.push_back("notify from " + std::to_string(pNMHDR->idFrom));
        *pResult = 42;
    }
    void OnShowWindow(BOOL bShow, UINT nStatus)
    {
        calls.push_back(bShow ? "show" : "hide");
        CWnd::OnShowWindow(bShow, nStatus);
    }
    HCURSOR OnQueryDragIcon() { return (HCURSOR)0x5678; }
    void OnThrow() { throw 1; }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTestWnd, CWnd)
    ON_BN_CLICKED(kButtonID, OnButton)
    ON_EN_CHANGE(kButtonID, OnEditChange)
    ON_NOTIFY(kReflectedCode, kButtonID, OnNotifyParent)
    ON_NOTIFY(kParentCode, kButtonID, OnNotifyParent)
    ON_WM_SHOWWINDOW()
    ON_WM_QUERYDRAGICON()
    ON_BN_CLICKED(99, OnThrow)
END_MESSAGE_MAP()

class CDerivedTestWnd : public CTestWnd {
public:
    void OnButtonHere() { calls.push_back("derived button"); }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDerivedTestWnd, CTestWnd)
    ON_BN_CLICKED(kButtonID, OnButtonHere)
END_MESSAGE_MAP()

class CReflectingChild : public CWnd {
public:
    int nReflected = 0;

    void OnReflected(NMHDR*, LRESULT* pResult)
    {
        ++nReflected;
        *pResult = 99;
    }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CReflectingChild, CWnd)
    ON_NOTIFY_REFLECT(kReflectedCode, OnReflected)
END_MESSAGE_MAP()

HWND MakeWindow(HWND hParent = NULL, int nID = 0)
{
    DWORD dwStyle = hParent ? WS_CHILD : WS_POPUP;
    return ::CreateWindowExA(0, "STATIC", "", dwStyle, 0, 0, 50, 50, hParent, (HMENU)(INT_PTR)nID, NULL, NULL);
}

LRESULT Command(HWND hWnd, int nID, int nCode)
{
    return ::SendMessageA(hWnd, WM_COMMAND, MAKEWPARAM(nID, nCode), 0);
}

LRESULT Notify(HWND hParent, HWND hFrom, int nID, UINT nCode)
{
    NMHDR header = { hFrom, (UINT_PTR)nID, nCode };
    return ::SendMessageA(hParent, WM_NOTIFY, (WPARAM)nID, (LPARAM)&header);
}

} // namespace

TEST_CASE("a message map calls the handler of the control and notification that came")
{
    CTestWnd wnd;
    REQUIRE(wnd.SubclassWindow(MakeWindow()));

    Command(wnd.m_hWnd, kButtonID, BN_CLICKED);
    Command(wnd.m_hWnd, kButtonID, EN_CHANGE);
    Command(wnd.m_hWnd, kButtonID + 1, BN_CLICKED);
    CHECK(wnd.calls == std::vector<std::string>{ "button", "change" });

    CHECK(::SendMessageA(wnd.m_hWnd, WM_QUERYDRAGICON, 0, 0) == 0x5678);
    ::ShowWindow(wnd.m_hWnd, SW_SHOWNA);
    ::ShowWindow(wnd.m_hWnd, SW_HIDE);
    CHECK(wnd.calls == std::vector<std::string>{ "button", "change", "show", "hide" });

    ::DestroyWindow(wnd.m_hWnd);
}

TEST_CASE("a derived class's entry comes first; the base class's entries still apply")
{
    CDerivedTestWnd wnd;
    REQUIRE(wnd.SubclassWindow(MakeWindow()));
    Command(wnd.m_hWnd, kButtonID, BN_CLICKED);
    Command(wnd.m_hWnd, kButtonID, EN_CHANGE);
    CHECK(wnd.calls == std::vector<std::string>{ "derived button", "change" });
    ::DestroyWindow(wnd.m_hWnd);
}

TEST_CASE("a control that handles a notification itself gets it before its parent")
{
    CTestWnd parent;
    REQUIRE(parent.SubclassWindow(MakeWindow()));
    CReflectingChild child;
    REQUIRE(child.SubclassWindow(MakeWindow(parent.m_hWnd, kButtonID)));
    HWND hPlainChild = MakeWindow(parent.m_hWnd, kButtonID);

    CHECK(Notify(parent.m_hWnd, child.m_hWnd, kButtonID, kReflectedCode) == 99);
    CHECK(child.nReflected == 1);
    CHECK(parent.calls.empty());

    CHECK(Notify(parent.m_hWnd, child.m_hWnd, kButtonID, kParentCode) == 42);
    CHECK(Notify(parent.m_hWnd, hPlainChild, kButtonID, kReflectedCode) == 42);
    CHECK(child.nReflected == 1);
    CHECK(parent.calls.size() == 2);

    ::DestroyWindow(parent.m_hWnd);
}

TEST_CASE("an exception in a handler does not leave the window procedure")
{
    CTestWnd wnd;
    REQUIRE(wnd.SubclassWindow(MakeWindow()));
    CHECK(Command(wnd.m_hWnd, 99, BN_CLICKED) == 0);
    Command(wnd.m_hWnd, kButtonID, BN_CLICKED);
    CHECK(wnd.calls == std::vector<std::string>{ "button" });
    ::DestroyWindow(wnd.m_hWnd);
}

TEST_CASE("an object lets go of its window when the window is destroyed, and can take another")
{
    CTestWnd wnd;
    HWND hFirst = MakeWindow();
    REQUIRE(wnd.SubclassWindow(hFirst));
    CHECK(CWnd::FromHandlePermanent(hFirst) == &wnd);

    CTestWnd other;
    CHECK_FALSE(other.SubclassWindow(hFirst));

    ::DestroyWindow(hFirst);
    CHECK(wnd.m_hWnd == NULL);
    CHECK(CWnd::FromHandlePermanent(hFirst) == NULL);

    HWND hSecond = MakeWindow();
    REQUIRE(wnd.SubclassWindow(hSecond));
    Command(hSecond, kButtonID, BN_CLICKED);
    CHECK(wnd.calls == std::vector<std::string>{ "button" });
    ::DestroyWindow(hSecond);

    // An object that goes before its window gives the window back: a notification from the
    // window reaches its parent, not the object that is gone.
    CTestWnd parent;
    REQUIRE(parent.SubclassWindow(MakeWindow()));
    HWND hChild = MakeWindow(parent.m_hWnd, kButtonID);
    {
        CReflectingChild shortLived;
        REQUIRE(shortLived.SubclassWindow(hChild));
    }
    CHECK(CWnd::FromHandlePermanent(hChild) == NULL);
    CHECK(Notify(parent.m_hWnd, hChild, kButtonID, kReflectedCode) == 42);
    ::DestroyWindow(parent.m_hWnd);
}

TEST_CASE("a window no object holds gets one wrapper for its lifetime")
{
    HWND hWnd = MakeWindow();
    CWnd* pWrapper = CWnd::FromHandle(hWnd);
    REQUIRE(pWrapper != NULL);
    CHECK(pWrapper->m_hWnd == hWnd);
    CHECK(CWnd::FromHandle(hWnd) == pWrapper);
    CHECK(CWnd::FromHandlePermanent(hWnd) == NULL);
    CHECK(CWnd::FromHandle(NULL) == NULL);
    pWrapper->SetWindowText("wrapped");
    CString text;
    pWrapper->GetWindowText(text);
    CHECK(text == "wrapped");
    ::DestroyWindow(hWnd);
}
