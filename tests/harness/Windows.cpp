#include "tests/harness/Windows.h"

namespace harness {

std::string WindowText(HWND hWnd)
{
    char szText[4096] = "";
    ::SendMessageA(hWnd, WM_GETTEXT, sizeof(szText), (LPARAM)szText);
    return szText;
}

std::string ControlText(HWND hDialog, int nID)
{
    HWND hControl = ::GetDlgItem(hDialog, nID);
    return hControl ? WindowText(hControl) : std::string("<no control>");
}

bool IsChecked(HWND hDialog, int nID)
{
    return ::SendDlgItemMessageA(hDialog, nID, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool IsEnabled(HWND hDialog, int nID)
{
    HWND hControl = ::GetDlgItem(hDialog, nID);
    return hControl != NULL && ::IsWindowEnabled(hControl);
}

std::string ClassName(HWND hWnd)
{
    char szClass[256] = "";
    ::GetClassNameA(hWnd, szClass, sizeof(szClass));
    return szClass;
}

namespace {

BOOL CALLBACK CollectChildText(HWND hChild, LPARAM lParam)
{
    reinterpret_cast<std::vector<std::string>*>(lParam)->push_back(WindowText(hChild));
    return TRUE;
}

} // namespace

std::vector<std::string> ChildTexts(HWND hWnd)
{
    std::vector<std::string> texts;
    ::EnumChildWindows(hWnd, &CollectChildText, (LPARAM)&texts);
    return texts;
}

void Click(HWND hDialog, int nID)
{
    ::SendDlgItemMessageA(hDialog, nID, BM_CLICK, 0, 0);
}

void PostClick(HWND hDialog, int nID)
{
    ::PostMessageA(::GetDlgItem(hDialog, nID), BM_CLICK, 0, 0);
}

void TypeText(HWND hDialog, int nID, const char* pszText)
{
    ::SetDlgItemTextA(hDialog, nID, pszText);
}

RECT ClientRectOnScreen(HWND hWnd)
{
    RECT rect;
    ::GetClientRect(hWnd, &rect);
    ::MapWindowPoints(hWnd, NULL, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

COLORREF ScreenPixel(int x, int y)
{
    HDC hDC = ::GetDC(NULL);
    COLORREF color = ::GetPixel(hDC, x, y);
    ::ReleaseDC(NULL, hDC);
    return color;
}

} // namespace harness
