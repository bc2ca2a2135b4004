// CWizardPage: what the four wizard pages share. Each page is a modal dialog that leaves
// in m_nResult how it was closed, paints the header mark in its top right corner and
// carries the program's icon.
#pragma once
#include "framework/Afx.h"
#include "ui/MaskedBitmap.h"

// How a page was closed.
enum PageResult {
    PAGE_NEXT = 1,       // Next, Finish or Enter, after the page's own checks passed
    PAGE_BACK = 2,       // Back
    PAGE_CANCEL = 8,     // Cancel, Esc or the close box
    PAGE_REFUSED = -16   // an entry was refused; the page stays open
};

// The key colour of the header mark.
const COLORREF HEADER_KEY_COLOR = RGB(255, 0, 255);

class CWizardPage : public CDialog {
    DECLARE_DYNAMIC(CWizardPage)
public:
    CMaskedBitmap m_bmpHeader;  // empty until the page is shown
    int m_nResult;
    HICON m_hIcon;

protected:
    CWizardPage(UINT nIDTemplate, CWnd* pParentWnd);

    // Loads the header mark afresh, replacing the one of the previous showing, and gives the
    // window its icons.
    virtual BOOL OnInitDialog();
    // Closes with PAGE_NEXT once the data was taken from the controls.
    virtual void OnOK();
    virtual void OnCancel();

    // Called when "< &Back" is clicked: closes with PAGE_BACK without taking any data.
    void OnBack();
    // Called to paint the page: the icon when minimised, the header mark otherwise.
    void OnPaint();
    // Called when the minimised page is dragged: the icon serves as the cursor.
    HCURSOR OnQueryDragIcon();
    void PaintHeader(CDC* pDC);

    DECLARE_MESSAGE_MAP()
};
