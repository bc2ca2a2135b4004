// CWinApp: the one application object, built during static initialisation. The entry
// point (AfxWinMain) calls its InitInstance; when that returns FALSE the application ends
// at once, otherwise Run runs its message loop.
#pragma once
#include "CmdTarget.h"

class CWinApp : public CCmdTarget {
    DECLARE_DYNAMIC(CWinApp)
public:
    explicit CWinApp(LPCSTR lpszAppName = NULL);
    virtual ~CWinApp();

    virtual BOOL InitInstance();
    virtual int ExitInstance();
    virtual int Run();

    // The system draws three-dimensional controls itself on every system this runs on.
    BOOL Enable3dControls() { return TRUE; }
    // 1 begins, -1 ends and 0 restores the wait cursor.
    void DoWaitCursor(int nCode);
    void OnHelp();

    HINSTANCE m_hInstance;
    LPCSTR m_pszAppName;
    int m_nWaitCursorCount;
    HCURSOR m_hcurWaitCursorRestore;

    DECLARE_MESSAGE_MAP()
};

CWinApp* AfxGetApp();
HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();
// The module that holds the resource: the program's own.
HINSTANCE AfxFindResourceHandle(LPCSTR lpszName, LPCSTR lpszType);

// Makes the common controls available and records the instance handle.
void AfxWinInit(HINSTANCE hInstance);
int AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow);
