// Shows a dialog of this process and drives it from a script, the way a user would.
#pragma once
#include "res/resource.h"
#include "ui/WizardPage.h"
#include <functional>
#include <memory>

namespace harness {

struct PageRun {
    INT_PTR nModalResult;  // what DoModal returned
    bool bScriptRan;       // the page came up and the script ran
    bool bLeftOpen;        // the script did not close the page; it was ended here
};

// Runs page.DoModal(); once the page is up, calls script with its window. The script clicks
// and types with the helpers of Windows.h; message boxes it provokes are answered by a
// MessageBoxRecorder the test holds. A page the script leaves open is ended here. A page that
// never shows, or is not visible within 20 s (then ended), fails the test: its script did not
// run; so does one shown without being activated. A REQUIRE that fails in the script ends the
// page, and the test, from here.
PageRun RunPage(CDialog& page, const std::function<void(HWND hPage)>& script);

// A new page of the template: IDD_WELCOME, IDD_PRINTER, IDD_DESTINATION or IDD_SUMMARY.
std::unique_ptr<CWizardPage> MakePage(UINT nID);
// The templates of the wizard's four pages, in the order the install task meets them.
const UINT kWizardPages[] = { IDD_WELCOME, IDD_PRINTER, IDD_DESTINATION, IDD_SUMMARY };

} // namespace harness
