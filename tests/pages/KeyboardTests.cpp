// The pages for a user without a mouse: mnemonics that are unique and lead where they say,
// and a Tab order that follows the layout.
#include <doctest.h>
#include "res/resource.h"
#include "tests/harness/Keyboard.h"
#include "tests/harness/Pages.h"
#include "tests/harness/ScriptedPlatform.h"
#include "tests/harness/Windows.h"
#include "ui/DestinationDlg.h"
#include "ui/PrinterDlg.h"
#include "ui/SummaryDlg.h"
#include "ui/WelcomeDlg.h"
#include <ctype.h>
#include <map>
#include <memory>
#include <string>
#include <vector>

using namespace harness;

namespace {

// The letter after a single "&", or 0.
char Mnemonic(const std::string& text)
{
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == '&') {
            if (text[i + 1] != '&')
                return (char)toupper((unsigned char)text[i + 1]);
            ++i;
        }
    }
    return 0;
}

std::vector<HWND> Children(HWND hPage)
{
    std::vector<HWND> children;
    for (HWND hChild = ::GetWindow(hPage, GW_CHILD); hChild != NULL; hChild = ::GetWindow(hChild, GW_HWNDNEXT))
        children.push_back(hChild);
    return children;
}

RECT RectInPage(HWND hPage, HWND hChild)
{
    RECT rect;
    ::GetWindowRect(hChild, &rect);
    ::MapWindowPoints(NULL, hPage, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

} // namespace

TEST_CASE("keyboard: on every page the mnemonics are unique, labels lead to their controls, Tab goes down the page")
{
    ScriptedPlatform platform;
    platform.ports = { { "FILE:", "Local Port", "" } };
    for (UINT nID : kWizardPages) {
        CAPTURE(nID);
        std::unique_ptr<CWizardPage> page = MakePage(nID);
        RunPage(*page, [&](HWND hPage) {
            std::vector<HWND> children = Children(hPage);
            std::map<char, std::string> mnemonics;
            for (size_t i = 0; i < children.size(); ++i) {
                std::string text = WindowText(children[i]);
                char chLetter = Mnemonic(text);
                if (chLetter == 0)
                    continue;
                CAPTURE(text);
                CHECK(mnemonics.count(chLetter) == 0);
                mnemonics[chLetter] = text;
                // A label's mnemonic puts the keyboard in the control that follows it.
                if (ClassName(children[i]) == "Static" && i + 1 < children.size()) {
                    ::SetFocus(::GetDlgItem(hPage, IDCANCEL));
                    PressMnemonic(hPage, chLetter);
                    CHECK(::GetFocus() == children[i + 1]);
                }
            }
            CHECK(mnemonics.size() >= 2);

            // Tab: row by row from the top, left to right within a row.
            HWND hFirst = ::GetNextDlgTabItem(hPage, NULL, FALSE);
            REQUIRE(hFirst != NULL);
            HWND hControl = hFirst;
            RECT previous = RectInPage(hPage, hControl);
            int nStops = 1;
            for (HWND hNext = ::GetNextDlgTabItem(hPage, hControl, FALSE); hNext != hFirst && nStops < 20;
                 hNext = ::GetNextDlgTabItem(hPage, hNext, FALSE), ++nStops) {
                RECT rect = RectInPage(hPage, hNext);
                CAPTURE(WindowText(hNext));
                bool bSameRow = rect.top < previous.bottom && rect.bottom > previous.top;
                CHECK((bSameRow ? rect.left > previous.left : rect.top >= previous.bottom - 2));
                previous = rect;
            }
            CHECK(nStops >= 3);
            Click(hPage, IDCANCEL);
        });
    }
}
