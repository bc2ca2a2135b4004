#include "app/DriverWizardApp.h"

// Not built yet: reports that the printer was not created.
BOOL CDriverWizardApp::CreatePrinter(LPSTR, LPCSTR, LPCSTR, LPCSTR, LPCSTR, LPCSTR, LPCSTR)
{
    return FALSE;
}
