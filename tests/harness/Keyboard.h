// Keys pressed as a user presses them: they go to whichever window has the keyboard, in this
// process or another.
#pragma once
#include <windows.h>
#include <string>

namespace harness {

// Waits until keys go to the window: it is the foreground window and active in its thread.
// When the desktop keeps the keyboard from a window of setup.exe that gets it back after another
// of its windows closed (Wine without a window manager, under load), it activates the window as
// a user's click would, and the test gets a warning; anywhere else, a window shown anew among
// them, that is a failure.
bool WaitForKeyboard(HWND hWindow, DWORD dwTimeoutMs);
// Presses and releases the key, with Alt, Ctrl or Shift held (VK_MENU, VK_CONTROL, VK_SHIFT;
// 0 for none).
void PressKey(WORD wKey, WORD wModifier = 0);
// Types the text, character by character.
void TypeKeys(const std::string& text);
// The dialog manager's answer to Alt and the letter in the dialog of this process, as the
// page's own message loop would give it.
void PressMnemonic(HWND hDialog, char chLetter);

} // namespace harness
