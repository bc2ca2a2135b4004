// Run-time class information.
#include <doctest.h>
#include "framework/Afx.h"
#include "ui/WizardPage.h"
#include <string.h>

TEST_CASE("an object knows its class and the classes it derives from")
{
    CTreeCtrl tree;
    CHECK(strcmp(tree.GetRuntimeClass()->m_lpszClassName, "CTreeCtrl") == 0);
    CHECK(tree.IsKindOf(RUNTIME_CLASS(CTreeCtrl)));
    CHECK(tree.IsKindOf(RUNTIME_CLASS(CWnd)));
    CHECK(tree.IsKindOf(RUNTIME_CLASS(CObject)));
    CHECK_FALSE(tree.IsKindOf(RUNTIME_CLASS(CDialog)));

    CDialog dialog(129);
    CHECK(dialog.IsKindOf(RUNTIME_CLASS(CWnd)));
    CHECK_FALSE(dialog.IsKindOf(RUNTIME_CLASS(CWizardPage)));
}
