// Message boxes: what a box showed, and a recorder that answers every box this thread
// opens while it exists.
#pragma once
#include <windows.h>
#include <deque>
#include <string>
#include <vector>

namespace harness {

struct MessageBoxRecord {
    std::string text;
    std::string caption;
    UINT type;      // the icon and button flags the box shows, such as MB_YESNO | MB_ICONQUESTION;
                    // MB_ICONMASK for an icon that is none of the system's
    int answer;     // the button that answered it
};

// True for a message box window (not one of the program's own dialogs).
bool IsMessageBox(HWND hWnd);
// What the box shows; type is rebuilt from its icon and buttons.
MessageBoxRecord ReadMessageBox(HWND hBox);
// Presses one of the box's buttons (works across processes).
void AnswerMessageBox(HWND hBox, int nButton);

class MessageBoxRecorder {
public:
    MessageBoxRecorder();
    ~MessageBoxRecorder();

    // The next box gets this answer (IDYES, IDNO, IDOK, ...); without one a box is answered
    // with OK, Cancel or No, the first it has.
    void Answer(int nButton) { m_answers.push_back(nButton); }

    std::vector<MessageBoxRecord> boxes;

private:
    static LRESULT CALLBACK CbtProc(int nCode, WPARAM wParam, LPARAM lParam);
    void OnBoxActivated(HWND hBox);

    HHOOK m_hHook;
    std::deque<int> m_answers;
    std::vector<HWND> m_answered;
};

} // namespace harness
