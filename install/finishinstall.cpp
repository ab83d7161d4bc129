// Finishing the installation: shortcuts, log, registry and additional installers.
#include "installapp.h"

void InstallApp::finishInstallation() { finishing = true; }
