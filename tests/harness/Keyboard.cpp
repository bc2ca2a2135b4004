#include "tests/harness/Keyboard.h"
#include "tests/harness/Windows.h"
#include <stdio.h>
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

} // namespace

bool WaitForKeyboard(HWND hWindow, DWORD dwTimeoutMs)
{
    // Without a window manager, Wine sometimes hands the keyboard to the desktop when a
    // dialog closes under load, after its owner has been activated. Where a user would click
    // the window then, the wait does the same once the desktop has held the keyboard a while.
    const DWORD dwDesktopGraceMs = 1000;
    DWORD dwDesktopSince = 0;
    bool bActivated = false;
    return WaitFor([&] {
        GUITHREADINFO info = {};
        info.cbSize = sizeof(info);
        HWND hForeground = ::GetForegroundWindow();
        if (hForeground == hWindow)
            return ::GetGUIThreadInfo(::GetWindowThreadProcessId(hWindow, NULL), &info) && info.hwndActive == hWindow;
        if (hForeground != ::GetDesktopWindow() && hForeground != NULL) {
            dwDesktopSince = 0;
        } else if (dwDesktopSince == 0) {
            dwDesktopSince = ::GetTickCount() | 1;
        } else if (!bActivated && ::GetTickCount() - dwDesktopSince > dwDesktopGraceMs) {
            fprintf(stderr, "harness: the desktop held the keyboard; activating the window as a click would\n");
            bActivated = ::SetForegroundWindow(hWindow) != FALSE;
        }
        return false;
    }, dwTimeoutMs);
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
