#include "tests/harness/Windows.h"
#include "res/resource.h"
#include "tests/harness/Report.h"

namespace harness {

HWND Control(HWND hDialog, int nID)
{
    HWND hControl = ::GetDlgItem(hDialog, nID);
    if (hControl == NULL)
        Fail(Said() << "no control " << nID << " in window " << hDialog << " \"" << WindowText(hDialog) << "\"");
    return hControl;
}

std::string WindowText(HWND hWnd)
{
    char szText[4096] = "";
    ::SendMessageA(hWnd, WM_GETTEXT, sizeof(szText), (LPARAM)szText);
    return szText;
}

std::string ControlText(HWND hDialog, int nID)
{
    HWND hControl = Control(hDialog, nID);
    return hControl ? WindowText(hControl) : std::string("<no control>");
}

bool IsChecked(HWND hDialog, int nID)
{
    HWND hControl = Control(hDialog, nID);
    return hControl != NULL && ::SendMessageA(hControl, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool IsEnabled(HWND hDialog, int nID)
{
    HWND hControl = Control(hDialog, nID);
    return hControl != NULL && ::IsWindowEnabled(hControl);
}

std::string ClassName(HWND hWnd)
{
    char szClass[256] = "";
    ::GetClassNameA(hWnd, szClass, sizeof(szClass));
    return szClass;
}

std::vector<std::string> CloseWindowsOfClass(const char* pszClass, DWORD dwTimeoutMs, const char* pszTitle)
{
    std::vector<std::string> titles;
    WaitFor([&] { return ::FindWindowA(pszClass, pszTitle) != NULL; }, dwTimeoutMs);
    for (HWND hWnd; (hWnd = ::FindWindowA(pszClass, NULL)) != NULL;) {
        titles.push_back(WindowText(hWnd));
        ::PostMessageA(hWnd, WM_CLOSE, 0, 0);
        if (!WaitFor([hWnd] { return !::IsWindow(hWnd); }, 5000))
            break;
    }
    return titles;
}

void Click(HWND hDialog, int nID)
{
    if (HWND hButton = Control(hDialog, nID))
        ::SendMessageA(hButton, BM_CLICK, 0, 0);
}

void PostClick(HWND hDialog, int nID)
{
    // Posted to no window, the click would become a message of this thread.
    if (HWND hButton = Control(hDialog, nID))
        ::PostMessageA(hButton, BM_CLICK, 0, 0);
}

void TypeText(HWND hDialog, int nID, const char* pszText)
{
    if (Control(hDialog, nID) != NULL)
        ::SetDlgItemTextA(hDialog, nID, pszText);
}

namespace {

// The screen's pixels under the window as a bottom-up 24-bit DIB.
bool CopyScreenUnder(HWND hWnd, BITMAPINFOHEADER& info, std::vector<BYTE>& bits)
{
    RECT rect;
    if (!::GetWindowRect(hWnd, &rect))
        return false;
    const int cx = rect.right - rect.left;
    const int cy = rect.bottom - rect.top;
    info = BITMAPINFOHEADER();
    info.biSize = sizeof(info);
    info.biWidth = cx;
    info.biHeight = cy;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    bits.assign((size_t)(((DWORD)cx * 3 + 3) & ~3u) * cy, 0);

    HDC hScreen = ::GetDC(NULL);
    HDC hMemory = ::CreateCompatibleDC(hScreen);
    HBITMAP hBitmap = ::CreateCompatibleBitmap(hScreen, cx, cy);
    HGDIOBJ hOld = ::SelectObject(hMemory, hBitmap);
    bool bCopied = ::BitBlt(hMemory, 0, 0, cx, cy, hScreen, rect.left, rect.top, SRCCOPY) != FALSE;
    ::SelectObject(hMemory, hOld);
    bCopied = bCopied && ::GetDIBits(hMemory, hBitmap, 0, (UINT)cy, bits.data(), reinterpret_cast<BITMAPINFO*>(&info),
                                     DIB_RGB_COLORS) == cy;
    ::DeleteObject(hBitmap);
    ::DeleteDC(hMemory);
    ::ReleaseDC(NULL, hScreen);
    return bCopied;
}

} // namespace

WindowImage ReadWindowImage(HWND hWnd)
{
    WindowImage image;
    BITMAPINFOHEADER info;
    std::vector<BYTE> bits;
    if (!CopyScreenUnder(hWnd, info, bits))
        return image;
    image.cx = info.biWidth;
    image.cy = info.biHeight;
    const size_t cbRow = image.cy > 0 ? bits.size() / image.cy : 0;
    image.pixels.resize((size_t)image.cx * image.cy);
    for (int y = 0; y < image.cy; ++y) {
        const BYTE* pRow = bits.data() + cbRow * (image.cy - 1 - y);
        for (int x = 0; x < image.cx; ++x)
            image.pixels[(size_t)y * image.cx + x] = RGB(pRow[3 * x + 2], pRow[3 * x + 1], pRow[3 * x]);
    }
    return image;
}

WindowImage ReadBitmapImage(UINT nBitmapID)
{
    WindowImage image;
    HBITMAP hBitmap = ::LoadBitmapA(::GetModuleHandleA(NULL), MAKEINTRESOURCEA(nBitmapID));
    BITMAP bitmap;
    if (hBitmap == NULL || !::GetObjectA(hBitmap, sizeof(bitmap), &bitmap)) {
        Fail(Said() << "cannot load bitmap " << nBitmapID);
        return image;
    }
    HDC hDC = ::CreateCompatibleDC(NULL);
    HGDIOBJ hOld = ::SelectObject(hDC, hBitmap);
    image.cx = bitmap.bmWidth;
    image.cy = bitmap.bmHeight;
    for (int y = 0; y < image.cy; ++y) {
        for (int x = 0; x < image.cx; ++x)
            image.pixels.push_back(::GetPixel(hDC, x, y));
    }
    ::SelectObject(hDC, hOld);
    ::DeleteDC(hDC);
    ::DeleteObject(hBitmap);
    return image;
}

bool SaveWindowImage(HWND hWnd, const std::string& path)
{
    BITMAPINFOHEADER info;
    std::vector<BYTE> bits;
    if (!CopyScreenUnder(hWnd, info, bits))
        return false;
    BITMAPFILEHEADER header = {};
    header.bfType = 0x4D42;  // "BM"
    header.bfOffBits = sizeof(header) + sizeof(info);
    header.bfSize = header.bfOffBits + (DWORD)bits.size();
    HANDLE hFile = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (hFile == INVALID_HANDLE_VALUE)
        return false;
    DWORD cbWritten = 0;
    bool bWritten = ::WriteFile(hFile, &header, sizeof(header), &cbWritten, NULL) &&
                    ::WriteFile(hFile, &info, sizeof(info), &cbWritten, NULL) &&
                    ::WriteFile(hFile, bits.data(), (DWORD)bits.size(), &cbWritten, NULL);
    ::CloseHandle(hFile);
    return bWritten;
}

RECT ClientRectOnScreen(HWND hWnd)
{
    RECT rect;
    ::GetClientRect(hWnd, &rect);
    ::MapWindowPoints(hWnd, NULL, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

int HeaderMismatches(HWND hPage, bool bOnScreen)
{
    const COLORREF kMark = RGB(0, 102, 163);
    WindowImage reference = ReadBitmapImage(IDB_HEADER);
    RECT client;
    ::GetClientRect(hPage, &client);
    if (bOnScreen)
        client = ClientRectOnScreen(hPage);
    const int x0 = client.right - 82 - 5;
    const int y0 = client.top + 12;
    HDC hDC = ::GetDC(bOnScreen ? NULL : hPage);
    COLORREF background = ::GetPixel(hDC, x0 - 2, y0 + 15);
    int nWrong = reference.cx != 82 || reference.cy != 30 || background == kMark ? 1 : 0;
    for (int y = 0; y < reference.cy; ++y) {
        for (int x = 0; x < reference.cx; ++x)
            nWrong += ::GetPixel(hDC, x0 + x, y0 + y) != (reference.At(x, y) == kMark ? kMark : background);
    }
    ::ReleaseDC(bOnScreen ? NULL : hPage, hDC);
    return nWrong;
}

} // namespace harness
