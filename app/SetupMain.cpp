// The program's one application object.
#include "app/DriverWizardApp.h"

CDriverWizardApp theApp;
