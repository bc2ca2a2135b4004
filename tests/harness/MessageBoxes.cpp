#include "tests/harness/MessageBoxes.h"
#include "tests/harness/Files.h"
#include "tests/harness/Report.h"
#include "tests/harness/Windows.h"
#include <algorithm>
#include <iomanip>
#include <sstream>

namespace harness {

namespace {

const int kTextID = 0xFFFF;
const int kIconID = 1088;

MessageBoxRecorder* g_pRecorder = NULL;
// Where a child process hands its boxes to its parent; empty in the test program itself.
std::string g_handedTo;

struct SystemIcon {
    LPCSTR lpszName;
    UINT nFlag;
};

const SystemIcon kSystemIcons[] = {
    { (LPCSTR)IDI_HAND, MB_ICONERROR },
    { (LPCSTR)IDI_QUESTION, MB_ICONQUESTION },
    { (LPCSTR)IDI_EXCLAMATION, MB_ICONEXCLAMATION },
    { (LPCSTR)IDI_ASTERISK, MB_ICONINFORMATION },
};

const UINT kUnknownIcon = MB_ICONMASK;

// Pixels of the icon static on the screen that differ from the icon drawn here over the
// same background. A box of a right-to-left locale is mirrored, its icon with it, and may sit
// a pixel off where mirroring rounds the other way.
int IconMismatches(HWND hStatic, HICON hIcon)
{
    const int kSize = 32;
    RECT rect = ClientRectOnScreen(hStatic);
    if (rect.left > rect.right)
        std::swap(rect.left, rect.right);
    HDC hScreen = ::GetDC(NULL);
    HDC hIconDC = ::CreateCompatibleDC(hScreen);
    HDC hShownDC = ::CreateCompatibleDC(hScreen);
    HBITMAP hIconBitmap = ::CreateCompatibleBitmap(hScreen, kSize, kSize);
    HBITMAP hShownBitmap = ::CreateCompatibleBitmap(hScreen, kSize + 2, kSize);
    HGDIOBJ hOldIcon = ::SelectObject(hIconDC, hIconBitmap);
    HGDIOBJ hOldShown = ::SelectObject(hShownDC, hShownBitmap);
    ::BitBlt(hShownDC, 0, 0, kSize + 2, kSize, hScreen, rect.left - 1, rect.top, SRCCOPY);
    HBRUSH hBackground = ::CreateSolidBrush(::GetPixel(hShownDC, 1, 0));
    RECT fill = { 0, 0, kSize, kSize };
    ::FillRect(hIconDC, &fill, hBackground);
    ::DrawIconEx(hIconDC, 0, 0, hIcon, kSize, kSize, 0, NULL, DI_NORMAL);
    int nFewest = kSize * kSize;
    for (int dx = 0; dx <= 2; ++dx) {
        for (bool bMirrored : { false, true }) {
            int nWrong = 0;
            for (int y = 0; y < kSize; ++y) {
                for (int x = 0; x < kSize; ++x)
                    nWrong += ::GetPixel(hIconDC, bMirrored ? kSize - 1 - x : x, y) != ::GetPixel(hShownDC, dx + x, y);
            }
            nFewest = std::min(nFewest, nWrong);
        }
    }
    ::SelectObject(hIconDC, hOldIcon);
    ::SelectObject(hShownDC, hOldShown);
    ::DeleteObject(hBackground);
    ::DeleteObject(hIconBitmap);
    ::DeleteObject(hShownBitmap);
    ::DeleteDC(hIconDC);
    ::DeleteDC(hShownDC);
    ::ReleaseDC(NULL, hScreen);
    return nFewest;
}

UINT IconFlag(HWND hBox)
{
    HWND hStatic = ::GetDlgItem(hBox, kIconID);
    HICON hIcon = (HICON)::SendMessageA(hStatic, STM_GETICON, 0, 0);
    if (hIcon == NULL || !(::GetWindowLongA(hStatic, GWL_STYLE) & WS_VISIBLE))
        return 0;
    // Icon handles of this process can be compared; another process's icon only by its looks.
    DWORD dwProcessId = 0;
    ::GetWindowThreadProcessId(hBox, &dwProcessId);
    bool bOwnBox = dwProcessId == ::GetCurrentProcessId();
    for (const SystemIcon& icon : kSystemIcons) {
        HICON hSystemIcon = ::LoadIconA(NULL, icon.lpszName);
        if (bOwnBox ? hIcon == hSystemIcon : IconMismatches(hStatic, hSystemIcon) == 0)
            return icon.nFlag;
    }
    return kUnknownIcon;
}

UINT ButtonFlags(HWND hBox)
{
    bool ok = ::GetDlgItem(hBox, IDOK) != NULL;
    bool cancel = ::GetDlgItem(hBox, IDCANCEL) != NULL;
    bool yes = ::GetDlgItem(hBox, IDYES) != NULL;
    bool no = ::GetDlgItem(hBox, IDNO) != NULL;
    bool retry = ::GetDlgItem(hBox, IDRETRY) != NULL;
    bool abort = ::GetDlgItem(hBox, IDABORT) != NULL;
    if (abort)
        return MB_ABORTRETRYIGNORE;
    if (yes && no)
        return cancel ? MB_YESNOCANCEL : MB_YESNO;
    if (retry)
        return MB_RETRYCANCEL;
    if (ok && cancel)
        return MB_OKCANCEL;
    return MB_OK;
}

int DefaultAnswer(HWND hBox)
{
    const int candidates[] = { IDOK, IDCANCEL, IDNO };
    for (int nButton : candidates) {
        if (::GetDlgItem(hBox, nButton) != NULL)
            return nButton;
    }
    return IDCANCEL;
}

} // namespace

std::string SystemErrorText(DWORD dwError)
{
    char szText[1024] = "";
    if (!::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL, dwError,
                          MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), szText, sizeof(szText), NULL))
        Fail(Said() << "the system has no text for error " << dwError);
    return szText;
}

