#include "tests/harness/Keyboard.h"
#include "tests/harness/Report.h"
#include "tests/harness/Windows.h"
#include <vector>

namespace harness {

namespace {

void AddKey(std::vector<INPUT>& inputs, WORD wKey, DWORD dwFlags)
{
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = (dwFlags & KEYEVENTF_UNICODE) ? 0 : wKey;
    input.ki.wScan = (dwFlags & KEYEVENTF_UNICODE) ? wKey : 0;
    input.ki.dwFlags = dwFlags;
    inputs.push_back(input);
}

// The windows waited for so far, with their processes, to tell whether one of a process's own
// windows has closed since.
struct WaitedWindow {
    HWND hWnd;
    DWORD dwProcessId;
};
std::vector<WaitedWindow> g_waited;
int g_nRescues = 0;

DWORD ProcessOf(HWND hWnd)
{
    DWORD dwProcessId = 0;
    ::GetWindowThreadProcessId(hWnd, &dwProcessId);
    return dwProcessId;
}

// A window of another process getting the keyboard back: it had it before (a test waited for
// it), and a window of that process that a test waited for has closed since. A window shown
// anew is never rescued: Wine activates it by itself.
bool MayBeRescued(HWND hWindow)
{
    DWORD dwProcessId = ProcessOf(hWindow);
    bool bHadKeyboard = false, bOtherClosed = false;
    for (const WaitedWindow& waited : g_waited) {
        bHadKeyboard = bHadKeyboard || waited.hWnd == hWindow;
        bOtherClosed = bOtherClosed || (waited.dwProcessId == dwProcessId && !::IsWindow(waited.hWnd));
    }
    return dwProcessId != ::GetCurrentProcessId() && bHadKeyboard && bOtherClosed;
}

} // namespace

bool WaitForKeyboard(HWND hWindow, DWORD dwTimeoutMs)
{
    // Without a window manager, Wine sometimes hands the keyboard to the desktop when a
    // dialog closes under load, after its owner has been activated. Where a user would click
    // the window then, the wait does the same once the desktop has held the keyboard a while;
    // only there, and never unseen: the test gets a warning.
    const DWORD dwDesktopGraceMs = 1000;
    DWORD dwDesktopSince = 0;
    bool bActivated = false;
    bool bRefused = false;
    bool bTaken = WaitFor([&] {
        GUITHREADINFO info = {};
        info.cbSize = sizeof(info);
        HWND hForeground = ::GetForegroundWindow();
        if (hForeground == hWindow)
            return ::GetGUIThreadInfo(::GetWindowThreadProcessId(hWindow, NULL), &info) && info.hwndActive == hWindow;
        if (hForeground != ::GetDesktopWindow() && hForeground != NULL) {
            dwDesktopSince = 0;
        } else if (dwDesktopSince == 0) {
            dwDesktopSince = ::GetTickCount() | 1;
        } else if (!bActivated && !bRefused && ::GetTickCount() - dwDesktopSince > dwDesktopGraceMs) {
            bRefused = !MayBeRescued(hWindow);
            if (!bRefused) {
                ++g_nRescues;
                Warn(Said() << "the desktop held the keyboard after a window of process " << ProcessOf(hWindow)
                            << " closed; window \"" << WindowText(hWindow)
                            << "\" was activated as a click would (rescue " << g_nRescues << " of this run)");
                bActivated = ::SetForegroundWindow(hWindow) != FALSE;
            }
        }
        return false;
    }, dwTimeoutMs);
    if (!bTaken && bRefused)
        Fail(Said() << "the desktop kept the keyboard from window \"" << WindowText(hWindow)
                    << "\", which is no window getting it back after another of its process closed: not rescued");
    g_waited.push_back(WaitedWindow{ hWindow, ProcessOf(hWindow) });
    return bTaken;
}

void PressKey(WORD wKey, WORD wModifier)
{
    std::vector<INPUT> inputs;
    if (wModifier != 0)
        AddKey(inputs, wModifier, 0);
    AddKey(inputs, wKey, 0);
    AddKey(inputs, wKey, KEYEVENTF_KEYUP);
    if (wModifier != 0)
        AddKey(inputs, wModifier, KEYEVENTF_KEYUP);
    ::SendInput((UINT)inputs.size(), inputs.data(), sizeof(INPUT));
}

void TypeKeys(const std::string& text)
{
    std::vector<INPUT> inputs;
    for (unsigned char ch : text) {
        AddKey(inputs, ch, KEYEVENTF_UNICODE);
        AddKey(inputs, ch, KEYEVENTF_UNICODE | KEYEVENTF_KEYUP);
    }
    ::SendInput((UINT)inputs.size(), inputs.data(), sizeof(INPUT));
}

void PressMnemonic(HWND hDialog, char chLetter)
{
    MSG msg = {};
    msg.hwnd = ::GetFocus() != NULL ? ::GetFocus() : hDialog;
    msg.message = WM_SYSCHAR;
    msg.wParam = (WPARAM)(unsigned char)chLetter;
    msg.lParam = 0x20000001;  // Alt held, one press
    ::IsDialogMessageA(hDialog, &msg);
}

} // namespace harness
