// The installation worker. Until extraction exists it only finishes.
#include "installworker.h"

#include "installapp.h"

DWORD WINAPI installWorker(LPVOID) {
    installApp.cancelRequested = false;
    installApp.cancelPrompting = false;
    installApp.finishing = false;
    installApp.extractionDone = false;
    installApp.logEntries.clear();
    installApp.extractionDone = true;
    installApp.finishInstallation();
    return 0;
}

void loadUnrarLibrary() {}
