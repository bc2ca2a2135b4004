// Dialog data exchange between controls and members, on the program's own templates.
#include <doctest.h>
#include "framework/Afx.h"
#include "res/resource.h"
#include "tests/harness/MessageBoxes.h"
#include "tests/harness/Pages.h"
#include "tests/harness/Windows.h"

using namespace harness;

namespace {

class CTextDialog : public CDialog {
public:
    CTextDialog() : CDialog(IDD_PRINTER) {}

    CString m_strName = "first";
    CEdit m_edit;
    int m_nMaxChars = 220;
    bool m_bBindMissingControl = false;

protected:
    void DoDataExchange(CDataExchange* pDX) override
    {
        DDX_Control(pDX, IDC_PRINTER_NAME, m_edit);
        DDX_Text(pDX, IDC_PRINTER_NAME, m_strName);
        DDV_MaxChars(pDX, m_strName, m_nMaxChars);
        if (m_bBindMissingControl)
            DDX_Text(pDX, 4242, m_strName);
    }
};

class CRadioDialog : public CDialog {
public:
    CRadioDialog() : CDialog(IDD_WELCOME) {}

    int m_nChoice = 1;

protected:
    void DoDataExchange(CDataExchange* pDX) override { DDX_Radio(pDX, IDC_INSTALL, m_nChoice); }
};

} // namespace

TEST_CASE("text goes to the control when the dialog opens and back on OK, bounded by its limit")
{
    CTextDialog dialog;
    HWND hEdit = NULL;
    PageRun run = RunPage(dialog, [&](HWND hPage) {
        hEdit = ::GetDlgItem(hPage, IDC_PRINTER_NAME);
        CHECK(dialog.m_edit.m_hWnd == hEdit);
        CHECK(ControlText(hPage, IDC_PRINTER_NAME) == "first");
        CHECK(::SendMessageA(hEdit, EM_GETLIMITTEXT, 0, 0) == 220);
        TypeText(hPage, IDC_PRINTER_NAME, "second");
        Click(hPage, IDOK);
    });
    CHECK(run.nModalResult == IDOK);
    CHECK_FALSE(run.bLeftOpen);
    CHECK(dialog.m_strName == "second");
    CHECK(dialog.m_edit.m_hWnd == NULL);

    run = RunPage(dialog, [&](HWND hPage) {
        CHECK(dialog.m_edit.m_hWnd == ::GetDlgItem(hPage, IDC_PRINTER_NAME));
        CHECK(ControlText(hPage, IDC_PRINTER_NAME) == "second");
        TypeText(hPage, IDC_PRINTER_NAME, "not kept");
        Click(hPage, IDCANCEL);
    });
    CHECK(run.nModalResult == IDCANCEL);
    CHECK(dialog.m_strName == "second");
}

TEST_CASE("a failed check tells the user, puts the focus on the control and keeps the dialog open")
{
    MessageBoxRecorder boxes;
    CTextDialog dialog;
    dialog.m_nMaxChars = 3;
    PageRun run = RunPage(dialog, [&](HWND hPage) {
        TypeText(hPage, IDC_PRINTER_NAME, "toolong");
        Click(hPage, IDOK);
        CHECK(::IsWindowVisible(hPage));
        CHECK(::GetFocus() == ::GetDlgItem(hPage, IDC_PRINTER_NAME));
        Click(hPage, IDCANCEL);
    });
    CHECK(run.nModalResult == IDCANCEL);
    REQUIRE(boxes.boxes.size() == 1);
    CHECK(boxes.boxes[0].text == "Enter no more than 3 characters.");
    CHECK(boxes.boxes[0].caption == "ZUV Izov Printer Software Wizard");
    CHECK(boxes.boxes[0].type == (MB_OK | MB_ICONEXCLAMATION));
}

TEST_CASE("an exchange with a control the dialog does not have fails")
{
    CTextDialog dialog;
    RunPage(dialog, [&](HWND hPage) {
        dialog.m_bBindMissingControl = true;
        CHECK_FALSE(dialog.UpdateData(TRUE));
        CHECK_FALSE(dialog.UpdateData(FALSE));
        dialog.m_bBindMissingControl = false;
        CHECK(dialog.UpdateData(TRUE));
        Click(hPage, IDCANCEL);
    });
}

TEST_CASE("a radio group shows the member's choice and gives back the checked button")
{
    CRadioDialog dialog;
    RunPage(dialog, [&](HWND hPage) {
        CHECK_FALSE(IsChecked(hPage, IDC_INSTALL));
        CHECK(IsChecked(hPage, IDC_COPY));
        Click(hPage, IDC_INSTALL);
        Click(hPage, IDOK);
    });
    CHECK(dialog.m_nChoice == 0);

    dialog.m_nChoice = -1;
    RunPage(dialog, [&](HWND hPage) {
        CHECK_FALSE(IsChecked(hPage, IDC_INSTALL));
        CHECK_FALSE(IsChecked(hPage, IDC_COPY));
        Click(hPage, IDOK);
    });
    CHECK(dialog.m_nChoice == -1);
}
