#include "app/DriverWizardApp.h"
#include "base/Buffers.h"
#include "base/Messages.h"
#include "res/resource.h"

int g_nSetupStatus = 0;

BEGIN_MESSAGE_MAP(CDriverWizardApp, CWinApp)
    ON_COMMAND(ID_HELP, OnHelp)
END_MESSAGE_MAP()

BOOL IsSupportedSystem(const OSVERSIONINFOA& osvi)
{
    return osvi.dwPlatformId == VER_PLATFORM_WIN32_NT && osvi.dwMajorVersion == 5;
}

CDriverWizardApp::CDriverWizardApp()
    : m_nWizardStep(STEP_WELCOME), m_bCopyTask(FALSE)
{
    ZeroMemory(&m_osvi, sizeof(m_osvi));
    m_osvi.dwOSVersionInfoSize = sizeof(m_osvi);
    m_pszDriverName = AllocBuffer(NAME_BUFFER_SIZE);
}

CDriverWizardApp::~CDriverWizardApp()
{
    FreeBuffer(m_pszDriverName);
}

BOOL CDriverWizardApp::InitInstance()
{
    Enable3dControls();
    ::GetVersionExA(&m_osvi);

    if (IsSupportedSystem(m_osvi)) {
        // Without its name buffer the wizard cannot install anything; end quietly.
        if (m_pszDriverName == NULL)
            return FALSE;
        CopyText(m_pszDriverName, NAME_BUFFER_SIZE, "ZUV Izov");
        m_bCopyTask = FALSE;
        m_nWizardStep = STEP_WELCOME;
        RunWizard();
        return FALSE;
    }

    ShowTableMessage(NULL, IDS_UNSUPPORTED_SYSTEM, IDS_CAPTION, MB_OK | MB_ICONERROR);
    return FALSE;
}
