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

// The boxes a recorder answered, or a child process showed, in their order. A box counts as
// seen once the test has read it (boxes[i], back()); their number alone does not. Boxes that go
// unread fail the test, so that an unexpected box cannot pass unseen.
class RecordedBoxes {
public:
    RecordedBoxes() = default;
    RecordedBoxes(const RecordedBoxes&) = delete;
    RecordedBoxes& operator=(const RecordedBoxes&) = delete;
    ~RecordedBoxes();

    size_t size() const { return m_records.size(); }
    bool empty() const { return m_records.empty(); }
    const MessageBoxRecord& operator[](size_t i) const;
    const MessageBoxRecord& back() const { return (*this)[size() - 1]; }

    // Adds the boxes that a child process wrote to the file (HandBoxesTo).
    void ReadHandedOver(const std::string& path);

private:
    friend class MessageBoxRecorder;
    void Add(const MessageBoxRecord& box);

    std::vector<MessageBoxRecord> m_records;
    mutable std::vector<bool> m_seen;
};

// In a child process: every box a recorder answers goes to the file at once, for the parent to
// compare, as the child may end without returning (ExitProcess).
void HandBoxesTo(const char* pszPath);

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
