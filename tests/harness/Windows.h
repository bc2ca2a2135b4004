// Reading and driving windows by handle, in this process or another one.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

namespace harness {

// The helpers that take a control by its id fail the test when the window has none of that id.
HWND Control(HWND hDialog, int nID);
std::string WindowText(HWND hWnd);
std::string ControlText(HWND hDialog, int nID);
bool IsChecked(HWND hDialog, int nID);
bool IsEnabled(HWND hDialog, int nID);
std::string ClassName(HWND hWnd);

// Waits up to the time for a top-level window of the class (with the title, when one is given:
// a window may be titled only once it shows what it opened), then closes every one of the class
// as the user would; their titles, in the order closed (none when none showed).
std::vector<std::string> CloseWindowsOfClass(const char* pszClass, DWORD dwTimeoutMs, const char* pszTitle = NULL);

// Clicks a button and returns when its handlers are done (this process only).
void Click(HWND hDialog, int nID);
// Clicks a button without waiting (another process, or a click that opens a modal window).
void PostClick(HWND hDialog, int nID);
// Sets an edit's text as if typed; the control notifies its parent of the change.
void TypeText(HWND hDialog, int nID, const char* pszText);

// What the screen shows of the window, frame included: rows top down, cx pixels each; empty
// when it cannot be read.
struct WindowImage {
    int cx = 0;
    int cy = 0;
    std::vector<COLORREF> pixels;
    COLORREF At(int x, int y) const { return pixels[(size_t)y * cx + x]; }
};
WindowImage ReadWindowImage(HWND hWnd);
// The pixels of one of this program's bitmap resources; a bitmap that cannot be loaded fails the test.
WindowImage ReadBitmapImage(UINT nBitmapID);
// Saves it as a 24-bit BMP file.
bool SaveWindowImage(HWND hWnd, const std::string& path);

// Client rectangle in screen coordinates.
RECT ClientRectOnScreen(HWND hWnd);
// Pixels where a page, read through its own DC or (another process's page) the screen, does not
// show its header mark: IDB_HEADER 5 pixels from the right edge and 12 from the top, its key colour
// showing the background. A background of the mark's colour counts as one more.
int HeaderMismatches(HWND hPage, bool bOnScreen);

// Calls pred every 20 ms, handling this thread's messages meanwhile, until it is true or
// the time is up; returns its last answer.
template <typename Pred>
bool WaitFor(Pred pred, DWORD dwTimeoutMs)
{
    DWORD dwStart = ::GetTickCount();
    for (;;) {
        if (pred())
            return true;
        if (::GetTickCount() - dwStart >= dwTimeoutMs)
            return false;
        MSG msg;
        while (::PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
        ::Sleep(20);
    }
}

} // namespace harness