bool IsMessageBox(HWND hWnd)
{
    return ClassName(hWnd) == "#32770" && ::GetDlgItem(hWnd, kIconID) != NULL &&
           ::GetDlgItem(hWnd, kTextID) != NULL;
}

MessageBoxRecord ReadMessageBox(HWND hBox)
{
    MessageBoxRecord box;
    box.text = ControlText(hBox, kTextID);
    box.caption = WindowText(hBox);
    box.type = IconFlag(hBox) | ButtonFlags(hBox);
    box.answer = 0;
    return box;
}

void AnswerMessageBox(HWND hBox, int nButton)
{
    ::PostMessageA(hBox, WM_COMMAND, MAKEWPARAM(nButton, BN_CLICKED), (LPARAM)::GetDlgItem(hBox, nButton));
}

MessageBoxRecorder::MessageBoxRecorder()
{
    g_pRecorder = this;
    m_hHook = ::SetWindowsHookExA(WH_CBT, &MessageBoxRecorder::CbtProc, NULL, ::GetCurrentThreadId());
}

MessageBoxRecorder::~MessageBoxRecorder()
{
    ::UnhookWindowsHookEx(m_hHook);
    g_pRecorder = NULL;
}

RecordedBoxes::~RecordedBoxes()
{
    for (size_t i = 0; i < m_records.size() && g_handedTo.empty(); ++i) {
        if (!m_seen[i])
            Fail(Said() << "a message box the test never looked at: \"" << m_records[i].caption << "\": \""
                        << m_records[i].text << "\"");
    }
}

const MessageBoxRecord& RecordedBoxes::operator[](size_t i) const
{
    m_seen.at(i) = true;
    return m_records[i];
}

// A box in the file: its type, its answer, then its text and caption quoted.
void RecordedBoxes::Add(const MessageBoxRecord& box)
{
    m_records.push_back(box);
    m_seen.push_back(false);
    std::string handed;
    std::ostringstream line;
    line << box.type << " " << box.answer << " " << std::quoted(box.text) << " " << std::quoted(box.caption) << "\n";
    if (!g_handedTo.empty() && (!ReadTextFile(g_handedTo, handed) || !WriteTextFile(g_handedTo, handed + line.str())))
        Fail("cannot hand a message box to the parent in " + g_handedTo);
}

void RecordedBoxes::ReadHandedOver(const std::string& path)
{
    std::istringstream in(FileText(path));
    MessageBoxRecord box;
    while (in >> box.type >> box.answer >> std::quoted(box.text) >> std::quoted(box.caption))
        Add(box);
}

void HandBoxesTo(const char* pszPath)
{
    g_handedTo = pszPath;
}

LRESULT CALLBACK MessageBoxRecorder::CbtProc(int nCode, WPARAM wParam, LPARAM lParam)
{
    if (nCode == HCBT_ACTIVATE && g_pRecorder != NULL && IsMessageBox((HWND)wParam))
        g_pRecorder->OnBoxActivated((HWND)wParam);
    return ::CallNextHookEx(NULL, nCode, wParam, lParam);
}

void MessageBoxRecorder::OnBoxActivated(HWND hBox)
{
    // A box can be activated more than once (after a window in front of it closes).
    if (std::find(m_answered.begin(), m_answered.end(), hBox) != m_answered.end() && ::IsWindow(hBox))
        return;
    m_answered.push_back(hBox);

    MessageBoxRecord box = ReadMessageBox(hBox);
    if (!m_answers.empty()) {
        box.answer = m_answers.front();
        m_answers.pop_front();
    } else {
        box.answer = DefaultAnswer(hBox);
    }
    boxes.Add(box);
    AnswerMessageBox(hBox, box.answer);
}

} // namespace harness
