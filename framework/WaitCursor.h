// CWaitCursor: shows the application's wait cursor for as long as the object lives.
#pragma once
#include "WinApp.h"

class CWaitCursor {
public:
    CWaitCursor()
    {
        if (CWinApp* pApp = AfxGetApp())
            pApp->DoWaitCursor(1);
    }
    ~CWaitCursor()
    {
        if (CWinApp* pApp = AfxGetApp())
            pApp->DoWaitCursor(-1);
    }
    // Shows it again after something (a dialog, a message box) replaced it.
    void Restore()
    {
        if (CWinApp* pApp = AfxGetApp())
            pApp->DoWaitCursor(0);
    }

private:
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;
};
