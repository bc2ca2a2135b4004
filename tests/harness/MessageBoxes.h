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

// The system's text for an error code, as the program's error boxes show it.
std::string SystemErrorText(DWORD dwError);
// True for a message box window (not one of the program's own dialogs).
bool IsMessageBox(HWND hWnd);
// What the box shows; type is rebuilt from its icon and buttons.
MessageBoxRecord ReadMessageBox(HWND hBox);
// Presses one of the box's buttons (works across processes).
void AnswerMessageBox(HWND hBox, int nButton);

// The boxes a recorder answered, in their order. The test must look at them (their number, or
// a box) after the last one came: a recorder that goes with a box nobody looked at fails the
// test, so that an unexpected box cannot pass unseen.
class RecordedBoxes {
public:
    size_t size() const { return Seen().size(); }
    bool empty() const { return Seen().empty(); }
    const MessageBoxRecord& operator[](size_t i) const { return Seen()[i]; }
    const MessageBoxRecord& back() const { return Seen().back(); }

private:
    friend class MessageBoxRecorder;
    const std::vector<MessageBoxRecord>& Seen() const
    {
        m_nSeen = m_records.size();
        return m_records;
    }

    std::vector<MessageBoxRecord> m_records;
    mutable size_t m_nSeen = 0;
};

class MessageBoxRecorder {
public:
    MessageBoxRecorder();
    ~MessageBoxRecorder();

    // The next box gets this answer (IDYES, IDNO, IDOK, ...); without one a box is answered
    // with OK, Cancel or No, the first it has.
    void Answer(int nButton) { m_answers.push_back(nButton); }

    RecordedBoxes boxes;

private:
    static LRESULT CALLBACK CbtProc(int nCode, WPARAM wParam, LPARAM lParam);
    void OnBoxActivated(HWND hBox);

    HHOOK m_hHook;
    std::deque<int> m_answers;
    std::vector<HWND> m_answered;
};

} // namespace harness
