#include "app/DriverWizardApp.h"

// Not built yet: nobody is taken to be allowed to install.
void CDriverWizardApp::CheckInstallRights()
{
    g_nSetupStatus = SETUP_NOT_PERMITTED;
}
